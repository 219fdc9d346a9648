#pragma once

// Peak memory of a translation session, measured in a process of its own so
// that nothing the benchmarks allocated before (and the allocator kept)
// hides or inflates it.

#include <cstddef>
#include <optional>
#include <string>

namespace bench {

struct MemoryFigures {
  std::size_t baselineBytes = 0;  // resident when the session starts
  std::size_t peakBytes = 0;      // highest resident size during it
};

// Runs `executable` with the probe's arguments and reads its answer;
// nothing when it fails.
std::optional<MemoryFigures> MeasureSessionInChild(const std::string& executable,
                                                   const std::string& source,
                                                   const std::string& destination);

// Whether `argv` asks for the probe; if so, runs it and sets `exitCode`.
bool RunProbeIfAsked(int argc, char** argv, int& exitCode);

}  // namespace bench
