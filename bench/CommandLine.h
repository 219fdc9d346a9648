#pragma once

namespace bench {

// Registers the command line's benchmarks: stats and check over a folder of
// translations, and reading the same files as their reference. Files are
// made on first use in a folder of their own, removed at exit.
void RegisterCommandLine();

}  // namespace bench
