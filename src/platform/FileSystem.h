#pragma once

// Files as the rest of the program needs them: whole-file reads, whole-file
// replacement that never leaves a half-written file, existence tests and
// the system's words for a failure.

#include <string>
#include <string_view>

namespace platform {

// True when `name` exists and is not a folder (following symbolic links).
// A FIFO or a device counts as a file here; reading it is refused later.
bool FileExists(const std::string& name);

// True when `name` exists and is a folder (following symbolic links).
bool DirectoryExists(const std::string& name);

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

// The outcome of a file operation: `ok`, or the system's words for the
// failure in `reason`.
struct ReadOutcome {
  bool ok = true;
  std::string reason;
};

// Reads the whole of a regular file into `bytes`. Anything else that is not
// a regular file (a FIFO, socket or device) is refused at once, so that
// reading never blocks or runs without end.
ReadOutcome ReadWholeFile(const std::string& name, std::string& bytes);

enum class WriteFailure {
  None,
  Create,  // the file could not be created or replaced; nothing changed
  Write,   // the bytes could not be written in full; nothing changed
};

struct WriteOutcome {
  WriteFailure failure = WriteFailure::None;
  std::string reason;
  bool ok() const { return failure == WriteFailure::None; }
};

// Replaces the contents of `name` with `bytes`, or creates the file.
//
// The bytes go to a new file in the same folder, reach the disk, and only
// then take the old file's place with one rename: on any failure the old
// file is exactly as it was and no temporary file is left behind. A file
// without any write permission bit is read-only for every user, root
// included; so is a file that this user may not write, however writable its
// folder is. The replacement keeps the old file's permission bits and, where
// allowed, its owner. A symbolic link is followed: the file it points to is
// replaced and the link stays a link.
WriteOutcome ReplaceFileContents(const std::string& name, std::string_view bytes);

}  // namespace platform
