#include "platform/FileStamp.h"

#include <sys/stat.h>

namespace platform {

std::optional<FileStamp> StampOf(const std::string& name) {
  struct stat status {};
  if (name.empty() || ::stat(name.c_str(), &status) != 0) return std::nullopt;
  return FileStamp{status.st_dev,          status.st_ino,          status.st_size,
                   status.st_mtim.tv_sec,  status.st_mtim.tv_nsec, status.st_ctim.tv_sec,
                   status.st_ctim.tv_nsec};
}

}  // namespace platform
