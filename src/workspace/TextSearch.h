#pragma once

// Finding text in the table the way a translator looks for it: in a row's
// key, its translation and its source text, letter case aside by the code
// page's own rules, so "Č" finds "č" in a Central European file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"

namespace workspace {

class Workspace;

class RowMatcher {
 public:
  RowMatcher(std::string_view needle, platform::CodePage codePage);

  // An empty needle finds nothing.
  bool Empty() const { return needle_.empty(); }
  bool Contains(std::string_view text) const;
  // Whether `row` is a key row whose key, translation or source text
  // contains the needle.
  bool Matches(const Workspace& workspace, std::size_t row) const;

 private:
  std::string needle_;  // upper-cased
  const platform::CaseTable* upper_;
};

// The rows a translator still has work in, in table order: every untranslated
// key row, with the marker and the blank rows of each section that holds
// one; rows above the first section unless they are translated keys.
std::vector<std::uint32_t> RowsLeftToTranslate(const Workspace& workspace);

}  // namespace workspace
