#include "Session.h"

#include <chrono>
#include <cstdio>
#include <exception>

namespace bench {

platform::LocalDateTime FixedNow() {
  using namespace std::chrono;
  return local_days{year{2026} / December / 8} + hours{9};
}

void RunSession(workspace::Workspace& workspace, const std::string& source,
                const std::string& destination) {
  workspace.LoadSource(source);
  workspace.SetDestinationFileName(destination);
  // As the Open command does it: the save takes the document the merge read.
  workspace.Save(destination, workspace.MergeDestination(destination));
}

std::optional<double> TimeSession(const std::string& source, const std::string& destination) {
  try {
    const auto start = std::chrono::steady_clock::now();
    workspace::Workspace workspace(&FixedNow);
    RunSession(workspace, source, destination);
    // Taken before the workspace goes: the window keeps it after the save.
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return std::nullopt;
  }
}

}  // namespace bench
