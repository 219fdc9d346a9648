#include "langfile/TMemIniFile.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <tuple>

#include "platform/FileSystem.h"

namespace {

using langfile::KeyKind;
using langfile::NameIndex;
using langfile::ViewList;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineBreak = "\r\n";
// Large enough that reading costs few system calls, small enough that a
// piece is still in the processor's caches when it is parsed.
constexpr std::size_t kReadPiece = std::size_t{256} << 10;

// Every byte from 0 to 32 counts as blank: spaces, tabs and all other
// control bytes. Bytes from 128 on, the no-break space among them, never do.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimLeft(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  return text.substr(start);
}

std::string_view TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

// The first CR, LF or NUL at or after `next`, or `end`. Eight bytes are
// tested at once: a byte equal to CR or LF turns to zero under XOR, and the
// lowest zero byte of a word is found exactly by the borrow trick (higher ones
// may show falsely, which the lowest one makes harmless). Finding the NUL on
// the way spares a pass of its own over a file that no longer fits the cache.
const char* FindLineBreak(const char* next, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    auto zeroBytes = [](std::uint64_t word) { return (word - kOnes) & ~word & kHighs; };
    for (; end - next >= 8; next += 8) {
      std::uint64_t word;
      std::memcpy(&word, next, sizeof word);
      std::uint64_t found = zeroBytes(word ^ (kOnes * '\r')) | zeroBytes(word ^ (kOnes * '\n')) |
                            zeroBytes(word);
      if (found != 0) return next + std::countr_zero(found) / 8;
    }
  }
  while (next != end && *next != '\r' && *next != '\n' && *next != '\0') ++next;
  return next;
}

// A line ends at CR or LF; one CR and then one LF are taken as its break, so
// CR LF, LF and CR each end one line, and LF CR ends a line and then an
// empty one.
const char* SkipLineBreak(const char* next, const char* end) {
  if (next != end && *next == '\r') ++next;
  if (next != end && *next == '\n') ++next;
  return next;
}

bool IsSectionHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

}  // namespace

TMemIniFile::TMemIniFile(const std::string& fileName)
    : TCustomIniFile(fileName),
      upperCase_(&platform::UpperCaseTable(platform::SystemCodePage())),
      sections_(KeyKind::WholeText, *upperCase_, &memory_) {
  // A folder counts as missing, and so does an empty name; a name that
  // cannot even be looked up is not missing but out of reach.
  if (!platform::FileExists(fileName)) {
    if (int error = platform::LookUpError(fileName)) {
      throw EFOpenError(platform::FullPathName(fileName), platform::ErrorText(error));
    }
    return;
  }
  platform::FileBytes bytes;
  ParseProgress progress;
  platform::ReadOutcome read = platform::ReadWholeFile(
      fileName, bytes, [&](std::string_view soFar) { ParseMore(soFar, false, progress); },
      kReadPiece);
  if (!read.ok) throw EFOpenError(platform::FullPathName(fileName), read.reason);
  text_ = memory_.Adopt(std::move(bytes));
  ParseMore(text_, true, progress);
}

TMemIniFile::TMemIniFile(std::string_view bytes, const std::string& fileName, FromTextTag)
    : TCustomIniFile(fileName),
      upperCase_(&platform::UpperCaseTable(platform::SystemCodePage())),
      sections_(KeyKind::WholeText, *upperCase_, &memory_) {
  ParseProgress progress;
  text_ = memory_.Keep({bytes});
  ParseMore(text_, true, progress);
}

TMemIniFile TMemIniFile::FromText(std::string_view bytes, const std::string& fileName) {
  return TMemIniFile(bytes, fileName, FromTextTag{});
}

void TMemIniFile::ParseMore(std::string_view soFar, bool final, ParseProgress& progress) {
  if (soFar.data() != progress.start) {
    // The bytes moved (the file grew while it was read): what was parsed
    // views the old place, so all of it goes and parsing begins again.
    if (progress.start != nullptr) {
      sections_.Clear();
      entries_.clear();
      byteOrderMark_ = false;
    }
    progress = ParseProgress{soFar.data()};
  }
  std::size_t end = soFar.size();
  if (!final) {
    // Only whole lines: what follows the last CR or LF may go on in the next
    // piece. A CR LF pair cut in two reads the same, as its LF then ends an
    // empty line, which counts for nothing; nor is a cut ever inside the
    // byte-order mark, which holds no line break. Only bytes not looked at
    // before are searched, so a file without line breaks costs one pass; a
    // piece without any leaves the cut where it was, since a line may run
    // on over any number of pieces.
    std::size_t cut = soFar.size();
    while (cut > progress.scanned && soFar[cut - 1] != '\r' && soFar[cut - 1] != '\n') --cut;
    if (cut > progress.scanned) progress.wholeLines = cut;
    progress.scanned = soFar.size();
    if (progress.wholeLines <= progress.done) return;
    end = progress.wholeLines;
  }
  if (progress.done == 0 && soFar.starts_with(kByteOrderMark)) {
    byteOrderMark_ = true;
    progress.done = kByteOrderMark.size();
  }
  if (!progress.stopped && progress.done < end) {
    progress.stopped = !ParseLines(soFar.data() + progress.done, soFar.data() + end);
  }
  progress.done = std::max(progress.done, end);
  if (final) {
    cutAtNul_ = progress.stopped;
    // Whoever reads the document next starts at the top.
    sections_.Rewind();
    for (const ViewList& list : entries_) list.Rewind();
  }
}

bool TMemIniFile::ParseLines(const char* next, const char* const end) {
  // The current section is the last one; lines ahead of the first header
  // belong to none.
  ViewList* entries = entries_.empty() ? nullptr : &entries_.back();
  while (next != end) {
    const char* lineEnd = FindLineBreak(next, end);
    std::string_view line = Trim(std::string_view(next, static_cast<std::size_t>(lineEnd - next)));
    // Whatever follows a NUL byte is not text.
    if (lineEnd != end && *lineEnd == '\0') {
      AddLine(line, entries);
      return false;
    }
    next = SkipLineBreak(lineEnd, end);
    AddLine(line, entries);
  }
  return true;
}

void TMemIniFile::AddLine(std::string_view line, ViewList*& entries) {
  if (line.empty() || line.front() == ';') return;
  if (IsSectionHeader(line)) {
    // Sections of one file tend to be alike in size.
    std::size_t expected = entries == nullptr ? 0 : entries->size();
    entries = &AddSection(Trim(line.substr(1, line.size() - 2)), expected);
    return;
  }
  if (entries == nullptr) return;  // lines ahead of the first header
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    entries->Add(line);
    return;
  }
  // The name and the value lose the blanks around the first "=". Most
  // lines have none and are kept as they stand in the file.
  std::string_view name = TrimRight(line.substr(0, equals));
  std::string_view value = TrimLeft(line.substr(equals + 1));
  if (name.size() + 1 + value.size() == line.size()) {
    entries->Add(line, name);
  } else {
    entries->Add(memory_.Keep({name, "=", value}), name);
  }
}

ViewList& TMemIniFile::AddSection(std::string_view name, std::size_t expectedEntries) {
  sections_.Add(name);
  return entries_.emplace_back(KeyKind::Name, *upperCase_, &memory_, expectedEntries);
}

const ViewList* TMemIniFile::FindSection(std::string_view name) const {
  std::ptrdiff_t index = sections_.Find(name);
  return index == NameIndex::kNotFound ? nullptr : &entries_[static_cast<std::size_t>(index)];
}

std::string TMemIniFile::GetValue(std::string_view section, std::string_view key,
                                  std::string_view fallback) const {
  return std::string(FindValue(section, key).value_or(fallback));
}

std::optional<std::string_view> TMemIniFile::FindValue(std::string_view section,
                                                       std::string_view key) const {
  std::optional<std::size_t> position = SectionPosition(section);
  return position ? FindValueAt(*position, key) : std::nullopt;
}

std::optional<std::size_t> TMemIniFile::SectionPosition(std::string_view name) const {
  std::ptrdiff_t index = sections_.Find(name);
  if (index == NameIndex::kNotFound) return std::nullopt;
  return static_cast<std::size_t>(index);
}

std::optional<std::string_view> TMemIniFile::FindValueAt(std::size_t position,
                                                         std::string_view key) const {
  std::optional<std::string_view> entry = FindEntryAt(position, key);
  if (!entry) return std::nullopt;
  return entry->substr(entry->find('=') + 1);
}

std::optional<std::string_view> TMemIniFile::FindEntryAt(std::size_t position,
                                                         std::string_view key) const {
  const ViewList& entries = entries_.at(position);
  std::ptrdiff_t index = entries.Find(key);
  if (index == NameIndex::kNotFound) return std::nullopt;
  return entries[static_cast<std::size_t>(index)];
}

std::vector<std::size_t> TMemIniFile::LinesOf(std::span<const EntryPlace> places) const {
  // Each line of a section that is no comment adds one entry to its list,
  // so the entry a lookup finds is the section's n-th such line: the pass
  // counts lines as the parser splits them, and nothing is compared by name.
  struct Wanted {
    std::size_t section, entry, slot;
    bool operator<(const Wanted& other) const {
      return std::tie(section, entry) < std::tie(other.section, other.entry);
    }
  };
  std::vector<std::size_t> lines(places.size(), 0);
  std::vector<Wanted> wanted;
  wanted.reserve(places.size());
  for (std::size_t slot = 0; slot < places.size(); ++slot) {
    if (places[slot].section >= entries_.size()) continue;
    std::ptrdiff_t index = entries_[places[slot].section].Find(places[slot].key);
    if (index == NameIndex::kNotFound) continue;
    wanted.push_back({places[slot].section, static_cast<std::size_t>(index), slot});
  }
  std::sort(wanted.begin(), wanted.end());

  const char* next = text_.data();
  const char* const end = next + text_.size();
  if (byteOrderMark_) next += kByteOrderMark.size();
  std::size_t line = 1;
  std::size_t section = 0;  // sections begun so far
  std::size_t entry = 0;    // entries of the current section so far
  auto seek = wanted.begin();
  while (seek != wanted.end() && next != end) {
    const char* lineEnd = FindLineBreak(next, end);
    std::string_view text = Trim(std::string_view(next, static_cast<std::size_t>(lineEnd - next)));
    if (IsSectionHeader(text)) {
      ++section;
      entry = 0;
    } else if (!text.empty() && text.front() != ';' && section > 0) {
      while (seek != wanted.end() && seek->section == section - 1 && seek->entry == entry)
        lines[(seek++)->slot] = line;
      ++entry;
    }
    if (lineEnd != end && *lineEnd == '\0') break;
    next = SkipLineBreak(lineEnd, end);
    ++line;
  }
  return lines;
}

std::size_t TMemIniFile::SectionPositionToSet(std::string_view name) {
  if (std::optional<std::size_t> position = SectionPosition(name)) return *position;
  AddSection(memory_.Keep({name}), 0);
  return entries_.size() - 1;
}

void TMemIniFile::SetValue(std::string_view section, std::string_view key,
                           std::string_view value) {
  ViewList& entries = entries_[SectionPositionToSet(section)];
  SetFound(entries, entries.Find(key), key, value);
}

void TMemIniFile::SetValues(std::string_view section, std::span<const Setting> run) {
  if (run.empty()) return;
  SetValuesAt(SectionPositionToSet(section), run);
}

void TMemIniFile::SetValuesAt(std::size_t position, std::span<const Setting> run) {
  ViewList& entries = entries_.at(position);
  // As many as the processor fetches at once, about.
  constexpr std::size_t kAhead = 16;
  std::optional<std::uint32_t> hashes[kAhead];
  for (std::size_t first = 0; first < run.size(); first += kAhead) {
    const std::size_t count = std::min(kAhead, run.size() - first);
    // A run that follows the section's order is found by the finger; only
    // where it strays do the keys ahead get hashed.
    hashes[0] = entries.Anticipate(run[first].key, 0);
    for (std::size_t i = 1; i < count; ++i) {
      hashes[i] = hashes[0] ? entries.Anticipate(run[first + i].key, i) : std::nullopt;
    }
    for (std::size_t i = 0; i < count; ++i) {
      const Setting& setting = run[first + i];
      SetFound(entries, entries.Find(setting.key, hashes[i]), setting.key, setting.value);
    }
  }
}

void TMemIniFile::SetFound(ViewList& entries, std::ptrdiff_t found, std::string_view key,
                           std::string_view value) {
  if (found == NameIndex::kNotFound) {
    std::string_view text = memory_.Keep({key, "=", value});
    // The new entry's name is `key`, unless `key` holds an "=" itself.
    if (key.find('=') == std::string_view::npos) {
      entries.AddMissing(text);
    } else {
      entries.Add(text);
    }
    return;
  }
  auto position = static_cast<std::size_t>(found);
  std::string_view old = entries[position];
  // Saving a file over itself sets every entry to what it already holds.
  if (old.size() == key.size() + 1 + value.size() && old.starts_with(key) &&
      old[key.size()] == '=' && old.ends_with(value)) {
    return;
  }
  entries.Put(position, memory_.Keep({key, "=", value}));
}

void TMemIniFile::GetKeys(std::string_view section, TStringList& keys) const {
  keys.Clear();
  const ViewList* entries = FindSection(section);
  if (entries == nullptr) return;
  keys.Reserve(entries->size());
  for (std::string_view entry : *entries) {
    std::string_view::size_type equals = entry.find('=');
    keys.Add(equals == std::string_view::npos ? std::string()
                                              : std::string(entry.substr(0, equals)));
  }
}

std::span<const std::string_view> TMemIniFile::Entries(std::string_view section) const {
  const ViewList* entries = FindSection(section);
  if (entries == nullptr) return {};
  return {entries->begin(), entries->end()};
}

bool TMemIniFile::NamesRepeat(std::string_view section) const {
  const ViewList* entries = FindSection(section);
  return entries != nullptr && entries->HasRepeats();
}

void TMemIniFile::GetSections(TStringList& sections) const {
  sections.Clear();
  sections.Reserve(sections_.size());
  for (std::string_view name : sections_) sections.Add(std::string(name));
}

template <typename Output>
void TMemIniFile::WriteText(Output& out) const {
  if (byteOrderMark_) out.Append(kByteOrderMark);
  for (std::size_t i = 0; i < sections_.size() && !out.Failed(); ++i) {
    out.Append("[");
    out.Append(sections_[i]);
    out.Append("]");
    out.Append(kLineBreak);
    for (std::string_view entry : entries_[i]) {
      out.Append(entry);
      out.Append(kLineBreak);
    }
    out.Append(kLineBreak);
  }
}

std::string TMemIniFile::Text() const {
  struct Counter {
    std::size_t length = 0;
    void Append(std::string_view bytes) { length += bytes.size(); }
    bool Failed() const { return false; }
  } counter;
  WriteText(counter);

  struct Collector {
    std::string text;
    void Append(std::string_view bytes) { text.append(bytes); }
    bool Failed() const { return false; }
  } collector;
  collector.text.reserve(counter.length);
  WriteText(collector);
  return std::move(collector.text);
}

void TMemIniFile::WriteBack() {
  // Other programs read these files up to the first NUL byte as well, so
  // the document holds what they see; but the file goes on after it (a
  // UTF-16 file, a stray NUL), and a rewrite would silently cut it short.
  if (cutAtNul_) {
    throw EFCreateError(platform::FullPathName(FileName()), std::string(kHoldsNulReason));
  }
  platform::WriteOutcome written = platform::ReplaceFileContents(
      FileName(), [this](platform::ReplacementWriter& out) { WriteText(out); });
  switch (written.failure) {
    case platform::WriteFailure::None:
      return;
    case platform::WriteFailure::Create:
      throw EFCreateError(platform::FullPathName(FileName()), written.reason);
    case platform::WriteFailure::Write:
      throw EWriteError();
  }
}
