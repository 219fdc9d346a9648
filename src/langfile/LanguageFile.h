#pragma once

// The layout of a language file on top of the INI document: the header block
// "-main-" that describes the translation, the content sections that hold
// the translated texts, and the names of the author keys.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "langfile/TMemIniFile.h"

namespace langfile {

// The header block's section name. Only a section stored under exactly this
// name is the header block; "-MAIN-" is a content section, even though
// header lookups, which ignore letter case, also find it.
inline constexpr std::string_view kHeaderSection = "-main-";

inline constexpr std::string_view kTagKey = "tag";
inline constexpr std::string_view kNameKey = "name";
inline constexpr std::string_view kProgramVersionKey = "ProgramVersion";
inline constexpr std::string_view kTranslationVersionKey = "TranslationVersion";
inline constexpr std::string_view kDateKey = "date";

// What the header block says about a translation, as plain stored text.
struct LanguageHeader {
  std::string tag;
  std::string name;
  std::string programVersion;
  std::string translationVersion;
  std::vector<std::string> authors;  // one line per author

  bool operator==(const LanguageHeader&) const = default;
};

// Header values are read as stored, without unwrapping; missing keys read as
// empty text. The date is never read: it is the day of the editing.
LanguageHeader ReadHeader(const TCustomIniFile& document);

// Writes "tag", "name", "ProgramVersion", "TranslationVersion", "date" and
// then the author keys, in that order, into the header block of `document`.
// Author line i (from 0) goes to AuthorKeyName(i); empty lines are skipped
// but use up their number. Author keys beyond those written stay as they are.
void WriteHeader(TCustomIniFile& document, const LanguageHeader& header,
                 std::chrono::year_month_day date);

// Names of all sections but the header block, in document order.
std::vector<std::string> ContentSections(const TCustomIniFile& document);

// A key of the header block names an author when it holds "autor" anywhere,
// in exactly that letter case.
bool IsAuthorKey(std::string_view key);

// "autor" and the line's number from 1, with at least two digits: "autor01",
// "autor99", "autor100". Numbers are never cut, so a long list of authors
// never overwrites its own first lines.
std::string AuthorKeyName(std::size_t lineIndex);

// "yyyy-mm-dd", whatever the user's locale.
std::string FormatDate(std::chrono::year_month_day date);

}  // namespace langfile
