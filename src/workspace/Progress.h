#pragma once

// How far a translation is: its key rows, and how many of them are still
// untranslated by the rule the grid paints maroon. Kept in step edit by edit,
// so a keystroke in a table of a million rows does not recount it.

#include <cstddef>
#include <string>

#include "workspace/Edit.h"

namespace workspace {

class Workspace;

class Progress {
 public:
  Progress() = default;
  // Counts made elsewhere, for their text.
  Progress(std::size_t entries, std::size_t untranslated)
      : entries_(entries), untranslated_(untranslated) {}

  // Counts the table again: after a load, a merge or a save.
  void Recount(const Workspace& workspace);
  // Takes in one edit the workspace has just made. O(1) in the table's size.
  void Apply(const Workspace& workspace, const EditEvent& edit);

  std::size_t Entries() const { return entries_; }
  std::size_t Untranslated() const { return untranslated_; }
  std::size_t Translated() const { return entries_ - untranslated_; }
  // The share translated, in whole percent rounded down: 100 only when
  // nothing is left; 0 for no entries.
  std::size_t Percent() const { return entries_ == 0 ? 0 : Translated() * 100 / entries_; }

  // "1,204 entries: 892 translated, 312 untranslated (74%)". The share is
  // rounded down, so 100% means nothing is left.
  std::string Text() const;

 private:
  std::size_t entries_ = 0;
  std::size_t untranslated_ = 0;
};

// `number` with a comma between each group of three digits.
std::string GroupedNumber(std::size_t number);

}  // namespace workspace
