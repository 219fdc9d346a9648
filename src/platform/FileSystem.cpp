#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <locale.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/MemoryPoisoning.h"

namespace platform {
namespace {

constexpr int kMaxSymlinkHops = 40;  // the kernel's own limit for one path

// The texts our error messages carry are the system's English ones: the
// program may run under any locale, and its messages must not depend on
// which translations of the C library happen to be installed.
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

// Stands in for an error number where the kernel has none: the name exists
// but is a FIFO, socket or device, which this program never reads or replaces.
constexpr int kNotRegularFile = -1;

std::string ReasonFor(int error) {
  return error == kNotRegularFile ? "Not a regular file" : ErrorText(error);
}

// Closes a descriptor on every path out of a function.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and reports the error, which for some file systems is the
  // first word of a failed write.
  int Close() {
    int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// While a file is written, a file-size limit must end in a failed write, not
// in the default action of SIGXFSZ, which kills the process and leaves the
// temporary file behind. The signal is held back for the duration and any
// instance of it that our own writes raised is taken away again.
class FileSizeSignalHold {
 public:
  FileSizeSignalHold() {
    sigemptyset(&set_);
    sigaddset(&set_, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &set_, &previous_);
  }
  FileSizeSignalHold(const FileSizeSignalHold&) = delete;
  FileSizeSignalHold& operator=(const FileSizeSignalHold&) = delete;
  ~FileSizeSignalHold() {
    sigset_t pending;
    sigpending(&pending);
    if (sigismember(&pending, SIGXFSZ) && !sigismember(&previous_, SIGXFSZ)) {
      const timespec noWait{0, 0};
      sigtimedwait(&set_, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }

 private:
  sigset_t set_;
  sigset_t previous_;
};

std::string FolderOf(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path of the file that `name` finally names, following symbolic links
// (also dangling ones, so that a link to a file not yet written gets that
// file created). Folders on the way are left as written.
bool ResolveLinks(const std::string& name, std::string& target, int& error) {
  target = name;
  for (int hop = 0; hop < kMaxSymlinkHops; ++hop) {
    struct stat info {};
    if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    std::vector<char> buffer(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
    ssize_t length = readlink(target.c_str(), buffer.data(), buffer.size());
    if (length < 0) {
      error = errno;
      return false;
    }
    std::string link(buffer.data(), static_cast<size_t>(length));
    target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
  }
  error = ELOOP;
  return false;
}

// Refuses to replace what the user could not simply overwrite in place.
int CheckReplaceable(const std::string& target, bool& exists, struct stat& info) {
  exists = false;
  if (stat(target.c_str(), &info) != 0) return errno == ENOENT ? 0 : errno;
  exists = true;
  if (S_ISDIR(info.st_mode)) return EISDIR;
  if (!S_ISREG(info.st_mode)) return kNotRegularFile;
  // No write bit at all is the read-only mark, for root as much as for anyone.
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
  // The kernel decides the rest, for the user this process acts as.
  return faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

// Empty but under a test: each step then costs one test of an empty
// function object, against a system call or a mebibyte written.
faults::Injector injectedFaults;

int Injected(faults::Step step) { return injectedFaults ? injectedFaults(step) : 0; }

std::string TemporaryNameFor(const std::string& target, unsigned attempt) {
  // Stay within the usual 255-byte limit for one name.
  std::string base = BaseNameOf(target).substr(0, 200);
  auto ticks = static_cast<unsigned long long>(
      std::chrono::steady_clock::now().time_since_epoch().count());
  return FolderOf(target) + "/." + base + "." + std::to_string(getpid()) + "." +
         std::to_string((ticks ^ (ticks >> 17)) % 1000000) + std::to_string(attempt) + ".tmp";
}

// Creates a new, empty temporary file beside `target` that only its owner
// may open: whoever opens a file can go on reading it, so anyone let in
// while it is written would also read the bytes of a file meant for the
// owner alone.
int CreateTemporaryBeside(const std::string& target, std::string& temporaryName, int& error) {
  if ((error = Injected(faults::Step::CreateTemporary)) != 0) return -1;
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    temporaryName = TemporaryNameFor(target, attempt);
    int fd = open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  error = errno;
  return -1;
}

int WriteAll(int fd, std::string_view bytes) {
  const char* next = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    if (int injected = Injected(faults::Step::Write)) return injected;
    ssize_t written = write(fd, next, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return ENOSPC;
    next += written;
    left -= static_cast<size_t>(written);
  }
  return 0;
}

void SyncFolder(const std::string& folder) {
  FileDescriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.valid()) fsync(fd.get());  // best effort: the rename itself is done
}

// The replacement should belong to whoever the old file belonged to. Only
// root may give a file away; anyone else can at least keep the group when
// they are in it, so that the group's members can go on writing the file.
// Ownership goes first because changing it may clear the mode's special bits.
void KeepOwnerAndMode(int fd, const struct stat& old) {
  if (fchown(fd, old.st_uid, old.st_gid) != 0) {
    [[maybe_unused]] int groupOnly = fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  fchmod(fd, old.st_mode & 07777);
}

// Read rather than set and put back, which would give a file another thread
// creates meanwhile the wrong mode.
mode_t CurrentUmask() {
  std::string status;
  if (ReadWholeFile("/proc/self/status", status).ok) {
    std::string::size_type line = status.find("\nUmask:");
    if (line != std::string::npos) {
      const char* digits = status.c_str() + line + std::strlen("\nUmask:");
      char* end = nullptr;
      unsigned long mask = std::strtoul(digits, &end, 8);
      if (end != digits) return static_cast<mode_t>(mask & 0777);
    }
  }
  mode_t mask = umask(0);
  umask(mask);
  return mask;
}

// The mode the replacement ends with: the old file's, or what a plain
// create of a new file would have given it.
void GiveFinalOwnerAndMode(int fd, bool exists, const struct stat& old) {
  if (exists) {
    KeepOwnerAndMode(fd, old);
  } else {
    fchmod(fd, 0666 & ~CurrentUmask());
  }
}

WriteOutcome Failed(WriteFailure failure, int error) {
  return {failure, ReasonFor(error)};
}

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

bool FileExists(const std::string& name) {
  struct stat info {};
  return !name.empty() && stat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

int LookUpError(const std::string& name) {
  struct stat info {};
  if (stat(name.c_str(), &info) == 0 || errno == ENOENT || errno == ENOTDIR) return 0;
  return errno;
}

bool DirectoryExists(const std::string& name) {
  struct stat info {};
  return !name.empty() && stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string FullPathName(const std::string& name) {
  if (name.empty()) return name;
  std::string path = name;
  if (path.front() != '/') {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr && errno == ERANGE) {
      buffer.resize(buffer.size() * 2);
    }
    path = std::string(buffer.data()) + "/" + path;
  }
  std::vector<std::string_view> parts;
  std::string_view rest(path);
  while (!rest.empty()) {
    std::string_view::size_type slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string full;
  for (std::string_view part : parts) {
    full += '/';
    full += part;
  }
  return full.empty() ? "/" : full;
}

std::string ErrorText(int errorNumber) {
  std::string text = strerror_l(errorNumber, CLocale());
  while (!text.empty() &&
         (static_cast<unsigned char>(text.back()) <= 32 || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

MemoryBlock::MemoryBlock(std::size_t size) : size_(size) {
  if (size < kHugePage) {
    data_ = new char[size];
    return;
  }
  // Huge pages need an aligned start: map a huge page more than needed and
  // give back what lies before the first boundary and after the block.
  const size_t pageSize = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t length = (size + pageSize - 1) / pageSize * pageSize;
  void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  auto* start = static_cast<char*>(mapped);
  auto address = reinterpret_cast<std::uintptr_t>(start);
  size_t head = (kHugePage - address % kHugePage) % kHugePage;
  if (head > 0) munmap(start, head);
  munmap(start + head + length, kHugePage - head);
  data_ = start + head;
  mapped_ = length;
  // The page's rest is addressable to the system but not ours to touch.
  ASAN_POISON_MEMORY_REGION(data_ + size_, mapped_ - size_);
  madvise(data_, mapped_, MADV_HUGEPAGE);  // a mere hint: refused, small pages serve
}

MemoryBlock::~MemoryBlock() {
  // Whoever used the block may have poisoned parts of it; the memory's next
  // owner, a later mapping at this address included, starts clean.
  ASAN_UNPOISON_MEMORY_REGION(data_, mapped_ != 0 ? mapped_ : size_);
  if (mapped_ != 0) {
    munmap(data_, mapped_);
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

WriteOutcome ReplaceFileContents(const std::string& name, std::string_view bytes) {
  return ReplaceFileContents(name, [bytes](ReplacementWriter& out) { out.Append(bytes); });
}

WriteOutcome ReplaceFileContents(const std::string& name, const ReplacementProducer& produce) {
  if (name.empty()) return Failed(WriteFailure::Create, ENOENT);
  std::string target;
  int error = 0;
  if (!ResolveLinks(name, target, error)) return Failed(WriteFailure::Create, error);

  bool exists = false;
  struct stat old {};
  if ((error = CheckReplaceable(target, exists, old)) != 0) {
    return Failed(WriteFailure::Create, error);
  }

  std::string temporaryName;
  FileDescriptor fd(CreateTemporaryBeside(target, temporaryName, error));
  if (!fd.valid()) return Failed(WriteFailure::Create, error);

  {
    FileSizeSignalHold hold;
    ReplacementWriter writer(fd.get());
    try {
      produce(writer);
    } catch (...) {
      unlink(temporaryName.c_str());
      throw;
    }
    error = writer.Finish();
  }
  // Only with every byte written may the final mode let others in: they can
  // then read no more than the replaced file will show them anyway. The sync
  // below takes the mode to the disk together with the bytes.
  if (error == 0) GiveFinalOwnerAndMode(fd.get(), exists, old);
  // A file system that cannot sync at all (EINVAL) has nothing to report.
  if (error == 0) error = Injected(faults::Step::Sync);
  if (error == 0 && fsync(fd.get()) != 0 && errno != EINVAL) error = errno;
  int closeError = fd.Close();
  if (closeError == 0) closeError = Injected(faults::Step::Close);
  if (error == 0) error = closeError;
  if (error != 0) {
    unlink(temporaryName.c_str());
    return Failed(WriteFailure::Write, error);
  }

  error = Injected(faults::Step::Rename);
  if (error == 0 && rename(temporaryName.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    unlink(temporaryName.c_str());
    return Failed(WriteFailure::Create, error);
  }
  SyncFolder(FolderOf(target));
  return {};
}

void ReplacementWriter::Spill(std::string_view bytes) {
  if (error_ != 0) return;
  if (used_ > 0) {
    // Fill the block up and write it.
    std::size_t room = capacity_ - used_;
    std::memcpy(buffer_.get() + used_, bytes.data(), room);
    bytes.remove_prefix(room);
    used_ = 0;
    Write({buffer_.get(), capacity_});
  }
  if (bytes.size() >= kBlockSize) {
    Write(bytes);
    return;
  }
  if (!buffer_) {
    buffer_ = std::make_unique_for_overwrite<char[]>(kBlockSize);
    capacity_ = kBlockSize;
  }
  if (!bytes.empty()) std::memcpy(buffer_.get(), bytes.data(), bytes.size());
  used_ = bytes.size();
}

void ReplacementWriter::Write(std::string_view bytes) {
  if (error_ == 0) error_ = WriteAll(fd_, bytes);
}

int ReplacementWriter::Finish() {
  Write({buffer_.get(), used_});
  used_ = 0;
  return error_;
}

void faults::SetInjector(Injector injector) { injectedFaults = std::move(injector); }

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {}, b {};
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool CopyFile(const std::string& from, const std::string& to) {
  std::string bytes;
  return ReadWholeFile(from, bytes).ok && ReplaceFileContents(to, bytes).ok();
}

}  // namespace platform
