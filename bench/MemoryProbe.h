#pragma once

// Peak memory and time of a translation session, measured in a process of
// its own so that nothing the benchmarks allocated before (and the allocator
// kept) hides or inflates them: the session meets the process as a
// translator's first Open after starting the program does.

#include <cstddef>
#include <optional>
#include <string>

namespace bench {

struct SessionFigures {
  std::size_t baselineBytes = 0;  // resident when the session starts
  std::size_t peakBytes = 0;      // highest resident size during it
  double seconds = 0;             // from its start to the end of its save
};

// Runs `executable` with the probe's arguments and reads its answer;
// nothing when it fails.
std::optional<SessionFigures> MeasureSessionInChild(const std::string& executable,
                                                    const std::string& source,
                                                    const std::string& destination);

// Whether `argv` asks for the probe; if so, runs it and sets `exitCode`.
bool RunProbeIfAsked(int argc, char** argv, int& exitCode);

}  // namespace bench
