#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

enum class WriteFailure {
  None,
  Create,  // the file could not be created or replaced; nothing changed
  Write,   // the bytes could not be written in full; nothing changed
};

struct WriteOutcome {
  WriteFailure failure = WriteFailure::None;
  std::string reason;
  bool ok() const { return failure == WriteFailure::None; }
};

// Replaces the contents of `name` with `bytes`, or creates the file.
//
// The bytes go to a new file in the same folder, reach the disk, and only
// then take the old file's place with one rename: on any failure the old
// file is exactly as it was and no temporary file is left behind. A file
// without any write permission bit is read-only for every user, root
// included; so is a file that this user may not write, however writable its
// folder is. The replacement keeps the old file's permission bits and, where
// allowed, its owner. A symbolic link is followed: the file it points to is
// replaced and the link stays a link.
WriteOutcome ReplaceFileContents(const std::string& name, std::string_view bytes);

class ReplacementWriter;
using ReplacementProducer = std::function<void(ReplacementWriter&)>;

// The same, for bytes that `produce` hands over piece by piece, so that a
// large file never has to exist in memory as a whole. An exception thrown by
// `produce` leaves the old file as it was, removes the temporary file and
// goes on to the caller.
WriteOutcome ReplaceFileContents(const std::string& name, const ReplacementProducer& produce);

// Takes the bytes of a replacement file from its producer. Small pieces are
// gathered into blocks of a mebibyte, so the disk sees few, large writes;
// pieces of a block or more go out as they are.
class ReplacementWriter {
 public:
  ReplacementWriter(const ReplacementWriter&) = delete;
  ReplacementWriter& operator=(const ReplacementWriter&) = delete;

  void Append(std::string_view bytes) {
    if (bytes.size() <= capacity_ - used_) {
      if (!bytes.empty()) std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
      used_ += bytes.size();
    } else {
      Spill(bytes);
    }
  }
  // True once a write has failed. What is appended after that is dropped,
  // so a producer may as well stop.
  bool Failed() const { return error_ != 0; }

 private:
  friend WriteOutcome ReplaceFileContents(const std::string& name,
                                          const ReplacementProducer& produce);
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

  explicit ReplacementWriter(int fd) : fd_(fd) {}
  void Spill(std::string_view bytes);
  void Write(std::string_view bytes);
  // Writes what is still gathered; the error number of the first failed
  // write, or 0.
  int Finish();

  int fd_;
  int error_ = 0;
  std::size_t used_ = 0;
  std::size_t capacity_ = 0;
  std::unique_ptr<char[]> buffer_;
};

// For tests only. A full disk, a failing device or a folder that refuses a
// rename cannot be brought about at will, so a test may make any step of a
// replacement fail as they would. Nothing outside tests sets an injector.
namespace faults {

enum class Step {
  CreateTemporary,  // creating the temporary file beside the target
  Write,            // each write into it
  Sync,             // bringing it to the disk
  Close,            // closing it, which some file systems answer with a late write error
  Rename,           // putting it in the target's place
};

// Asked before each step of every replacement in the process (after the
// close, for Close): the error number the step fails with, or 0 for none.
using Injector = std::function<int(Step)>;

// Puts `injector` in place of the previous one; an empty one ends injection.
void SetInjector(Injector injector);

}  // namespace faults

}  // namespace platform
