#pragma once

// The command line for whole folders of translations: how far each is, what
// the checks find in each, and bringing each up to date with a new source,
// with the same core as the window, so the two never disagree.

#include <ostream>
#include <span>
#include <string>

#include "workspace/Workspace.h"

namespace cli {

struct Environment {
  // The version text that --version prints, as the window's caption shows
  // it ("1.00 (build 2)"); empty when the executable carries none.
  std::string version;
  // Where an update's "today" comes from; tests fix it.
  workspace::Workspace::Clock clock = &platform::LocalNow;
};

inline constexpr int kExitClean = 0;
inline constexpr int kExitFindings = 1;
inline constexpr int kExitError = 2;

// Runs the command line `arguments` (without the program's name), writing
// results to `out` and errors to `err`. Returns the exit status: 0, 1 when
// check found something, 2 on a usage or file error (after doing what it
// could for the other files).
int Run(std::span<const std::string> arguments, std::ostream& out, std::ostream& err,
        const Environment& environment);

}  // namespace cli
