#include "platform/FileReplacement.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileDescriptor.h"
#include "platform/FileReading.h"
#include "platform/FileSystem.h"

namespace platform {
namespace {

constexpr int kMaxSymlinkHops = 40;  // the kernel's own limit for one path

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

// Read where the system says it, rather than set and put back, which would
// give a file another thread creates meanwhile the wrong mode; only a system
// that does not say leaves no other way.
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

}  // namespace

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

}  // namespace platform
