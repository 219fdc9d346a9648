#pragma once

// The crash-recovery journal: every edit is appended to a file the moment it
// is made, so that after a kill or a power loss the next session can offer
// the edits that were never saved. One file per source and destination pair,
// in the user's state folder, readable by the user alone.
//
// The file: a header naming the pair, then one self-delimiting, checksummed
// record per edit, each holding the whole new value of one target (a row's
// translation or a header field). Reading takes every intact record and
// counts what it cannot read, a record cut off by the crash or damaged on
// the disk, without losing the intact records after a damaged one. The file
// grows with the edits, not with the keystrokes: once it is much larger than
// the latest value of every target, it is rewritten holding only those.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "workspace/Edit.h"

namespace workspace {

struct JournalEdit {
  EditField field = EditField::Translation;
  std::string section;  // Translation only; else empty
  std::string key;      // Translation only; else empty
  // The new value's bytes, as stored (code-page bytes; Date as "YYYY-MM-DD";
  // Authors as each line followed by '\n').
  std::string text;
  bool operator==(const JournalEdit&) const = default;
};

struct RecoveredEdits {
  // Every complete, intact record, in the order written.
  std::vector<JournalEdit> edits;
  // Records that could not be read (damaged, or cut off by the crash).
  std::size_t unreadable = 0;
  // When the journal was last written (the file's modification time).
  std::chrono::system_clock::time_point written;
};

class RecoveryJournal {
 public:
  // `folder`: where journals live (UserStateFolder() in the program, a
  // temporary folder in tests). Created with mode 0700 (parents as needed)
  // at the first record, not before.
  explicit RecoveryJournal(std::string folder);
  // Closes the file; never removes it (a crash must leave it; a clean exit
  // calls Remove).
  ~RecoveryJournal();
  RecoveryJournal(const RecoveryJournal&) = delete;
  RecoveryJournal& operator=(const RecoveryJournal&) = delete;

  // The source and destination (full paths) that the following records
  // belong to. Closes the file of a previous pair without removing it. The
  // file of the new pair is not touched until the first Record, which starts
  // it afresh (truncating whatever an earlier session left: the caller reads
  // that with Find first).
  void Start(std::string source, std::string destination);
  // Appends one record; when it returns the bytes are in the file (write(2)
  // done, so a kill -9 right after loses nothing). Flushing to the disk
  // (fdatasync) is batched: at most about once a second, never per
  // keystroke; the folder is synced once when the file is created. Returns
  // false when the record could not be written (no folder, disk full,
  // permissions); then `Failure()` gives the reason (strerror text naming the
  // file) and further records are dropped until the next Start. Never throws
  // for I/O.
  bool Record(const JournalEdit& edit);
  // Brings what was recorded since the last flush to the disk: the end of a
  // burst of typing would otherwise wait for the next record.
  void Sync();
  const std::string& Failure() const;
  // Deletes the current pair's journal file, if any (after a successful
  // save, a Discard, a clean exit). Harmless when there is none. The next
  // Record starts a new file.
  void Remove();
  // The file holding the journal of a pair: `folder` + 16 hex digits of a
  // 64-bit FNV-1a hash of source + '\0' + destination + ".journal". A '/' is
  // put between when `folder` does not end in one; an empty `folder` has no
  // file (empty text).
  static std::string FileFor(const std::string& folder, const std::string& source,
                             const std::string& destination);
  // The journal an earlier session left for the pair, read without changing
  // it; nothing when there is none, when it is empty of records and
  // unreadable-count zero, or when its header names another pair (a hash
  // collision) or is not a journal. Never throws for a damaged file.
  static std::optional<RecoveredEdits> Find(const std::string& folder, const std::string& source,
                                            const std::string& destination);

 private:
  // The latest record of one target, for compaction.
  struct Latest {
    JournalEdit edit;
    std::size_t bytes = 0;  // its size in the file
  };

  bool Open();
  bool Append(const std::string& bytes);
  void Remember(const JournalEdit& edit, std::size_t bytes);
  void CompactWhenLarge();
  bool SyncNowAndThen();
  void SyncAndClose();
  bool Fail(const char* doing, int error);

  std::string folder_;
  std::string source_;
  std::string destination_;
  std::string file_;  // the current pair's journal; empty before Start
  int fd_ = -1;       // open while the current pair's file is being written
  std::string failure_;
  bool failed_ = false;
  std::uint64_t fileSize_ = 0;
  std::uint64_t sizeLimit_ = 0;  // FileSizeLimit() when the file was opened
  std::chrono::steady_clock::time_point lastSync_;
  bool unsynced_ = false;
  std::string buffer_;  // one record's bytes, reused
  // The latest record of each target, in the order the targets first
  // appeared, and where each target's is.
  std::vector<Latest> latest_;
  std::unordered_map<std::string, std::size_t> targets_;
  std::uint64_t latestBytes_ = 0;  // the sum of latest_'s bytes
  std::uint64_t compactAt_ = 0;    // after a failed compaction: the size to try again at
};

}  // namespace workspace
