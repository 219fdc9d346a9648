#include "langfile/LanguageFile.h"

#include <cstdio>

#include "langfile/ProcFunc.h"

namespace langfile {

LanguageHeader ReadHeader(const TCustomIniFile& document) {
  LanguageHeader header;
  header.tag = document.GetValue(kHeaderSection, kTagKey, "");
  header.name = document.GetValue(kHeaderSection, kNameKey, "");
  header.programVersion = document.GetValue(kHeaderSection, kProgramVersionKey, "");
  header.translationVersion = document.GetValue(kHeaderSection, kTranslationVersionKey, "");

  TStringList keys;
  document.GetKeys(kHeaderSection, keys);
  for (const std::string& key : keys) {
    if (!IsAuthorKey(key)) continue;
    std::string author = document.GetValue(kHeaderSection, key, "");
    if (!author.empty()) header.authors.push_back(std::move(author));
  }
  return header;
}

void WriteHeader(TCustomIniFile& document, const LanguageHeader& header,
                 std::chrono::year_month_day date) {
  document.SetValue(kHeaderSection, kTagKey, header.tag);
  document.SetValue(kHeaderSection, kNameKey, header.name);
  document.SetValue(kHeaderSection, kProgramVersionKey, header.programVersion);
  document.SetValue(kHeaderSection, kTranslationVersionKey, header.translationVersion);
  document.SetValue(kHeaderSection, kDateKey, FormatDate(date));
  for (std::size_t line = 0; line < header.authors.size(); ++line) {
    if (header.authors[line].empty()) continue;
    document.SetValue(kHeaderSection, AuthorKeyName(line), header.authors[line]);
  }
}

std::vector<std::string> ContentSections(const TCustomIniFile& document) {
  TStringList sections;
  document.GetSections(sections);
  std::vector<std::string> content;
  content.reserve(sections.size());
  for (const std::string& section : sections) {
    if (section != kHeaderSection) content.push_back(section);
  }
  return content;
}

bool IsAuthorKey(std::string_view key) { return key.find("autor") != std::string_view::npos; }

std::string AuthorKeyName(std::size_t lineIndex) {
  std::string number = std::to_string(lineIndex + 1);
  if (number.size() < 2) number = ProcFunc::Pad(number, '0', 'R', 2);
  return "autor" + number;
}

std::string FormatDate(std::chrono::year_month_day date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

}  // namespace langfile
