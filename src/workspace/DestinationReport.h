#pragma once

// How far a translation is and what the checks find in it, told without a
// window: what the command line prints for each of many destinations. The
// counts and findings are those the window shows after an Open of the same
// two files, but the source's table is loaded once and each destination only
// looked up in, never merged into a table of its own.

#include <cstddef>
#include <vector>

#include "langfile/LanguageFile.h"
#include "langfile/TMemIniFile.h"
#include "workspace/Checks.h"
#include "workspace/TranslationTable.h"

namespace workspace {

class Speller;

struct ReportedFinding {
  std::size_t row = 0;   // in the source's table
  std::size_t line = 0;  // where the key stands in the destination, from 1
  Finding finding;
};

struct DestinationReport {
  langfile::LanguageHeader header;  // the destination's
  std::size_t entries = 0;          // key rows, as the status line counts them
  std::size_t untranslated = 0;
  std::vector<ReportedFinding> findings;
};

// `source` is a table as LoadSource left it, with no merge since.
// `destination` is a document as read. Findings are only looked for when
// `check` is set; `speller` may be null.
DestinationReport ReportOn(const TranslationTable& source, const TMemIniFile& destination,
                           bool check, const Speller* speller);

}  // namespace workspace
