// The file stand-ins: names, existence, whole-file reads and replacement.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ModeOf;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

TEST(FullPathName, ResolvesAgainstTheCurrentFolderByTextAlone) {
  TempDir dir;
  struct BackToPreviousFolder {
    std::filesystem::path folder = std::filesystem::current_path();
    ~BackToPreviousFolder() { std::filesystem::current_path(folder); }
  } restore;
  std::filesystem::current_path(dir.path());
  struct Case {
    std::string name, full;
  };
  for (const Case& c : std::vector<Case>{{"a.lng", dir / "a.lng"},
                                         {"./x/../a.lng", dir / "a.lng"},
                                         {"sub//b.lng", dir / "sub/b.lng"},
                                         {"/x/./y/../z.lng", "/x/z.lng"},
                                         {"/../../a", "/a"},
                                         {"/", "/"},
                                         {"", ""}}) {
    EXPECT_EQ(platform::FullPathName(c.name), c.full) << c.name;
  }
}

TEST(ErrorText, IsTheSystemsWordsWithoutTrailingFullStopOrBlanks) {
  EXPECT_EQ(platform::ErrorText(ENOENT), "No such file or directory");
  EXPECT_EQ(platform::ErrorText(EACCES), "Permission denied");
  EXPECT_EQ(platform::ErrorText(ENOSPC), "No space left on device");
}

TEST(Existence, AFolderIsNeverAFile) {
  TempDir dir;
  WriteFile(dir / "f", "x");
  ASSERT_EQ(symlink("f", (dir / "link").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);
  EXPECT_TRUE(platform::FileExists(dir / "f"));
  EXPECT_TRUE(platform::FileExists(dir / "link"));
  EXPECT_FALSE(platform::FileExists(dir / "dangling"));
  EXPECT_FALSE(platform::FileExists(dir.path()));
  EXPECT_FALSE(platform::FileExists(""));
  EXPECT_TRUE(platform::DirectoryExists(dir.path()));
  EXPECT_FALSE(platform::DirectoryExists(dir / "f"));
}

TEST(ReadWholeFile, ReadsEveryByteOrSaysWhyNot) {
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 256 * 64; ++i) bytes += static_cast<char>(i % 256);
  WriteFile(dir / "all", bytes);
  std::string read = "stale";
  ASSERT_TRUE(platform::ReadWholeFile(dir / "all", read).ok);
  EXPECT_EQ(read, bytes);

  platform::ReadOutcome missing = platform::ReadWholeFile(dir / "missing", read);
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.reason, "No such file or directory");
  EXPECT_TRUE(read.empty());
}

TEST(ReplaceFileContents, NewFilesGetTheUsualPermissionsAndLinksTheirTarget) {
  TempDir dir;
  mode_t previous = umask(022);
  ASSERT_TRUE(platform::ReplaceFileContents(dir / "new", "abc").ok());
  umask(previous);
  EXPECT_EQ(ReadFile(dir / "new"), "abc");
  EXPECT_EQ(ModeOf(dir / "new"), 0644u);

  // A link to a file that does not exist yet, through a relative target in
  // another folder: the file appears where the link points.
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  ASSERT_EQ(symlink("sub/target", (dir / "dangling").c_str()), 0);
  ASSERT_TRUE(platform::ReplaceFileContents(dir / "dangling", "xyz").ok());
  EXPECT_EQ(ReadFile(dir / "sub/target"), "xyz");

  ASSERT_EQ(symlink("loop", (dir / "loop").c_str()), 0);
  platform::WriteOutcome loop = platform::ReplaceFileContents(dir / "loop", "x");
  EXPECT_EQ(loop.failure, platform::WriteFailure::Create);
  EXPECT_EQ(loop.reason, "Too many levels of symbolic links");
}

// Whoever opens the temporary file may go on reading it, so nobody but its
// owner may open it while it is written, whatever mode it ends with.
TEST(ReplaceFileContents, OnlyTheOwnerCanOpenTheFileBeingWritten) {
  struct UmaskFor {
    mode_t previous = umask(027);
    ~UmaskFor() { umask(previous); }
  } mask;
  struct Case {
    const char* name;
    mode_t before;  // 0: no such file yet
    mode_t after;
  };
  for (const Case& c : {Case{"readable", 0644, 0644}, Case{"new", 0, 0640}}) {
    TempDir dir;
    if (c.before != 0) {
      WriteFile(dir / "a.lng", "old");
      ASSERT_EQ(chmod((dir / "a.lng").c_str(), c.before), 0);
    }
    std::vector<mode_t> seen;
    platform::faults::SetInjector([&](platform::faults::Step step) {
      if (step != platform::faults::Step::Write) return 0;
      for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        if (entry.path().extension() == ".tmp") seen.push_back(ModeOf(entry.path()));
      }
      return 0;
    });
    platform::WriteOutcome outcome = platform::ReplaceFileContents(dir / "a.lng", "new");
    platform::faults::SetInjector({});
    ASSERT_TRUE(outcome.ok()) << c.name;
    EXPECT_EQ(seen, std::vector<mode_t>{0600}) << c.name;
    EXPECT_EQ(ModeOf(dir / "a.lng"), c.after) << c.name;
    EXPECT_EQ(ReadFile(dir / "a.lng"), "new") << c.name;
  }
}

TEST(ReplaceFileContents, AFolderThatRefusesNewFilesLeavesTheOldOneAlone) {
  TempDir dir;
  ASSERT_EQ(mkdir((dir / "locked").c_str(), 0777), 0);
  WriteFile(dir / "locked/a.lng", "old");
  ASSERT_EQ(chmod((dir / "locked/a.lng").c_str(), 0666), 0);  // the file itself may be written
  ASSERT_EQ(chmod((dir / "locked").c_str(), 0555), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  int code = testsupport::RunInChild([&] {
    platform::WriteOutcome outcome = platform::ReplaceFileContents(dir / "locked/a.lng", "new");
    return outcome.failure == platform::WriteFailure::Create &&
                   outcome.reason == "Permission denied" && ReadFile(dir / "locked/a.lng") == "old"
               ? 0
               : 1;
  }, testsupport::As::Unprivileged);
  EXPECT_EQ(code, 0);
}

TEST(ReadWholeFile, FileBytesHoldEveryByteWhereverTheyAreMoved) {
  TempDir dir;
  for (std::size_t size : {std::size_t{0}, std::size_t{1000}, std::size_t{5} << 20}) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
    WriteFile(dir / "f", bytes);
    platform::FileBytes read;
    ASSERT_TRUE(platform::ReadWholeFile(dir / "f", read).ok) << size;
    platform::FileBytes moved = std::move(read);
    EXPECT_TRUE(moved.view() == bytes) << size;
    EXPECT_TRUE(read.view().empty());
  }
  platform::FileBytes missing;
  EXPECT_EQ(platform::ReadWholeFile(dir / "missing", missing).reason, "No such file or directory");
  EXPECT_TRUE(missing.view().empty());
}

// A file that grows while it is read is read to its end; the bytes read so
// far are handed over after every piece, and from another place once the
// growth has moved them, which tells the reader to begin again.
TEST(ReadWholeFile, TellsWhatIsReadPieceByPieceAndWhenTheBytesMoved) {
  TempDir dir;
  const std::string start(10'000, 'a');
  WriteFile(dir / "f", start);
  std::vector<std::pair<const char*, std::size_t>> seen;
  platform::FileBytes read;
  ASSERT_TRUE(platform::ReadWholeFile(
                  dir / "f", read,
                  [&](std::string_view soFar) {
                    if (seen.empty()) WriteFile(dir / "f", start + std::string(5'000, 'b'));
                    seen.emplace_back(soFar.data(), soFar.size());
                    EXPECT_TRUE(soFar == (start + std::string(5'000, 'b')).substr(0, soFar.size()));
                  },
                  4'096)
                  .ok);
  EXPECT_TRUE(read.view() == start + std::string(5'000, 'b'));
  ASSERT_GE(seen.size(), 4u);
  EXPECT_EQ(seen[0].second, 4'096u);
  EXPECT_EQ(seen[1].first, seen[0].first);
  EXPECT_NE(seen.back().first, seen[0].first) << "the growth moved the bytes";
  EXPECT_EQ(seen.back().second, 15'000u);
}

// Pieces of every size, a block and more among them, arrive in order.
TEST(ReplaceFileContents, AProducersPiecesArriveInOrder) {
  TempDir dir;
  std::string expected;
  auto produce = [&](platform::ReplacementWriter& out) {
    for (int i = 0; i < 200000; ++i) {
      std::string piece = std::to_string(i) + ";";
      if (i % 50000 == 7) piece.assign(std::size_t{3} << 20, static_cast<char>('a' + i % 26));
      out.Append(piece);
      expected += piece;
    }
  };
  ASSERT_TRUE(platform::ReplaceFileContents(dir / "f", produce).ok());
  EXPECT_TRUE(ReadFile(dir / "f") == expected);
}

TEST(ReplaceFileContents, AProducerThatFailsOrThrowsChangesNothing) {
  TempDir dir;
  WriteFile(dir / "a.lng", "old");
  auto halfway = [](platform::ReplacementWriter& out) {
    out.Append(std::string(std::size_t{3} << 20, 'x'));
    throw std::runtime_error("no more");
  };
  EXPECT_THROW(platform::ReplaceFileContents(dir / "a.lng", halfway), std::runtime_error);
  EXPECT_EQ(ReadFile(dir / "a.lng"), "old");

  // A file-size limit met after the first block: the writer says so, and the
  // replacement is a write failure.
  int code = testsupport::RunInChild([&] {
    rlimit limit{std::size_t{3} << 20, std::size_t{3} << 20};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    bool failed = false;
    auto produce = [&](platform::ReplacementWriter& out) {
      for (int i = 0; i < 1000000 && !out.Failed(); ++i) out.Append("0123456789");
      failed = out.Failed();
    };
    platform::WriteOutcome outcome = platform::ReplaceFileContents(dir / "a.lng", produce);
    bool reported = outcome.failure == platform::WriteFailure::Write &&
                    outcome.reason == "File too large";
    return failed && reported ? 0 : 1;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadFile(dir / "a.lng"), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "no temporary file left";
}

}  // namespace
