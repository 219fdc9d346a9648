#pragma once

// The errors of reading and writing files. Nothing in the program catches
// them on the way: they end the current command and the application shows
// their message.

#include <stdexcept>
#include <string>

class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EFileStreamError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// An existing file could not be opened for reading.
class EFOpenError : public EFileStreamError {
 public:
  // `fullPath` stands between double quotes, followed by the system's reason.
  EFOpenError(const std::string& fullPath, const std::string& reason)
      : EFileStreamError("Cannot open file \"" + fullPath + "\". " + reason) {}
};

// A file could not be created or replaced; it is unchanged.
class EFCreateError : public EFileStreamError {
 public:
  EFCreateError(const std::string& fullPath, const std::string& reason)
      : EFileStreamError("Cannot create file \"" + fullPath + "\". " + reason) {}
};

// The bytes could not be written in full; the file is unchanged.
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError("Stream write error") {}
};
