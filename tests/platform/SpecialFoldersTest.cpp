// The sibling programs' shared-data folder inside the Wine prefix.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "platform/SpecialFolders.h"
#include "support/TestSupport.h"

namespace {

using platform::CommonAppDataFolder;
using testsupport::TempDir;

// Sets or removes one environment variable for the life of the object, and
// then puts back whatever was there.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnvironment() { Set(old_); }

 private:
  void Set(const std::optional<std::string>& value) {
    value ? setenv(name_, value->c_str(), 1) : unsetenv(name_);
  }
  const char* name_;
  std::optional<std::string> old_;
};

TEST(CommonAppDataFolder, IsProgramDataInTheWinePrefixOnlyWhileItIsAFolder) {
  TempDir prefix;
  ScopedEnvironment wine("WINEPREFIX", prefix.path());
  EXPECT_EQ(CommonAppDataFolder(), "");
  std::filesystem::create_directories(prefix / "drive_c");
  testsupport::WriteFile(prefix / "drive_c/ProgramData", "a file");
  EXPECT_EQ(CommonAppDataFolder(), "");

  std::filesystem::remove(prefix / "drive_c/ProgramData");
  std::filesystem::create_directories(prefix / "drive_c/ProgramData");
  for (const std::string& written : {prefix.path(), prefix / "", prefix / "/"}) {
    ScopedEnvironment trailing("WINEPREFIX", written);
    EXPECT_EQ(CommonAppDataFolder(), prefix / "drive_c/ProgramData/") << written;
  }

  struct BackToPreviousFolder {
    std::filesystem::path folder = std::filesystem::current_path();
    ~BackToPreviousFolder() { std::filesystem::current_path(folder); }
  } restore;
  std::filesystem::current_path(prefix / "drive_c");
  ScopedEnvironment relative("WINEPREFIX", "..");
  EXPECT_EQ(CommonAppDataFolder(), "../drive_c/ProgramData/");
}

TEST(CommonAppDataFolder, WithoutAPrefixLooksInTheHomeFolder) {
  TempDir home;
  std::filesystem::create_directories(home / ".wine/drive_c/ProgramData");
  ScopedEnvironment homeVariable("HOME", home / "");
  for (const std::optional<std::string>& prefix : {std::optional<std::string>(), {""}}) {
    ScopedEnvironment wine("WINEPREFIX", prefix);
    EXPECT_EQ(CommonAppDataFolder(), home / ".wine/drive_c/ProgramData/");
  }
}

}  // namespace
