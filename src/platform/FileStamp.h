#pragma once

// What tells one state of a file from another without reading it: which
// file a name leads to (device and inode), its size and its modification
// and change times to the nanosecond. Any write, truncation, rename over it
// or change of attributes gives a different stamp.

#include <optional>
#include <string>

namespace platform {

struct FileStamp {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  long long size = 0;
  long long modifiedSeconds = 0;
  long long modifiedNanoseconds = 0;
  long long changedSeconds = 0;
  long long changedNanoseconds = 0;

  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file `name` leads to (links followed), or nothing when
// there is no such file.
std::optional<FileStamp> StampOf(const std::string& name);

}  // namespace platform
