#pragma once

// What reading and replacing files share, for this folder's sources alone.

#include <cerrno>
#include <string>

#include <unistd.h>

#include "platform/FileSystem.h"

namespace platform {

// Stands in for an error number where the kernel has none: the name exists
// but is a FIFO, socket or device, which this program never reads or replaces.
constexpr int kNotRegularFile = -1;

inline std::string ReasonFor(int error) {
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

}  // namespace platform
