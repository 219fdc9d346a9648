#include "platform/SpecialFolders.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include <dirent.h>

#include <pwd.h>
#include <unistd.h>

#include "platform/FileNames.h"
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

// The entry of `folder` named `name`, or one whose name differs only in
// letter case when no entry has the exact name; `name` when neither exists.
std::string EntryNamed(const std::string& folder, const std::string& name) {
  if (name.empty() || name == "." || name == ".." || DirectoryExists(Joined(folder, name)) ||
      FileExists(Joined(folder, name)))
    return name;
  DIR* entries = ::opendir(folder.c_str());
  if (entries == nullptr) return name;
  std::string found = name;
  while (const dirent* entry = ::readdir(entries)) {
    if (SameFileNameIgnoringCase(entry->d_name, name)) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(entries);
  return found;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::string WinePrefixFolder() { return WinePrefix(); }

std::string UserStateFolder() {
  constexpr const char* kProgramFolder = "orvane-translator/";
  std::string state = Environment("XDG_STATE_HOME");
  if (!state.empty() && state.front() == '/') return Joined(state, kProgramFolder);
  std::string home = HomeFolder();
  return home.empty() ? std::string() : Joined(Joined(home, ".local/state"), kProgramFolder);
}

bool IsWindowsPath(const std::string& path) {
  return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

std::string UnixPathOf(const std::string& windowsPath, const std::string& winePrefix) {
  if (!IsWindowsPath(windowsPath)) return windowsPath;
  const char drive = static_cast<char>(windowsPath[0] | 0x20);  // Wine's links are lower case
  std::string path = Joined(winePrefix, std::string("dosdevices/") + drive + ':');
  std::size_t start = 2;
  while (start <= windowsPath.size()) {
    std::size_t end = windowsPath.find_first_of("\\/", start);
    if (end == std::string::npos) end = windowsPath.size();
    const std::string name = windowsPath.substr(start, end - start);
    if (!name.empty()) path = Joined(path, EntryNamed(path, name));
    start = end + 1;
  }
  return path;
}

std::string DisplayPathOf(const std::string& path, const std::string& winePrefix) {
  if (winePrefix.empty()) return path;
  std::string prefix = winePrefix;
  while (!prefix.empty() && prefix.back() == '/') prefix.pop_back();
  const std::string driveC = prefix + "/drive_c";
  const std::string devices = prefix + "/dosdevices/";
  char drive = 0;
  std::size_t start = 0;  // of the path within the drive
  if (path.starts_with(driveC)) {
    drive = 'C';
    start = driveC.size();
  } else if (path.starts_with(devices) && IsWindowsPath(path.substr(devices.size(), 2))) {
    drive = static_cast<char>(path[devices.size()] & ~0x20);
    start = devices.size() + 2;
  }
  // "drive_c2" is no drive, and "c::" is Wine's link to the raw device.
  if (drive == 0 || (start < path.size() && path[start] != '/')) return path;
  std::string shown{drive, ':', '\\'};
  for (std::size_t i = start; i < path.size(); ++i) {
    if (path[i] != '/') shown += path[i];
    else if (shown.back() != '\\') shown += '\\';
  }
  return shown;
}

std::string CommonAppDataFolder() {
  std::string prefix = WinePrefix();
  if (prefix.empty()) return {};
  std::string folder = Joined(prefix, "drive_c/ProgramData/");
  return DirectoryExists(folder) ? folder : std::string();
}

std::string DisplayPath(const std::string& path) {
  std::string prefix = WinePrefixFolder();
  if (!prefix.empty()) prefix = FullPathName(prefix);
  return DisplayPathOf(path, prefix);
}

}  // namespace platform
