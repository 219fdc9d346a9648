// The other languages of a real folder: which files count, what their
// headers and texts read as, and that reading them changes nothing there.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "support/TestSupport.h"
#include "workspace/OtherLanguages.h"

namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::WriteFile;
using namespace std::string_literals;

std::string Time(const timespec& time) {
  return std::to_string(time.tv_sec) + "." + std::to_string(time.tv_nsec);
}

// Every entry of `folder` (and the folder itself, as ".") with its kind,
// times and bytes.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> entries;
  auto add = [&](const std::string& path, const std::string& name) {
    struct stat info {};
    lstat(path.c_str(), &info);
    entries[name] = std::to_string(info.st_mode) + " " + Time(info.st_mtim) + " " +
                    Time(info.st_ctim) + " " +
                    (S_ISREG(info.st_mode) ? testsupport::ReadFile(path) : std::string());
  };
  add(folder, ".");
  for (const auto& entry : fs::directory_iterator(folder))
    add(entry.path(), entry.path().filename());
  return entries;
}

std::ptrdiff_t OpenDescriptors() {
  return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

TEST(OtherLanguagesTest, ReadsTheDestinationsSiblingsOnlyAndLeavesThemAsTheyWere) {
  TempDir dir;
  // The source and the destination count under no name: "SK.lng" differs in
  // letter case only, "alias.lng" links to the destination, which is named
  // through "sub/..". Nor do other extensions.
  for (const auto& [name, bytes] : std::map<std::string, std::string>{
           {"en.lng", "[-main-]\nname=English\n[Form1]\nCaption=%Source%\n"},
           {"sk.lng", "[-main-]\nname=Sloven\xE8ina\n[Form1]\nCaption=%Okno%\n"},
           {"SK.lng", "[-main-]\nname=Destination by another case\n"},
           {"PL.lng", "[-main-]\ntag=pl\nname=Polski\n[Form1]\nCaption=%Okno%\n"},
           {"cs.LNG", "[-main-]\ntag=cs\nname=\xC8" "e\x9Atina\n[Form1]\ncaption = %Okno \xE8"
                      "esky%\nHint=% s mezerami %\n"},
           {"cut.lng", "[-main-]\ntag=xx\nname=Cut\n[Form1]\nCaption=%Before%\n\0\nHint=%After%\n"s},
           {"ru.lng", "[-main-]\ntag=ru\nname=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\n[Form1]\n"
                      "Caption=%\xCE\xEA\xED\xEE%\nHint=%%d items%\n"},
           {"de.ilng", "[-main-]\nname=Deutsch\n"},
           {"notes.txt", "[-main-]\nname=Notes\n"}}) {
    WriteFile(dir / name, bytes);
  }
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir / "folder.lng").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo((dir / "pipe.lng").c_str(), 0644), 0);
  ASSERT_EQ(symlink("sk.lng", (dir / "alias.lng").c_str()), 0);
  ASSERT_EQ(symlink("missing", (dir / "gone.lng").c_str()), 0);
  // Sparse: its size costs no disk, but reading it whole would cost memory.
  WriteFile(dir / "huge.lng", "[-main-]\n");
  ASSERT_EQ(truncate((dir / "huge.lng").c_str(), 65 << 20), 0);
  const auto before = Snapshot(dir.path());
  const auto descriptors = OpenDescriptors();

  workspace::OtherLanguages others;
  others.Load(dir / "en.lng", dir / "sub/../sk.lng");

  struct Expected {
    std::string file, name, tag;
    std::optional<std::string> caption, hint;
  };
  const Expected expected[] = {
      {"PL.lng", "Polski", "pl", "Okno", std::nullopt},
      {"cs.LNG", "\xC8" "e\x9Atina", "cs", "Okno \xE8" "esky", " s mezerami "},
      {"cut.lng", "Cut", "xx", "Before", std::nullopt},  // nothing after the NUL
      {"ru.lng", "\xD0\xF3\xF1\xF1\xEA\xE8\xE9", "ru", "\xCE\xEA\xED\xEE", "%d items"}};
  ASSERT_EQ(others.Languages().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(expected[i].file);
    const workspace::OtherLanguage& language = others.Languages()[i];
    EXPECT_EQ(language.fileName, fs::canonical(dir.path()).string() + "/" + expected[i].file);
    EXPECT_EQ(language.name, expected[i].name);
    EXPECT_EQ(language.tag, expected[i].tag);
    EXPECT_EQ(others.Text(i, "FORM1", "CAPTION"), expected[i].caption);
    EXPECT_EQ(others.Text(i, "Form1", "Hint"), expected[i].hint);
    EXPECT_EQ(others.Text(i, "Form2", "Caption"), std::nullopt);
  }
  std::vector<std::string> unreadable;
  for (const auto& file : others.Unreadable())
    unreadable.push_back(fs::path(file.fileName).filename().string() + ": " + file.reason);
  EXPECT_EQ(unreadable, (std::vector<std::string>{
                            "folder.lng: " + platform::ErrorText(EISDIR),
                            "gone.lng: " + platform::ErrorText(ENOENT),
                            "huge.lng: too large to show beside the translation",
                            "pipe.lng: Not a regular file"}));

  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(Snapshot(dir.path()), before);

  others.Load(dir / "en.lng", "");
  EXPECT_TRUE(others.Languages().empty());
  EXPECT_TRUE(others.Unreadable().empty());
}

}  // namespace
