#include "Session.h"

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

bool RunSession(const std::string& source, const std::string& destination) {
  try {
    workspace::Workspace workspace(&FixedNow);
    RunSession(workspace, source, destination);
    return true;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return false;
  }
}

}  // namespace bench
