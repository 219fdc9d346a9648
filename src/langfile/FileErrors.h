#pragma once

// The errors of reading and writing files. Nothing in the program catches
// them on the way: they end the current command and the application shows
// their message.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure about one file, whose full path stands between double quotes in
// the message, followed by the system's reason. The path is the file
// system's bytes while the rest is text, so whoever shows the message reads
// the two apart: FileName() is where the path stands in what().
class EFileStreamError : public EStreamError {
 public:
  std::string_view FileName() const {
    return std::string_view(what()).substr(nameOffset_, nameLength_);
  }
  // The system's reason, which ends the message: for a caller that names
  // the file in its own words.
  std::string_view Reason() const {
    return std::string_view(what()).substr(nameOffset_ + nameLength_ + kAfterName.size());
  }

 protected:
  EFileStreamError(std::string_view lead, const std::string& fullPath, const std::string& reason)
      : EStreamError(std::string(lead) + "\"" + fullPath + std::string(kAfterName) + reason),
        nameOffset_(lead.size() + 1),
        nameLength_(fullPath.size()) {}

 private:
  static constexpr std::string_view kAfterName = "\". ";
  std::size_t nameOffset_;
  std::size_t nameLength_;
};

// An existing file could not be opened for reading.
class EFOpenError : public EFileStreamError {
 public:
  EFOpenError(const std::string& fullPath, const std::string& reason)
      : EFileStreamError("Cannot open file ", fullPath, reason) {}
};

// A file could not be created or replaced; it is unchanged.
class EFCreateError : public EFileStreamError {
 public:
  EFCreateError(const std::string& fullPath, const std::string& reason)
      : EFileStreamError("Cannot create file ", fullPath, reason) {}
};

// The bytes could not be written in full; the file is unchanged.
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError("Stream write error") {}
};
