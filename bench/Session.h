#pragma once

// A translation session as the program runs it, without the window: load
// the source, merge the destination, save into the destination.

#include <optional>
#include <string>

#include "workspace/Workspace.h"

namespace bench {

// The clock every benchmark uses, so that saves write the same date.
platform::LocalDateTime FixedNow();

void RunSession(workspace::Workspace& workspace, const std::string& source,
                const std::string& destination);
// The same with a workspace of its own: the seconds from the session's start
// to the end of its save, or nothing when a file error escaped.
std::optional<double> TimeSession(const std::string& source, const std::string& destination);

}  // namespace bench
