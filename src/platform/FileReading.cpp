#include "platform/FileReading.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileDescriptor.h"
#include "platform/FileSystem.h"
#include "platform/HugePages.h"
#include "platform/MemoryPoisoning.h"

namespace platform {
namespace {

// Reads a whole regular file into what `buffer` hands out: Grow(used,
// capacity) gives room for `capacity` bytes that starts with the `used`
// bytes read so far, Finish(size) takes the outcome, Discard drops it all.
template <typename Buffer>
ReadOutcome ReadRegularFile(const std::string& name, Buffer& buffer,
                            const ReadProgress& progress = {},
                            size_t pieceSize = std::numeric_limits<size_t>::max()) {
  // Devices are refused before they are opened: opening some of them acts.
  struct stat info {};
  if (stat(name.c_str(), &info) != 0) return {false, ErrorText(errno)};
  if (!S_ISREG(info.st_mode)) return {false, ReasonFor(kNotRegularFile)};
  // Non-blocking, in case the name was swapped for a FIFO meanwhile.
  FileDescriptor fd(open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd.valid()) return {false, ErrorText(errno)};
  if (fstat(fd.get(), &info) != 0) return {false, ErrorText(errno)};
  if (!S_ISREG(info.st_mode)) return {false, ReasonFor(kNotRegularFile)};

  // One read of the expected size; a file that grows meanwhile is read on.
  size_t used = 0;
  size_t capacity = static_cast<size_t>(info.st_size) + 1;
  char* data = buffer.Grow(used, capacity);
  for (;;) {
    if (used == capacity) {
      capacity *= 2;
      data = buffer.Grow(used, capacity);
    }
    ssize_t got = read(fd.get(), data + used, std::min(capacity - used, pieceSize));
    if (got < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      buffer.Discard();
      return {false, ErrorText(error)};
    }
    if (got == 0) break;
    used += static_cast<size_t>(got);
    if (progress) progress(std::string_view(data, used));
  }
  buffer.Finish(used);
  return {};
}

class StringReader {
 public:
  explicit StringReader(std::string& bytes) : bytes_(bytes) { bytes_.clear(); }
  char* Grow(size_t, size_t capacity) {
    bytes_.resize(capacity);
    return bytes_.data();
  }
  void Finish(size_t size) { bytes_.resize(size); }
  void Discard() { bytes_.clear(); }

 private:
  std::string& bytes_;
};

}  // namespace

MemoryBlock::MemoryBlock(std::size_t size) : size_(size) {
  if (size < kHugePage) {
    data_ = new char[size];
    return;
  }
  data_ = MapInHugePages(size);
  mapped_ = InHugePages(size);
  // The page's rest is addressable to the system but not ours to touch.
  ASAN_POISON_MEMORY_REGION(data_ + size_, mapped_ - size_);
}

MemoryBlock::~MemoryBlock() {
  // Whoever used the block may have poisoned parts of it; the memory's next
  // owner, a later mapping at this address included, starts clean.
  ASAN_UNPOISON_MEMORY_REGION(data_, mapped_ != 0 ? mapped_ : size_);
  if (mapped_ != 0) {
    UnmapHugePages(data_, mapped_);
  } else {
    delete[] data_;
  }
}

void MemoryBlock::Swap(MemoryBlock& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  std::swap(mapped_, other.mapped_);
}

class FileBytesReader {
 public:
  explicit FileBytesReader(FileBytes& bytes) : bytes_(bytes) { bytes_ = FileBytes(); }

  char* Grow(size_t used, size_t capacity) {
    MemoryBlock grown(capacity);
    if (used > 0) std::memcpy(grown.data(), bytes_.block_.data(), used);
    bytes_.block_ = std::move(grown);
    return bytes_.block_.data();
  }
  void Finish(size_t size) {
    bytes_.size_ = size;
    // The block has room for a byte or more beyond the file: reading past
    // the file's end shows up under ASan.
    ASAN_POISON_MEMORY_REGION(bytes_.block_.data() + size, bytes_.block_.size() - size);
  }
  void Discard() { bytes_ = FileBytes(); }

 private:
  FileBytes& bytes_;
};

ReadOutcome ReadWholeFile(const std::string& name, std::string& bytes) {
  StringReader reader(bytes);
  return ReadRegularFile(name, reader);
}

ReadOutcome ReadWholeFile(const std::string& name, FileBytes& bytes) {
  FileBytesReader reader(bytes);
  return ReadRegularFile(name, reader);
}

ReadOutcome ReadWholeFile(const std::string& name, FileBytes& bytes, const ReadProgress& progress,
                          size_t pieceSize) {
  FileBytesReader reader(bytes);
  return ReadRegularFile(name, reader, progress, std::max<size_t>(pieceSize, 1));
}

}  // namespace platform
