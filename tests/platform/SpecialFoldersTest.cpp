// The sibling programs' shared-data folder inside the Wine prefix.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/SpecialFolders.h"
#include "support/TestSupport.h"

namespace {

using platform::CommonAppDataFolder;
using platform::UnixPathOf;
using platform::UserStateFolder;
using testsupport::TempDir;

using testsupport::ScopedEnvironment;

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

// The XDG rule: an absolute $XDG_STATE_HOME, else ~/.local/state.
TEST(UserStateFolder, IsInAnAbsoluteXdgStateHomeElseInTheHomeFolder) {
  ScopedEnvironment home("HOME", "/home/ann/");
  ScopedEnvironment state("XDG_STATE_HOME", "/var/state//");
  EXPECT_EQ(UserStateFolder(), "/var/state/orvane-translator/");
  for (const std::optional<std::string>& ignored :
       {std::optional<std::string>(), {""}, {"state"}, {"./state"}, {"~/state"}}) {
    ScopedEnvironment unused("XDG_STATE_HOME", ignored);
    EXPECT_EQ(UserStateFolder(), "/home/ann/.local/state/orvane-translator/")
        << ignored.value_or("unset");
  }
}

TEST(UserStateFolder, WithoutHomeAsksTheUserDatabase) {
  ScopedEnvironment state("XDG_STATE_HOME", std::nullopt);
  const passwd* user = getpwuid(getuid());
  ASSERT_NE(user, nullptr);
  const std::string home = user->pw_dir;
  for (const std::optional<std::string>& unset : {std::optional<std::string>(), {""}}) {
    ScopedEnvironment noHome("HOME", unset);
    EXPECT_EQ(UserStateFolder(),
              home.empty() ? "" : (home == "/" ? "" : home) + "/.local/state/orvane-translator/");
  }
}

TEST(UnixPathOf, FindsAWindowsPathInThePrefixWhateverTheLetterCase) {
  TempDir prefix;
  std::filesystem::create_directories(prefix / "drive_c/Program Files/Orvane/Farnel");
  std::filesystem::create_directories(prefix / "dosdevices");
  ASSERT_EQ(symlink("../drive_c", (prefix / "dosdevices/c:").c_str()), 0);
  const std::string drive = prefix / "dosdevices/c:";

  EXPECT_EQ(UnixPathOf("C:\\Program Files\\Orvane\\Farnel", prefix.path()),
            drive + "/Program Files/Orvane/Farnel");
  EXPECT_TRUE(std::filesystem::is_directory(
      UnixPathOf("c:\\PROGRAM FILES\\orvane\\farnel\\", prefix / "")));
  // Names that do not exist (yet) keep the case they were written in.
  EXPECT_EQ(UnixPathOf("C:\\program files\\Orvane\\Nové\\Languages", prefix.path()),
            drive + "/Program Files/Orvane/Nové/Languages");
  EXPECT_EQ(UnixPathOf("D:", prefix.path()), prefix / "dosdevices/d:");

  for (const char* linux : {"/opt/orvane/farnel", "relative\\name", "", "C"})
    EXPECT_EQ(UnixPathOf(linux, prefix.path()), linux);
}

TEST(DisplayPathOf, ShowsWhatLiesInThePrefixsDrivesAsWindowsPathsAndAnythingElseAsItIs) {
  struct Case {
    const char* path;
    const char* prefix;
    const char* shown;
  };
  const Case cases[] = {
      {"/home/jo/.wine/drive_c/Program Files/Orvane/sk.lng", "/home/jo/.wine",
       "C:\\Program Files\\Orvane\\sk.lng"},
      {"/home/jo/.wine/drive_c/Program Files/sk.lng", "/home/jo/.wine/",
       "C:\\Program Files\\sk.lng"},
      {"/home/jo/.wine/drive_c/sk.lng", "/home/jo/.wine//", "C:\\sk.lng"},
      {"/home/jo/.wine/dosdevices/c:/users/Jožo/sk.lng", "/home/jo/.wine",
       "C:\\users\\Jožo\\sk.lng"},
      {"/home/jo/.wine/dosdevices/d:/sk.lng", "/home/jo/.wine", "D:\\sk.lng"},
      {"/home/jo/.wine/dosdevices/c:", "/home/jo/.wine", "C:\\"},
      {"/home/jo/.wine/drive_c", "/home/jo/.wine", "C:\\"},
      {"/home/jo/.wine/drive_c/", "/home/jo/.wine", "C:\\"},
      {"/home/jo/.wine/drive_c//x/sk.lng", "/home/jo/.wine", "C:\\x\\sk.lng"},
      // Only the same letters, or beside the drives: not inside.
      {"/home/jo/.wine2/drive_c/sk.lng", "/home/jo/.wine", "/home/jo/.wine2/drive_c/sk.lng"},
      {"/home/jo/.wine/drive_c2/sk.lng", "/home/jo/.wine", "/home/jo/.wine/drive_c2/sk.lng"},
      {"/home/jo/.wine/dosdevices/c::", "/home/jo/.wine", "/home/jo/.wine/dosdevices/c::"},
      {"/home/jo/.wine/dosdevices/cd/x", "/home/jo/.wine", "/home/jo/.wine/dosdevices/cd/x"},
      {"/home/jo/.wine/user.reg", "/home/jo/.wine", "/home/jo/.wine/user.reg"},
      {"/home/jo/Preklady/sk.lng", "/home/jo/.wine", "/home/jo/Preklady/sk.lng"},
      {"/home/jo/.wine/drive_c/sk.lng", "", "/home/jo/.wine/drive_c/sk.lng"},
      {"/drive_c/sk.lng", "/", "C:\\sk.lng"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::DisplayPathOf(c.path, c.prefix), c.shown) << c.path << " in " << c.prefix;
}

}  // namespace
