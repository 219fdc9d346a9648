#pragma once

// Small helpers for tests that touch the disk.

#include <ftw.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

namespace testsupport {

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it.
class TempDir {
 public:
  TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/orvane-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    // Folders a test made unwritable must be opened up before removal.
    nftw(path_.c_str(), [](const char* p, const struct stat* s, int type, FTW*) {
      if (type == FTW_D) chmod(p, s->st_mode | S_IRWXU);
      return 0;
    }, 16, FTW_PHYS);
    nftw(path_.c_str(), [](const char* p, const struct stat*, int, FTW*) {
      remove(p);
      return 0;
    }, 16, FTW_DEPTH | FTW_PHYS);
  }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + name);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + name);
}

inline mode_t ModeOf(const std::string& name) {
  struct stat info {};
  if (stat(name.c_str(), &info) != 0) return 0;
  return info.st_mode & 07777;
}

// Sets or removes one environment variable for the life of the object, and
// then puts back whatever was there.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() { Set(old_); }

 private:
  void Set(const std::optional<std::string>& value) {
    value ? setenv(name_, value->c_str(), 1) : unsetenv(name_);
  }
  const char* name_;
  std::optional<std::string> old_;
};

enum class As { ThisUser, Unprivileged };

// Runs `body` in a child process and returns its exit code, or -1 when the
// child died: for tests that change limits of the process or its user. With
// As::Unprivileged, root first becomes the user "nobody", so that a test of
// permissions means the same for root and for anyone else; a folder the child
// must write in then has to be opened up for it.
inline int RunInChild(const std::function<int()>& body, As as = As::ThisUser) {
  pid_t child = fork();
  if (child == 0) {
    if (as == As::Unprivileged && geteuid() == 0 &&
        (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
      _exit(98);
    }
    int code = 97;
    try {
      code = body();
    } catch (...) {
    }
    _exit(code);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport
