#pragma once

// Files as the rest of the program needs them: whole-file reads, whole-file
// replacement that never leaves a half-written file, existence tests and
// the system's words for a failure.

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// True when `name` exists and is not a folder (following symbolic links).
// A FIFO or a device counts as a file here; reading it is refused later.
bool FileExists(const std::string& name);

// Why `name` cannot be looked up: 0 when it can, and when it is simply not
// there (nothing by that name, a dangling link, or a file where a folder
// should be); otherwise the error number, such as ELOOP for a loop of links
// or ENAMETOOLONG. Such a name may well hold a file, only out of reach.
int LookUpError(const std::string& name);

// True when `name` exists and is a folder (following symbolic links).
bool DirectoryExists(const std::string& name);

// True when both names lead to one and the same file: the same device and
// inode once symbolic links are followed. Two spellings of one name, a hard
// link, a symbolic link, ".." or a linked folder all count; a name that
// does not exist is never the same file as anything.
bool SameFile(const std::string& first, const std::string& second);

// Copies the file `from` to `to`, replacing whatever file `to` names, as
// safely as ReplaceFileContents replaces. False when nothing was copied.
bool CopyFile(const std::string& from, const std::string& to);

// `name` made absolute against the current folder, with "." and ".."
// resolved by text alone (symbolic links are not followed).
std::string FullPathName(const std::string& name);

// The system's English text for an error number, without trailing control
// bytes, blanks or full stops, ready to stand inside a sentence.
std::string ErrorText(int errorNumber);

// The outcome of a file operation: `ok`, or the system's words for the
// failure in `reason`.
struct ReadOutcome {
  bool ok = true;
  std::string reason;
};

// Reads the whole of a regular file into `bytes`. Anything else that is not
// a regular file (a FIFO, socket or device) is refused at once, so that
// reading never blocks or runs without end.
ReadOutcome ReadWholeFile(const std::string& name, std::string& bytes);

// A block of uninitialised memory of its own, which stays where it is as
// long as the object lives, however the object is moved. A block of a huge
// page (two mebibytes) or more comes straight from the system, in huge pages
// where it offers them: the first touch then costs one fault per two
// mebibytes rather than per four kibibytes, and those faults are most of the
// cost of filling fresh memory, the more so in a virtual machine. Smaller
// blocks come from the heap, which hands freed memory out again.
class MemoryBlock {
 public:
  static constexpr std::size_t kHugePage = std::size_t{2} << 20;

  MemoryBlock() = default;
  // Throws std::bad_alloc when there is no memory.
  explicit MemoryBlock(std::size_t size);
  MemoryBlock(MemoryBlock&& other) noexcept { Swap(other); }
  MemoryBlock& operator=(MemoryBlock&& other) noexcept {
    MemoryBlock(std::move(other)).Swap(*this);
    return *this;
  }
  ~MemoryBlock();

  char* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  void Swap(MemoryBlock& other) noexcept;

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t mapped_ = 0;  // the length of the mapping, when the system gave the memory
};

// A file's bytes as read, in a block of their own.
class FileBytes {
 public:
  FileBytes() = default;
  FileBytes(FileBytes&& other) noexcept
      : block_(std::move(other.block_)), size_(std::exchange(other.size_, 0)) {}
  FileBytes& operator=(FileBytes&& other) noexcept {
    block_ = std::move(other.block_);
    size_ = std::exchange(other.size_, 0);
    return *this;
  }

  std::string_view view() const { return {block_.data(), size_}; }

 private:
  friend class FileBytesReader;
  MemoryBlock block_;
  std::size_t size_ = 0;
};

// The same, without the copy or the cleared memory a std::string would cost.
ReadOutcome ReadWholeFile(const std::string& name, FileBytes& bytes);

// What has been read so far, handed over after every piece of a file.
using ReadProgress = std::function<void(std::string_view soFar)>;

// The same, read in pieces of `pieceSize` bytes, with `progress` told after
// each piece: a large file can then be worked on while each piece is still
// in the processor's caches, rather than fetched back from main memory
// after the whole read. The bytes stay where they are unless the file grows
// while it is read; `progress` then sees them at another address and must
// begin again from their start.
ReadOutcome ReadWholeFile(const std::string& name, FileBytes& bytes, const ReadProgress& progress,
                          std::size_t pieceSize);

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
