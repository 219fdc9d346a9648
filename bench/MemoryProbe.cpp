#include "MemoryProbe.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "Session.h"

namespace bench {

namespace {

constexpr const char* kProbeFlag = "--memory-probe";

// A "VmRSS:" or "VmHWM:" line of /proc/self/status, in bytes.
std::size_t StatusBytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t length = std::strlen(field);
  while (std::getline(status, line)) {
    if (line.compare(0, length, field) == 0) {
      return std::stoull(line.substr(length)) * 1024;  // the kernel counts in kB
    }
  }
  return 0;
}

}  // namespace

bool RunProbeIfAsked(int argc, char** argv, int& exitCode) {
  if (argc != 4 || std::strcmp(argv[1], kProbeFlag) != 0) return false;
  const std::size_t baseline = StatusBytes("VmRSS:");
  const std::optional<double> seconds = TimeSession(argv[2], argv[3]);
  exitCode = seconds ? 0 : 1;
  std::printf("%zu %zu %.9f\n", baseline, StatusBytes("VmHWM:"), seconds.value_or(0));
  return true;
}

std::optional<SessionFigures> MeasureSessionInChild(const std::string& executable,
                                                    const std::string& source,
                                                    const std::string& destination) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return std::nullopt;
  const pid_t child = fork();
  if (child < 0) {
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return std::nullopt;
  }
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    execl(executable.c_str(), executable.c_str(), kProbeFlag, source.c_str(),
          destination.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeEnds[1]);
  std::string answer;
  char buffer[256];
  ssize_t got;
  while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) answer.append(buffer, got);
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;

  SessionFigures figures;
  if (std::sscanf(answer.c_str(), "%zu %zu %lf", &figures.baselineBytes, &figures.peakBytes,
                  &figures.seconds) != 3) {
    return std::nullopt;
  }
  return figures;
}

}  // namespace bench
