#include "workspace/Workspace.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "langfile/ProcFunc.h"
#include "langfile/TMemIniFile.h"
#include "langfile/TStringList.h"
#include "platform/FileSystem.h"

namespace workspace {

namespace {

std::string langfile::LanguageHeader::*TextField(EditField field) {
  switch (field) {
    case EditField::Tag:
      return &langfile::LanguageHeader::tag;
    case EditField::Name:
      return &langfile::LanguageHeader::name;
    case EditField::ProgramVersion:
      return &langfile::LanguageHeader::programVersion;
    case EditField::TranslationVersion:
      return &langfile::LanguageHeader::translationVersion;
    case EditField::Translation:
    case EditField::Date:
    case EditField::Authors:
      break;
  }
  return nullptr;
}

std::vector<std::string> AuthorLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

// "yyyy-mm-dd", strictly: a date of any other shape is no date.
std::optional<std::chrono::year_month_day> DayOf(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  int parts[3] = {};
  const std::pair<std::size_t, std::size_t> spans[3] = {{0, 4}, {5, 2}, {8, 2}};
  for (int i = 0; i < 3; ++i) {
    const auto [start, length] = spans[i];
    const char* first = text.data() + start;
    if (std::from_chars(first, first + length, parts[i]).ptr != first + length)
      return std::nullopt;
  }
  const std::chrono::year_month_day day{std::chrono::year{parts[0]},
                                        std::chrono::month{static_cast<unsigned>(parts[1])},
                                        std::chrono::day{static_cast<unsigned>(parts[2])}};
  if (!day.ok()) return std::nullopt;
  return day;
}

}  // namespace

std::string AuthorsValue(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) (text += line) += '\n';
  return text;
}

Workspace::Workspace(Clock clock) : clock_(std::move(clock)), date_(clock_()) {}

// The stored date is never read: a translation is dated by the day it is
// worked on.
void Workspace::FillHeader(const TCustomIniFile& document) {
  header_ = langfile::ReadHeader(document);
  date_ = clock_();
}

bool Workspace::IsUntranslated(std::size_t row) const {
  return reference_ != nullptr && reference_->Translation(row) == table_.Translation(row);
}

std::string_view Workspace::SourceText(std::size_t row) const {
  return referenceIsSource_ ? reference_->Translation(row) : table_.LoadedTranslation(row);
}

void Workspace::LoadSource(const std::string& fileName) {
  referenceIsSource_ = false;
  destinationFileName_.clear();
  table_.Reset();

  const TMemIniFile document(fileName);
  FillHeader(document);

  // Every key and text of the table is a part of an entry, so the entries'
  // sizes give the stores room enough to be sized once (only a repeated key
  // whose last value is longer than its first can make them grow).
  // A repeated section name is listed once: listing every copy would repeat
  // the last one's entries for each, n copies of k keys making n*k rows out
  // of a file of n+k lines.
  std::vector<std::string> sections;
  {
    THashedStringList listed(document.UpperCase());
    for (std::string& section : langfile::ContentSections(document)) {
      if (listed.IndexOf(section) != THashedStringList::kNotFound) continue;
      listed.Add(section);
      sections.push_back(std::move(section));
    }
  }
  std::size_t bytes = 0;
  std::size_t rows = 2 * sections.size();
  for (const std::string& section : sections) {
    bytes += section.size() + kSectionMarker.size();
    for (std::string_view entry : document.Entries(section)) bytes += entry.size();
    rows += document.Entries(section).size();
  }
  table_.Reset(bytes, bytes, rows);

  for (const std::string& section : sections) {
    table_.AppendSection(section);
    // Found once: a section's name may be as long as a line, and a key that
    // repeats is looked up in it for each of its rows.
    const std::size_t position = document.SectionPosition(section).value();
    const bool repeats = document.NamesRepeat(section);
    // The save sets only the last copy of a repeated key. Listed for each
    // copy, it would show each the same text, and what was typed into an
    // earlier copy would be overwritten by a later one on saving.
    std::optional<THashedStringList> listed;
    if (repeats) listed.emplace(document.UpperCase());
    // Lines without a name all show what the empty name finds: one text,
    // which their rows share rather than copy, however long it is.
    std::optional<std::size_t> nameless;
    for (std::string_view entry : document.EntriesAt(position)) {
      const std::size_t equals = entry.find('=');
      const std::string_view key = equals == std::string_view::npos ? std::string_view()
                                                                      : entry.substr(0, equals);
      if (key.empty()) {
        if (nameless) {
          table_.AppendKeyLike(key, *nameless);
          continue;
        }
        nameless = table_.RowCount() - 1;  // the trailing blank row, which AppendKey fills
        std::string_view value = document.FindValueAt(position, key).value_or(std::string_view());
        table_.AppendKey(key, ProcFunc::UnwrappedPart(value));
      } else if (!repeats) {
        table_.AppendKey(key, ProcFunc::UnwrappedPart(entry.substr(equals + 1)));
      } else if (listed->IndexOf(key) == THashedStringList::kNotFound) {
        listed->Add(std::string(key));
        // Spelled as the copy that lookups reach, the one the save sets: an
        // untouched entry must keep its letter case.
        const std::string_view reached = *document.FindEntryAt(position, key);
        table_.AppendKey(reached.substr(0, key.size()),
                         ProcFunc::UnwrappedPart(reached.substr(key.size() + 1)));
      }
    }
  }
}

std::unique_ptr<TMemIniFile> Workspace::MergeDestination(const std::string& fileName) {
  // The old reference goes first; should the destination prove unreadable,
  // only the header row's reference is left.
  auto heading = std::make_shared<TextStore>(kTranslationHeading);
  reference_ = std::make_unique<ReferenceTable>(heading);
  reference_->Append(TextSpan{0, static_cast<std::uint32_t>(heading->size())});

  auto read = std::make_unique<TMemIniFile>(fileName);
  const TMemIniFile& document = *read;
  FillHeader(document);

  auto built = std::make_unique<ReferenceTable>(table_.Store());
  built->Reserve(table_.RowCount());
  // The destination's text goes into the table and the text it replaced into
  // the reference; where they agree both hold the same. Text typed into a
  // blank or marker row moves out of the table this way too.
  auto settle = [&](std::size_t row, std::string_view text) {
    built->Append(text == table_.Translation(row) ? table_.SettleTranslation(row)
                                                  : table_.ReplaceTranslation(row, text));
  };

  // Each section is found once, not for each of its keys: its name may be
  // as long as a line.
  std::optional<std::size_t> section;
  for (std::size_t row = 0; row < table_.RowCount(); ++row) {
    switch (table_.Kind(row)) {
      case RowKind::Header:
        settle(row, kTranslationHeading);
        break;
      case RowKind::Section:
        section = document.SectionPosition(table_.SectionName(row));
        settle(row, {});
        break;
      case RowKind::Key:
        if (auto value = section ? document.FindValueAt(*section, table_.Key(row))
                                 : std::nullopt) {
          settle(row, ProcFunc::UnwrappedPart(*value));
        } else {
          built->Append(table_.SettleTranslation(row));
        }
        break;
      case RowKind::Blank:
        settle(row, {});
        break;
    }
  }
  reference_ = std::move(built);
  referenceIsSource_ = true;
  return read;
}

std::unique_ptr<TMemIniFile> Workspace::StartDestination(const std::string& fileName) {
  destinationFileName_ = fileName;
  std::optional<langfile::LanguageHeader> sourceHeader;
  if (!platform::FileExists(fileName) && !platform::CopyFile(sourceFileName_, fileName))
    sourceHeader = header_;
  auto merged = MergeDestination(fileName);
  if (sourceHeader) header_ = std::move(*sourceHeader);
  return merged;
}

void Workspace::Save(const std::string& fileName, std::unique_ptr<TMemIniFile> merged) {
  if (!merged) merged = std::make_unique<TMemIniFile>(fileName);
  TMemIniFile& document = *merged;
  langfile::WriteHeader(document, header_,
                        std::chrono::year_month_day{
                            std::chrono::floor<std::chrono::days>(date_)});

  // Rows go to the document a run at a time, each run within one section.
  constexpr std::size_t kRun = 64;
  std::vector<std::string> wrapped(kRun);
  std::vector<TMemIniFile::Setting> run;
  run.reserve(kRun);
  std::string_view section;
  // Found at the section's first run, not at each: its name may be as long
  // as a line. A section without key rows adds nothing to the document.
  constexpr std::size_t kNotFoundYet = static_cast<std::size_t>(-1);
  std::size_t position = kNotFoundYet;
  auto flush = [&] {
    if (run.empty()) return;
    if (position == kNotFoundYet) position = document.SectionPositionToSet(section);
    document.SetValuesAt(position, run);
    run.clear();
  };
  for (std::size_t row = 1; row < table_.RowCount(); ++row) {
    switch (table_.Kind(row)) {
      case RowKind::Section:
        flush();
        section = table_.SectionName(row);
        position = kNotFoundYet;
        break;
      case RowKind::Key: {
        std::string& value = wrapped[run.size()];
        ProcFunc::Wrap(table_.Translation(row), value);
        run.push_back({table_.Key(row), value});
        if (run.size() == kRun) flush();
        break;
      }
      case RowKind::Header:
      case RowKind::Blank:
        break;
    }
  }
  flush();
  document.WriteBack();
  SetModified(false);
}

std::string Workspace::Value(const EditTarget& target) const {
  switch (target.field) {
    case EditField::Translation:
      return target.row < table_.RowCount() ? std::string(table_.Translation(target.row))
                                            : std::string();
    case EditField::Date:
      return langfile::FormatDate(
          std::chrono::year_month_day{std::chrono::floor<std::chrono::days>(date_)});
    case EditField::Authors:
      return AuthorsValue(header_.authors);
    default:
      return header_.*TextField(target.field);
  }
}

void Workspace::Edit(const EditTarget& target, std::string text) {
  // One list of lines has one value: "a" is the line "a\n".
  if (target.field == EditField::Authors) text = AuthorsValue(AuthorLines(text));
  std::string before = Value(target);
  if (text == before) return;
  std::string_view after;
  switch (target.field) {
    case EditField::Translation:
      // Row 0 is the heading, not a translation.
      if (target.row == 0 || target.row >= table_.RowCount()) return;
      table_.SetTranslation(target.row, std::move(text));
      after = table_.Translation(target.row);
      break;
    case EditField::Date: {
      const auto day = DayOf(text);
      if (!day) return;
      const auto timeOfDay = date_ - std::chrono::floor<std::chrono::days>(date_);
      date_ = std::chrono::local_days{*day} + timeOfDay;
      after = text;
      break;
    }
    case EditField::Authors:
      header_.authors = AuthorLines(text);
      after = text;
      break;
    default: {
      std::string& stored = header_.*TextField(target.field);
      stored = std::move(text);
      after = stored;
      break;
    }
  }
  SetModified(true);
  const EditEvent event{target, before, after};
  // A listener added by another one hears the next edit, not this one; the
  // deque keeps the running one where it is meanwhile.
  for (std::size_t i = 0, count = editListeners_.size(); i < count; ++i)
    if (editListeners_[i]) editListeners_[i](event);
}

std::size_t Workspace::OnEdited(EditListener listener) {
  editListeners_.push_back(std::move(listener));
  return editListeners_.size() - 1;
}

void Workspace::RemoveEditListener(std::size_t handle) {
  if (handle < editListeners_.size()) editListeners_[handle] = nullptr;
}

void Workspace::SetModified(bool modified) {
  if (modified == modified_) return;
  modified_ = modified;
  if (modifiedListener_) modifiedListener_(modified_);
}

}  // namespace workspace
