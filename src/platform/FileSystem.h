#pragma once

// Files as the rest of the program needs them, all through this header:
// whole-file reads and whole-file replacement from the two it includes, and
// here existence tests, names, copies and the system's words for a failure.

#include <string>

#include "platform/FileReading.h"
#include "platform/FileReplacement.h"

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

// True when `name` is a folder this user may create files in, as the system
// judges it (access with W_OK): root passes wherever the file system is not
// read-only.
bool IsWritableFolder(const std::string& name);

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

}  // namespace platform
