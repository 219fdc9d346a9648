#pragma once

// Between the workspace's edits and the recovery journal: which edits the
// journal keeps, by what names, and how a journal's edits are put back.

#include <optional>
#include <string>
#include <vector>

#include "workspace/RecoveryJournal.h"
#include "workspace/Workspace.h"

namespace workspace {

// The journal's record of `edit`: a translation by its section and key,
// since row numbers change when the source gains keys. Nothing for a row a
// save never writes (the heading, blank and section rows).
std::optional<JournalEdit> JournalEditOf(const Workspace& workspace, const EditEvent& edit);

// Puts `edits` into the workspace as the translator's edits, in their order.
// Returns "[section] key" for each translation whose key the table no longer
// has, once each, in the order of section and key.
std::vector<std::string> Restore(Workspace& workspace, const std::vector<JournalEdit>& edits);

}  // namespace workspace
