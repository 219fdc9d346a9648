// Telling whether two names mean one file, the way the user and the sibling
// programs see it, and the way the kernel does.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace {

using platform::ExtensionOf;
using platform::SameFileNameIgnoringCase;
using testsupport::TempDir;

TEST(SameFileNameIgnoringCase, FoldsLettersBeyondAsciiButNothingElse) {
  EXPECT_TRUE(SameFileNameIgnoringCase("/home/eva/sk.lng", "/HOME/Eva/SK.LNG"));
  EXPECT_TRUE(SameFileNameIgnoringCase("/x/Čeština.lng", "/x/čEŠTINA.lng"));
  EXPECT_TRUE(SameFileNameIgnoringCase("/x/Ελληνικά", "/x/ΕΛΛΗΝΙΚΆ"));
  EXPECT_FALSE(SameFileNameIgnoringCase("/x/sk.lng", "/x/sk.lng "));
  EXPECT_FALSE(SameFileNameIgnoringCase("/x/sk.lng", "/x/sk.ln"));
  EXPECT_FALSE(SameFileNameIgnoringCase("/x/a", "/x/á"));
  // Bytes that are not UTF-8 are not letters: only the same byte matches.
  EXPECT_TRUE(SameFileNameIgnoringCase("/x/\xe8.lng", "/X/\xe8.LNG"));
  EXPECT_FALSE(SameFileNameIgnoringCase("/x/\xe8.lng", "/x/\xc8.lng"));
  EXPECT_FALSE(SameFileNameIgnoringCase("\xc4", "\xc4\x8d"));
}

TEST(ExtensionOf, IsFromTheLastDotOfTheLastName) {
  EXPECT_EQ(ExtensionOf("/x/sk.lng"), ".lng");
  EXPECT_EQ(ExtensionOf("/x/sk.txt.LNG"), ".LNG");
  EXPECT_EQ(ExtensionOf("/x.d/sk"), "");
  EXPECT_EQ(ExtensionOf("/x/sk."), ".");
  EXPECT_EQ(ExtensionOf("sk"), "");
}

// A Wine prefix reaches drive C both through dosdevices/c: and as drive_c.
TEST(WithResolvedFolder, FollowsTheFolderButNotTheLastName) {
  TempDir dir;
  const std::string real = std::filesystem::canonical(dir.path());
  const std::string languages = real + "/drive_c/Program Files/X/Languages";
  std::filesystem::create_directories(languages);
  testsupport::WriteFile(languages + "/en.lng", "[-main-]\r\n");
  std::filesystem::create_directories(dir / "dosdevices");
  ASSERT_EQ(symlink("../drive_c", (dir / "dosdevices/c:").c_str()), 0);
  ASSERT_EQ(symlink("en.lng", (languages + "/link.lng").c_str()), 0);
  struct Case {
    std::string name, resolved;
  };
  for (const Case& c : std::vector<Case>{
           {dir / "dosdevices/c:/Program Files/X/Languages/EN.LNG", languages + "/EN.LNG"},
           {dir / "drive_c/Program Files/X/../X/Languages//en.lng", languages + "/en.lng"},
           {languages + "/link.lng", languages + "/link.lng"},
           {dir / "missing/en.lng", dir / "missing/en.lng"},
           {dir / "dosdevices/c:/Program Files/X/Languages/en.lng/x",
            dir / "dosdevices/c:/Program Files/X/Languages/en.lng/x"},
           {"/en.lng", "/en.lng"},
           {"", ""}}) {
    EXPECT_EQ(platform::WithResolvedFolder(c.name), c.resolved) << c.name;
  }
}

TEST(SameFile, SeesThroughEveryOtherNameOfOneFile) {
  TempDir dir;
  const std::string file = dir / "sk.lng";
  testsupport::WriteFile(file, "[-main-]\r\n");
  std::filesystem::create_directories(dir / "sub");
  ASSERT_EQ(symlink(file.c_str(), (dir / "link.lng").c_str()), 0);
  ASSERT_EQ(link(file.c_str(), (dir / "hard.lng").c_str()), 0);
  ASSERT_EQ(symlink(dir.path().c_str(), (dir / "sub/linked").c_str()), 0);

  for (const std::string& other : {dir / "link.lng", dir / "hard.lng", dir / "sub/../sk.lng",
                                  dir / "sub/linked/sk.lng", file})
    EXPECT_TRUE(platform::SameFile(other, file)) << other;

  testsupport::WriteFile(dir / "copy.lng", "[-main-]\r\n");
  EXPECT_FALSE(platform::SameFile(dir / "copy.lng", file));
  EXPECT_FALSE(platform::SameFile(dir / "missing.lng", file));
  EXPECT_FALSE(platform::SameFile(dir / "missing.lng", dir / "missing.lng"));
}

TEST(CopyFile, CopiesEveryByteOrNothing) {
  TempDir dir;
  const std::string bytes("[-main-]\r\ntag=sk\r\n\x81\x00\xff", 20);
  testsupport::WriteFile(dir / "en.lng", bytes);
  testsupport::WriteFile(dir / "old.lng", "old");

  EXPECT_TRUE(platform::CopyFile(dir / "en.lng", dir / "new.lng"));
  EXPECT_EQ(testsupport::ReadFile(dir / "new.lng"), bytes);
  EXPECT_TRUE(platform::CopyFile(dir / "en.lng", dir / "old.lng"));
  EXPECT_EQ(testsupport::ReadFile(dir / "old.lng"), bytes);

  EXPECT_FALSE(platform::CopyFile(dir / "missing.lng", dir / "other.lng"));
  EXPECT_FALSE(std::filesystem::exists(dir / "other.lng"));
}

TEST(Utf8FromCodePage, SpellsCodePageTextAsTheFileSystemDoes) {
  EXPECT_EQ(platform::Utf8FromCodePage("C:\\\xdA\xe8ty\\Farnel", 1250), "C:\\Účty\\Farnel");
  EXPECT_EQ(platform::Utf8FromCodePage("\xc4\xe8", 1251), "Ди");
  // Undefined in 1250: the byte's own number.
  EXPECT_EQ(platform::Utf8FromCodePage("\x81", 1250), "\xc2\x81");
  EXPECT_EQ(platform::Utf8FromCodePage("\xe8", 9999), "è");
}

}  // namespace
