#include "platform/SpecialFolders.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <unistd.h>

#include "platform/FileSystem.h"

namespace platform {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// The home folder the user database gives for this user: what a login would
// have put in $HOME, for processes started without one.
std::string HomeFromUserDatabase() {
  long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
  for (;;) {
    passwd entry{};
    passwd* found = nullptr;
    int error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
    if (error == ERANGE && buffer.size() < (std::size_t{1} << 20)) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    return error == 0 && found != nullptr && found->pw_dir != nullptr ? found->pw_dir : "";
  }
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  return home.empty() ? HomeFromUserDatabase() : home;
}

// `folder` and `name` joined by exactly one '/', however many `folder` ends
// with: users set WINEPREFIX with a trailing '/' as often as without.
std::string Joined(std::string folder, const std::string& name) {
  while (!folder.empty() && folder.back() == '/') folder.pop_back();
  return folder + '/' + name;
}

// Where Wine itself would look, in the same order.
std::string WinePrefix() {
  std::string prefix = Environment("WINEPREFIX");
  if (!prefix.empty()) return prefix;
  std::string home = HomeFolder();
  return home.empty() ? std::string() : Joined(home, ".wine");
}

}  // namespace

std::string CommonAppDataFolder() {
  std::string prefix = WinePrefix();
  if (prefix.empty()) return {};
  std::string folder = Joined(prefix, "drive_c/ProgramData/");
  return DirectoryExists(folder) ? folder : std::string();
}

}  // namespace platform
