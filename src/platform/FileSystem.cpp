#include "platform/FileSystem.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// The texts our error messages carry are the system's English ones: the
// program may run under any locale, and its messages must not depend on
// which translations of the C library happen to be installed.
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

}  // namespace

bool FileExists(const std::string& name) {
  struct stat info {};
  return !name.empty() && stat(name.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

int LookUpError(const std::string& name) {
  struct stat info {};
  if (stat(name.c_str(), &info) == 0 || errno == ENOENT || errno == ENOTDIR) return 0;
  return errno;
}

bool DirectoryExists(const std::string& name) {
  struct stat info {};
  return !name.empty() && stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsWritableFolder(const std::string& name) {
  return DirectoryExists(name) && access(name.c_str(), W_OK) == 0;
}

std::string FullPathName(const std::string& name) {
  if (name.empty()) return name;
  std::string path = name;
  if (path.front() != '/') {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr && errno == ERANGE) {
      buffer.resize(buffer.size() * 2);
    }
    path = std::string(buffer.data()) + "/" + path;
  }
  std::vector<std::string_view> parts;
  std::string_view rest(path);
  while (!rest.empty()) {
    std::string_view::size_type slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string full;
  for (std::string_view part : parts) {
    full += '/';
    full += part;
  }
  return full.empty() ? "/" : full;
}

std::string ErrorText(int errorNumber) {
  std::string text = strerror_l(errorNumber, CLocale());
  while (!text.empty() &&
         (static_cast<unsigned char>(text.back()) <= 32 || text.back() == '.')) {
    text.pop_back();
  }
  return text;
}

bool SameFile(const std::string& first, const std::string& second) {
  struct stat a {}, b {};
  return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
         a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool CopyFile(const std::string& from, const std::string& to) {
  std::string bytes;
  return ReadWholeFile(from, bytes).ok && ReplaceFileContents(to, bytes).ok();
}

}  // namespace platform

