#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/HugePages.h"

namespace platform {

// `reason`: the system's words for the failure, when not `ok`.
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
// page or more is mapped in huge pages (HugePages.h); smaller blocks come
// from the heap, which hands freed memory out again.
class MemoryBlock {
 public:
  static constexpr std::size_t kHugePage = platform::kHugePage;

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

using ReadProgress = std::function<void(std::string_view soFar)>;

// The same, read in pieces of `pieceSize` bytes, with `progress` told after
// each piece: a large file can then be worked on while each piece is still
// in the processor's caches, rather than fetched back from main memory
// after the whole read. The bytes stay where they are unless the file grows
// while it is read; `progress` then sees them at another address and must
// begin again from their start.
ReadOutcome ReadWholeFile(const std::string& name, FileBytes& bytes, const ReadProgress& progress,
                          std::size_t pieceSize);

}  // namespace platform
