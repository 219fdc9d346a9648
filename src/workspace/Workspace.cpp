#include "workspace/Workspace.h"

#include <string>
#include <utility>
#include <vector>

#include "langfile/ProcFunc.h"
#include "langfile/TMemIniFile.h"

namespace workspace {

namespace {

void FillHeader(HeaderFields& header, const TCustomIniFile& document,
                platform::LocalDateTime now) {
  static_cast<langfile::LanguageHeader&>(header) = langfile::ReadHeader(document);
  // The stored date is never read: a translation is dated by the day it is
  // worked on.
  header.date = now;
}

}  // namespace

Workspace::Workspace(Clock clock) : clock_(std::move(clock)) { header_.date = clock_(); }

bool Workspace::IsUntranslated(std::size_t row) const {
  return reference_ != nullptr && reference_->Translation(row) == table_.Translation(row);
}

void Workspace::LoadSource(const std::string& fileName) {
  destinationFileName_.clear();
  table_.Reset();

  const TMemIniFile document(fileName);
  FillHeader(header_, document, clock_());

  // Every key and text of the table is a part of an entry, so the entries'
  // sizes give the stores room enough to be sized once (only a repeated key
  // whose last value is longer than its first can make them grow).
  const std::vector<std::string> sections = langfile::ContentSections(document);
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
    const bool repeats = document.NamesRepeat(section);
    for (std::string_view entry : document.Entries(section)) {
      const std::size_t equals = entry.find('=');
      if (equals != std::string_view::npos && !repeats) {
        table_.AppendKey(entry.substr(0, equals), ProcFunc::UnwrappedPart(entry.substr(equals + 1)));
        continue;
      }
      // A text without "=" has no name, as GetKeys would list it; looked up
      // by name, a key that repeats shows its last value.
      const std::string_view key = equals == std::string_view::npos ? std::string_view()
                                                                      : entry.substr(0, equals);
      std::string_view value = document.FindValue(section, key).value_or(std::string_view());
      table_.AppendKey(key, ProcFunc::UnwrappedPart(value));
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
  FillHeader(header_, document, clock_());

  auto built = std::make_unique<ReferenceTable>(table_.Store());
  built->Reserve(table_.RowCount());
  // The destination's text goes into the table and the text it replaced into
  // the reference; where they agree both hold the same. Text typed into a
  // blank or marker row moves out of the table this way too.
  auto settle = [&](std::size_t row, std::string_view text) {
    built->Append(text == table_.Translation(row) ? table_.SettleTranslation(row)
                                                  : table_.ReplaceTranslation(row, text));
  };

  std::string_view section;
  for (std::size_t row = 0; row < table_.RowCount(); ++row) {
    switch (table_.Kind(row)) {
      case RowKind::Header:
        settle(row, kTranslationHeading);
        break;
      case RowKind::Section:
        section = table_.SectionName(row);
        settle(row, {});
        break;
      case RowKind::Key:
        if (auto value = document.FindValue(section, table_.Key(row))) {
          settle(row, ProcFunc::UnwrappedPart(*value));
        } else {
          // The row keeps its own text, as it stands.
          built->Append(table_.SettleTranslation(row));
        }
        break;
      case RowKind::Blank:
        settle(row, {});
        break;
    }
  }
  reference_ = std::move(built);
  return read;
}

void Workspace::Save(const std::string& fileName, std::unique_ptr<TMemIniFile> merged) {
  if (!merged) merged = std::make_unique<TMemIniFile>(fileName);
  TMemIniFile& document = *merged;
  langfile::WriteHeader(document, header_,
                        std::chrono::year_month_day{
                            std::chrono::floor<std::chrono::days>(header_.date)});

  // Rows go to the document a run at a time, each run within one section.
  constexpr std::size_t kRun = 64;
  std::vector<std::string> wrapped(kRun);
  std::vector<TMemIniFile::Setting> run;
  run.reserve(kRun);
  std::string_view section;
  auto flush = [&] {
    document.SetValues(section, run);
    run.clear();
  };
  for (std::size_t row = 1; row < table_.RowCount(); ++row) {
    switch (table_.Kind(row)) {
      case RowKind::Section:
        flush();
        section = table_.SectionName(row);
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

void Workspace::SetModified(bool modified) {
  if (modified == modified_) return;
  modified_ = modified;
  if (modifiedListener_) modifiedListener_(modified_);
}

}  // namespace workspace
