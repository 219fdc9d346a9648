#include "langfile/TMemIniFile.h"

#include "platform/FileSystem.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineBreak = "\r\n";

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

// The next line of `rest` and what follows its line break. A line ends at CR
// or LF; one CR and then one LF are taken as its break, so CR LF, LF and CR
// each end one line, and LF CR ends a line and then an empty one.
std::string_view NextLine(std::string_view& rest) {
  std::size_t end = 0;
  while (end < rest.size() && rest[end] != '\r' && rest[end] != '\n') ++end;
  std::string_view line = rest.substr(0, end);
  if (end < rest.size() && rest[end] == '\r') ++end;
  if (end < rest.size() && rest[end] == '\n') ++end;
  rest.remove_prefix(end);
  return line;
}

bool IsSectionHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

// The entry text for a trimmed line that holds an "=": the name and the value
// lose the blanks around that first "=". Most lines have none, and are taken
// as they stand.
std::string EntryText(std::string_view line, std::size_t equals) {
  std::string_view name = TrimRight(line.substr(0, equals));
  std::string_view value = TrimLeft(line.substr(equals + 1));
  if (name.size() == equals && value.size() == line.size() - equals - 1) {
    return std::string(line);
  }
  std::string text;
  text.reserve(name.size() + 1 + value.size());
  text.append(name).append(1, '=').append(value);
  return text;
}

}  // namespace

TMemIniFile::TMemIniFile(const std::string& fileName)
    : TCustomIniFile(fileName),
      upperCase_(&platform::UpperCaseTable(platform::SystemCodePage())),
      sections_(*upperCase_) {
  // A folder counts as missing, and so does an empty name.
  if (!platform::FileExists(fileName)) return;
  std::string bytes;
  platform::ReadOutcome read = platform::ReadWholeFile(fileName, bytes);
  if (!read.ok) throw EFOpenError(platform::FullPathName(fileName), read.reason);
  Parse(bytes);
}

TMemIniFile::TMemIniFile(std::string_view bytes, const std::string& fileName, FromTextTag)
    : TCustomIniFile(fileName),
      upperCase_(&platform::UpperCaseTable(platform::SystemCodePage())),
      sections_(*upperCase_) {
  Parse(bytes);
}

TMemIniFile TMemIniFile::FromText(std::string_view bytes, const std::string& fileName) {
  return TMemIniFile(bytes, fileName, FromTextTag{});
}

void TMemIniFile::Parse(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) {
    byteOrderMark_ = true;
    bytes.remove_prefix(kByteOrderMark.size());
  }
  // Whatever follows a NUL byte is not text.
  bytes = bytes.substr(0, bytes.find('\0'));

  while (!bytes.empty()) {
    std::string_view line = Trim(NextLine(bytes));
    if (line.empty() || line.front() == ';') continue;
    if (IsSectionHeader(line)) {
      AddSection(Trim(line.substr(1, line.size() - 2)));
      continue;
    }
    if (entries_.empty()) continue;  // lines ahead of the first header
    std::size_t equals = line.find('=');
    entries_.back().Add(equals == std::string_view::npos ? std::string(line)
                                                         : EntryText(line, equals));
  }
}

void TMemIniFile::AddSection(std::string_view name) {
  sections_.Add(std::string(name));
  entries_.emplace_back(*upperCase_);
}

const THashedStringList* TMemIniFile::FindSection(std::string_view name) const {
  std::ptrdiff_t index = sections_.IndexOf(name);
  return index == THashedStringList::kNotFound ? nullptr
                                               : &entries_[static_cast<std::size_t>(index)];
}

std::string TMemIniFile::GetValue(std::string_view section, std::string_view key,
                                  std::string_view fallback) const {
  return std::string(FindValue(section, key).value_or(fallback));
}

std::optional<std::string_view> TMemIniFile::FindValue(std::string_view section,
                                                       std::string_view key) const {
  const THashedStringList* entries = FindSection(section);
  if (entries == nullptr) return std::nullopt;
  std::ptrdiff_t index = entries->IndexOfName(key);
  if (index == THashedStringList::kNotFound) return std::nullopt;
  std::string_view entry = (*entries)[static_cast<std::size_t>(index)];
  return entry.substr(entry.find('=') + 1);
}

void TMemIniFile::SetValue(std::string_view section, std::string_view key,
                           std::string_view value) {
  std::ptrdiff_t sectionIndex = sections_.IndexOf(section);
  if (sectionIndex == THashedStringList::kNotFound) {
    AddSection(section);
    sectionIndex = static_cast<std::ptrdiff_t>(entries_.size() - 1);
  }
  THashedStringList& entries = entries_[static_cast<std::size_t>(sectionIndex)];

  std::string text;
  text.reserve(key.size() + 1 + value.size());
  text.append(key).append(1, '=').append(value);

  std::ptrdiff_t entryIndex = entries.IndexOfName(key);
  if (entryIndex == THashedStringList::kNotFound) {
    entries.Add(std::move(text));
  } else {
    entries.Put(static_cast<std::size_t>(entryIndex), std::move(text));
  }
}

void TMemIniFile::GetKeys(std::string_view section, TStringList& keys) const {
  keys.Clear();
  const THashedStringList* entries = FindSection(section);
  if (entries == nullptr) return;
  keys.Reserve(entries->size());
  for (const std::string& entry : *entries) {
    std::string::size_type equals = entry.find('=');
    keys.Add(equals == std::string::npos ? std::string() : entry.substr(0, equals));
  }
}

void TMemIniFile::GetSections(TStringList& sections) const {
  sections.Clear();
  sections.Reserve(sections_.size());
  for (const std::string& name : sections_) sections.Add(name);
}

std::string TMemIniFile::Text() const {
  std::size_t length = byteOrderMark_ ? kByteOrderMark.size() : 0;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    length += sections_[i].size() + 2 + 2 * kLineBreak.size();
    for (const std::string& entry : entries_[i]) length += entry.size() + kLineBreak.size();
  }

  std::string text;
  text.reserve(length);
  if (byteOrderMark_) text.append(kByteOrderMark);
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    text.append(1, '[').append(sections_[i]).append(1, ']').append(kLineBreak);
    for (const std::string& entry : entries_[i]) text.append(entry).append(kLineBreak);
    text.append(kLineBreak);
  }
  return text;
}

void TMemIniFile::WriteBack() {
  platform::WriteOutcome written = platform::ReplaceFileContents(FileName(), Text());
  switch (written.failure) {
    case platform::WriteFailure::None:
      return;
    case platform::WriteFailure::Create:
      throw EFCreateError(platform::FullPathName(FileName()), written.reason);
    case platform::WriteFailure::Write:
      throw EWriteError();
  }
}
