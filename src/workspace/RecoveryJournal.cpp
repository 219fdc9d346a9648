#include "workspace/RecoveryJournal.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <limits>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"

// The file, all numbers little-endian:
//   header  kMagic, u32 length + source bytes, u32 length + destination bytes, '\n'
//   record  kMarker, u8 field, u32 section length, u32 key length, u32 text
//           length, the section, key and text bytes, u32 FNV-1a of all the
//           record's bytes before it, '\n'
// A record is read only when every part of it fits in the file, its field is
// known, its checksum matches and its '\n' is in place. Otherwise reading
// looks for the next marker after the one that failed, and everything it
// skips counts as one unreadable record.

namespace workspace {
namespace {

constexpr std::string_view kMagic = "Orvane translator recovery journal 1\n";
constexpr std::string_view kMarker = "\x1EJR\x1F";
constexpr std::size_t kRecordHead = kMarker.size() + 1 + 3 * 4;  // marker, field, three lengths
constexpr std::size_t kRecordTail = 4 + 1;                       // checksum, '\n'
constexpr EditField kLastField = EditField::Authors;
constexpr std::uint64_t kCompactionSlack = std::uint64_t{1} << 20;
constexpr auto kSyncInterval = std::chrono::seconds(1);

std::uint32_t Checksum(std::string_view bytes) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 16777619u;
  }
  return hash;
}

void PutNumber(std::string& out, std::uint32_t number) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((number >> shift) & 0xFF);
}

std::uint32_t NumberAt(std::string_view bytes, std::size_t at) {
  std::uint32_t number = 0;
  for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(bytes[at + i]);
  return number;
}

void PutBytes(std::string& out, std::string_view bytes) {
  PutNumber(out, static_cast<std::uint32_t>(bytes.size()));
  out += bytes;
}

bool FitsInRecord(const JournalEdit& edit) {
  constexpr std::size_t kMax = std::numeric_limits<std::uint32_t>::max();
  return edit.section.size() <= kMax && edit.key.size() <= kMax && edit.text.size() <= kMax;
}

std::string Header(const std::string& source, const std::string& destination) {
  std::string header(kMagic);
  PutBytes(header, source);
  PutBytes(header, destination);
  return header + '\n';
}

// Replaces `out` with the record of `edit`, keeping the buffer's memory.
void EncodeRecord(const JournalEdit& edit, std::string& out) {
  out.clear();
  out.reserve(kRecordHead + edit.section.size() + edit.key.size() + edit.text.size() + kRecordTail);
  out += kMarker;
  out += static_cast<char>(edit.field);
  PutNumber(out, static_cast<std::uint32_t>(edit.section.size()));
  PutNumber(out, static_cast<std::uint32_t>(edit.key.size()));
  PutNumber(out, static_cast<std::uint32_t>(edit.text.size()));
  out += edit.section;
  out += edit.key;
  out += edit.text;
  PutNumber(out, Checksum(out));
  out += '\n';
}

// The target a record sets, as one text: a later record of the same target
// replaces it.
std::string TargetOf(const JournalEdit& edit) {
  std::string target(1, static_cast<char>(edit.field));
  PutBytes(target, edit.section);
  target += edit.key;
  return target;
}

// Reads the header at the start of `bytes` into `source` and `destination`;
// the offset of the first record, or 0 when the header cannot be read.
std::size_t ReadHeader(std::string_view bytes, std::string_view& source,
                       std::string_view& destination) {
  if (!bytes.starts_with(kMagic)) return 0;
  std::size_t at = kMagic.size();
  for (std::string_view* name : {&source, &destination}) {
    if (bytes.size() - at < 4) return 0;
    std::uint32_t length = NumberAt(bytes, at);
    at += 4;
    if (bytes.size() - at < length) return 0;
    *name = bytes.substr(at, length);
    at += length;
  }
  if (at == bytes.size() || bytes[at] != '\n') return 0;
  return at + 1;
}

// Reads the record at `at` into `edit` and returns the offset after it, or 0
// when there is no intact record there. Lengths are checked against what is
// left of the file before anything is taken, so a damaged length costs no
// memory.
std::size_t ReadRecord(std::string_view bytes, std::size_t at, JournalEdit& edit) {
  const std::size_t left = bytes.size() - at;
  if (left < kRecordHead + kRecordTail || bytes.substr(at, kMarker.size()) != kMarker) return 0;
  const auto field = static_cast<unsigned char>(bytes[at + kMarker.size()]);
  if (field > static_cast<unsigned char>(kLastField)) return 0;
  const std::uint64_t sectionLength = NumberAt(bytes, at + kMarker.size() + 1);
  const std::uint64_t keyLength = NumberAt(bytes, at + kMarker.size() + 5);
  const std::uint64_t textLength = NumberAt(bytes, at + kMarker.size() + 9);
  const std::uint64_t bodyLength = sectionLength + keyLength + textLength;
  if (bodyLength > left - kRecordHead - kRecordTail) return 0;
  const std::size_t checksumAt = at + kRecordHead + bodyLength;
  if (bytes[checksumAt + 4] != '\n' ||
      NumberAt(bytes, checksumAt) != Checksum(bytes.substr(at, checksumAt - at))) {
    return 0;
  }
  std::size_t next = at + kRecordHead;
  auto take = [&](std::string& into, std::uint64_t length) {
    into.assign(bytes.substr(next, length));
    next += length;
  };
  edit.field = static_cast<EditField>(field);
  take(edit.section, sectionLength);
  take(edit.key, keyLength);
  take(edit.text, textLength);
  return checksumAt + kRecordTail;
}

RecoveredEdits ReadRecords(std::string_view bytes, std::size_t at) {
  RecoveredEdits found;
  bool skipping = false;
  while (at < bytes.size()) {
    JournalEdit edit;
    if (std::size_t next = ReadRecord(bytes, at, edit)) {
      found.edits.push_back(std::move(edit));
      at = next;
      skipping = false;
      continue;
    }
    if (!skipping) ++found.unreadable;
    skipping = true;
    at = bytes.find(kMarker, at + 1);
  }
  return found;
}

std::string FolderOf(const std::string& file) {
  std::string::size_type slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : file.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);  // best effort: the entry is made, only its durability is at stake
  close(fd);
}

// Makes `folder` and whatever folders above it are missing, each with mode
// 0700, and takes the group's and others' rights away from the last one when
// it is ours. The error number, or 0.
int MakePrivateFolder(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    const std::string above = folder.substr(0, slash);
    if (mkdir(above.c_str(), 0700) == 0) {
      chmod(above.c_str(), 0700);  // whatever the umask took away
    } else if (errno != EEXIST) {
      return errno;
    }
  }
  if (mkdir(folder.c_str(), 0700) == 0) {
    chmod(folder.c_str(), 0700);
    SyncFolder(FolderOf(folder));
    return 0;
  }
  if (errno != EEXIST) return errno;
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0) return errno;
  if (!S_ISDIR(info.st_mode)) return ENOTDIR;
  // Another user's folder (one left by a program run with sudo, or a shared
  // one) could hand this user's journals to that user, or plant one that a
  // Restore would put into a translation.
  if (info.st_uid != geteuid()) return EACCES;
  if ((info.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) return errno;
  return 0;
}

// Opens the journal `file` that no running window keeps (see Open) and that
// is this user's own, for reading, with a shared lock; -1 otherwise.
int OpenLeftJournal(const std::string& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid() ||
      flock(fd, LOCK_SH | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return ENOSPC;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// The largest file this process may write: a write beyond it would raise
// SIGXFSZ, which kills the process unless caught, and would leave half a
// record behind. Read when a file is opened, not for every record: nothing in
// the program lowers it meanwhile.
std::uint64_t FileSizeLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  return limit.rlim_cur;
}

std::chrono::system_clock::time_point ModificationTime(const struct stat& info) {
  const auto sinceEpoch =
      std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec);
  return std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
}

}  // namespace

RecoveryJournal::RecoveryJournal(std::string folder) : folder_(std::move(folder)) {}

RecoveryJournal::~RecoveryJournal() { SyncAndClose(); }

void RecoveryJournal::Start(std::string source, std::string destination) {
  SyncAndClose();
  source_ = std::move(source);
  destination_ = std::move(destination);
  file_ = FileFor(folder_, source_, destination_);
  failed_ = false;
  failure_.clear();
  latest_.clear();
  targets_.clear();
  latestBytes_ = 0;
}

bool RecoveryJournal::Record(const JournalEdit& edit) {
  if (failed_) return false;
  if (file_.empty()) {
    failure_ = folder_.empty() ? "There is no folder for the recovery journal"
                               : "The recovery journal has no source and destination yet";
    failed_ = true;
    return false;
  }
  if (!FitsInRecord(edit)) return Fail("Cannot write the recovery journal ", EFBIG);
  if (fd_ < 0 && !Open()) return false;
  EncodeRecord(edit, buffer_);
  if (!Append(buffer_)) return false;
  Remember(edit, buffer_.size());
  CompactWhenLarge();
  // A compaction that could not reopen the file has this record on the disk
  // already; only the next one fails.
  return failed_ || SyncNowAndThen();
}

const std::string& RecoveryJournal::Failure() const { return failure_; }

void RecoveryJournal::Sync() {
  if (fd_ < 0 || !unsynced_) return;
  if (fdatasync(fd_) == 0 || errno == EINVAL) {
    lastSync_ = std::chrono::steady_clock::now();
    unsynced_ = false;
  }
}

void RecoveryJournal::Remove() {
  if (fd_ >= 0) {
    // Its own file, locked since it was opened.
    if (unlink(file_.c_str()) == 0) SyncFolder(FolderOf(file_));
    close(fd_);
    fd_ = -1;
  }
  unsynced_ = false;
  latest_.clear();
  targets_.clear();
  latestBytes_ = 0;
  if (file_.empty()) return;
  // Only a journal no running window keeps goes: another window on the same
  // files writes into the same file.
  const int left = OpenLeftJournal(file_);
  if (left < 0) return;
  if (unlink(file_.c_str()) == 0) SyncFolder(FolderOf(file_));
  close(left);
}

std::string RecoveryJournal::FileFor(const std::string& folder, const std::string& source,
                                     const std::string& destination) {
  if (folder.empty()) return {};
  std::uint64_t hash = 14695981039346656037u;
  auto add = [&hash](std::string_view bytes) {
    for (unsigned char c : bytes) {
      hash ^= c;
      hash *= 1099511628211u;
    }
  };
  add(source);
  add(std::string_view("\0", 1));
  add(destination);
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016" PRIx64, hash);
  return folder + (folder.back() == '/' ? "" : "/") + digits + ".journal";
}

std::optional<RecoveredEdits> RecoveryJournal::Find(const std::string& folder,
                                                    const std::string& source,
                                                    const std::string& destination) {
  const std::string file = FileFor(folder, source, destination);
  if (file.empty()) return {};
  // A journal that a running window keeps is that window's work, not a
  // crashed session's.
  const int fd = OpenLeftJournal(file);
  if (fd < 0) return {};
  struct stat info {};
  const bool read = fstat(fd, &info) == 0;
  close(fd);
  std::string bytes;
  if (!read || !platform::ReadWholeFile(file, bytes).ok) return {};
  std::string_view writtenSource, writtenDestination;
  const std::size_t records = ReadHeader(bytes, writtenSource, writtenDestination);
  if (records == 0 || writtenSource != source || writtenDestination != destination) return {};
  RecoveredEdits found = ReadRecords(bytes, records);
  if (found.edits.empty() && found.unreadable == 0) return {};
  found.written = ModificationTime(info);
  return found;
}

// Starts the current pair's file afresh: a new, private file holding the
// header, its name made durable in the folder.
bool RecoveryJournal::Open() {
  const std::string folder = FolderOf(file_);
  if (int error = MakePrivateFolder(folder)) {
    failure_ = "Cannot create the folder \"" + folder + "\". " + platform::ErrorText(error);
    failed_ = true;
    return false;
  }
  // Not blocking, so that a FIFO in the file's place is refused rather than waited on.
  fd_ = open(file_.c_str(),
             O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0600);
  if (fd_ < 0) return Fail("Cannot create the recovery journal ", errno);
  // Held while this window writes it, so that another window on the same
  // files neither writes into it nor takes it for a crashed session's.
  if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) return Fail("Cannot lock the recovery journal ", errno);
    failure_ = "Another window of the program keeps the recovery journal of these files.";
    failed_ = true;
    close(fd_);
    fd_ = -1;
    return false;
  }
  // Emptied only once it is known to be a file of this user's own, with no
  // other name that the emptying would reach.
  struct stat info {};
  if (fstat(fd_, &info) != 0) return Fail("Cannot create the recovery journal ", errno);
  if (!S_ISREG(info.st_mode) || info.st_nlink != 1 || info.st_uid != geteuid())
    return Fail("Cannot create the recovery journal ", EACCES);
  if (ftruncate(fd_, 0) != 0) return Fail("Cannot create the recovery journal ", errno);
  if (fchmod(fd_, 0600) != 0) return Fail("Cannot create the recovery journal ", errno);
  fileSize_ = 0;
  sizeLimit_ = FileSizeLimit();
  compactAt_ = 0;
  if (!Append(Header(source_, destination_))) return false;
  SyncFolder(folder);
  lastSync_ = std::chrono::steady_clock::time_point();  // the first record goes to the disk at once
  return true;
}

bool RecoveryJournal::Append(const std::string& bytes) {
  const bool tooLarge = sizeLimit_ < fileSize_ || bytes.size() > sizeLimit_ - fileSize_;
  int error = tooLarge ? EFBIG : WriteAll(fd_, bytes);
  if (error != 0) {
    // Leave no half record behind for the reader to count.
    [[maybe_unused]] int ignored = ftruncate(fd_, static_cast<off_t>(fileSize_));
    return Fail("Cannot write the recovery journal ", error);
  }
  fileSize_ += bytes.size();
  return true;
}

void RecoveryJournal::Remember(const JournalEdit& edit, std::size_t bytes) {
  auto [place, isNew] = targets_.try_emplace(TargetOf(edit), latest_.size());
  if (isNew) {
    latest_.push_back({edit, bytes});
  } else {
    Latest& latest = latest_[place->second];
    latestBytes_ -= latest.bytes;
    latest.edit.text = edit.text;
    latest.bytes = bytes;
  }
  latestBytes_ += bytes;
}

// Rewrites the file with the latest record of each target once the records
// it replaces take up most of it. The rewrite costs as much as the file's
// live part, and comes only after three times as much has been appended, so
// an edit pays for it a constant share.
void RecoveryJournal::CompactWhenLarge() {
  if (fileSize_ <= 4 * latestBytes_ + kCompactionSlack || fileSize_ < compactAt_) return;
  const std::string header = Header(source_, destination_);
  platform::WriteOutcome outcome =
      platform::ReplaceFileContents(file_, [&](platform::ReplacementWriter& out) {
        out.Append(header);
        for (const Latest& latest : latest_) {
          EncodeRecord(latest.edit, buffer_);
          out.Append(buffer_);
        }
      });
  if (!outcome.ok()) {
    // The file still holds every record; try again once it has grown some more.
    compactAt_ = fileSize_ + kCompactionSlack;
    return;
  }
  close(fd_);
  fd_ = open(file_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
  // The replacement is a new file, which the lock must hold again.
  if (fd_ < 0 || flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    Fail("Cannot open the recovery journal ", errno);
    return;
  }
  fileSize_ = header.size() + latestBytes_;
  compactAt_ = 0;
  lastSync_ = std::chrono::steady_clock::now();  // the replacement reached the disk
  unsynced_ = false;
}

bool RecoveryJournal::SyncNowAndThen() {
  const auto now = std::chrono::steady_clock::now();
  if (now - lastSync_ < kSyncInterval) {
    unsynced_ = true;
    return true;
  }
  // A file system that cannot sync at all (EINVAL) has nothing to report.
  if (fdatasync(fd_) != 0 && errno != EINVAL) {
    return Fail("Cannot write the recovery journal ", errno);
  }
  lastSync_ = now;
  unsynced_ = false;
  return true;
}

void RecoveryJournal::SyncAndClose() {
  if (fd_ < 0) return;
  if (unsynced_) fdatasync(fd_);
  close(fd_);
  fd_ = -1;
  unsynced_ = false;
}

bool RecoveryJournal::Fail(const char* doing, int error) {
  failure_ = doing + ("\"" + file_ + "\". ") + platform::ErrorText(error);
  failed_ = true;
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  unsynced_ = false;
  return false;
}

}  // namespace workspace
