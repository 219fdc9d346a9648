// The command line on a real folder of translations: its outputs against
// golden files (ORVANE_UPDATE_GOLDEN=1 writes them anew from what it prints),
// its exit codes, and what it refuses.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/LngTool.h"
#include "platform/CodePage.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

platform::LocalDateTime Today() {
  using namespace std::chrono;
  return local_days{year{2026} / December / 8} + hours{9};
}

struct Outcome {
  int status = 0;
  std::string out;
  std::string err;
};

class LngToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::OverrideSystemCodePage(1250);
    for (const char* name : {"en.lng", "sk.lng", "cs.lng"})
      WriteFile(dir / name, ReadFile(std::string(CLI_DATA) + "/" + name));
    // Files are named as a user in their folder names them, and printed so.
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    platform::OverrideSystemCodePage(0);
  }

  static Outcome Run(std::vector<std::string> arguments) {
    std::ostringstream out, err;
    cli::Environment environment{"1.00 (build 2)", &Today};
    const int status = cli::Run(arguments, out, err, environment);
    return {status, out.str(), err.str()};
  }

  static void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::string golden = std::string(CLI_GOLDEN) + "/" + name;
    if (std::getenv("ORVANE_UPDATE_GOLDEN") != nullptr) WriteFile(golden, actual);
    EXPECT_EQ(actual, ReadFile(golden)) << "golden file " << name;
  }

  testsupport::TempDir dir;

 private:
  std::filesystem::path previous_;
};

TEST_F(LngToolTest, OutputsMatchTheGoldenFilesAndUpdateBringsTheFolderUpToDate) {
  const std::string sk = ReadFile("sk.lng");
  const std::string cs = ReadFile("cs.lng");
  struct Case {
    std::string golden;
    std::vector<std::string> arguments;
    int status;
  };
  const Case cases[] = {
      {"stats.txt", {"stats", "en.lng", "sk.lng", "cs.lng"}, 0},
      {"stats.json", {"stats", "--json", "en.lng", "sk.lng", "cs.lng"}, 0},
      {"check.txt", {"check", "en.lng", "sk.lng", "cs.lng"}, 1},
      {"check.json", {"check", "en.lng", "sk.lng", "cs.lng", "--json"}, 1},
      {"check-no-spelling.txt", {"check", "--no-spelling", "en.lng", "sk.lng"}, 1},
      {"update-dry-run.txt", {"update", "--dry-run", "en.lng", "sk.lng", "cs.lng"}, 0},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << c.golden;
    EXPECT_EQ(outcome.err, "") << c.golden;
    ExpectGolden(c.golden, outcome.out);
  }
  // Nothing above writes.
  EXPECT_EQ(ReadFile("sk.lng"), sk);
  EXPECT_EQ(ReadFile("cs.lng"), cs);

  Outcome update = Run({"update", "en.lng", "sk.lng", "cs.lng"});
  EXPECT_EQ(update.status, 0);
  ExpectGolden("update.txt", update.out);
  ExpectGolden("sk.updated.lng", ReadFile("sk.lng"));
  // Up to date now: nothing more to add, and the added keys count as
  // untranslated until someone translates them.
  update = Run({"update", "en.lng", "sk.lng"});
  EXPECT_EQ(update.out, "sk.lng: no keys added\n");
  const Outcome stats = Run({"stats", "en.lng", "cs.lng"});
  EXPECT_EQ(stats.out, "cs.lng: \xC4\x8C" "e\xC5\xA1tina (cs): 14 entries: 12 translated, "
                       "2 untranslated (85%)\n");
}

TEST_F(LngToolTest, KeepDateKeepsWhatReadsAsADateOnly) {
  std::string cs = ReadFile("cs.lng");
  WriteFile("cs.lng", cs.replace(cs.find("2026-01-15"), 10, "someday!!!"));
  const Outcome outcome = Run({"update", "--keep-date", "en.lng", "sk.lng", "cs.lng"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(ReadFile("sk.lng").find("date=2026-03-01\r\n"), std::string::npos);
  EXPECT_NE(ReadFile("cs.lng").find("date=2026-12-08\r\n"), std::string::npos);
  EXPECT_EQ(outcome.err,
            "orvane-lng: cs.lng: the date \"someday!!!\" is no date; it becomes today's\n");
}

TEST_F(LngToolTest, UsageAndFileErrorsExitWithTwoAndNameTheCause) {
  ASSERT_EQ(symlink("en.lng", "link.lng"), 0);
  std::filesystem::create_directory("folder.lng");
  const std::string sk = ReadFile("sk.lng");
  struct Case {
    std::vector<std::string> arguments;
    std::string err;  // a part of what is said
    std::string out;  // a part of what is still printed, if anything
  };
  const Case cases[] = {
      {{}, "no command given", ""},
      {{"translate", "en.lng", "sk.lng"}, "unknown command 'translate'", ""},
      {{"stats", "en.lng"}, "stats needs a SOURCE and at least one DEST", ""},
      {{"stats", "--bogus", "en.lng", "sk.lng"}, "unknown option '--bogus'", ""},
      {{"stats", "--dry-run", "en.lng", "sk.lng"}, "--dry-run goes with update", ""},
      {{"update", "--json", "en.lng", "sk.lng"}, "--json goes with stats and check", ""},
      {{"stats", "--no-spelling", "en.lng", "sk.lng"}, "--no-spelling goes with check", ""},
      {{"stats", "missing.lng", "sk.lng"}, "orvane-lng: missing.lng: No such file or directory", ""},
      // The source under other names: never read as its own translation,
      // never written over; the other files are still done.
      {{"update", "--dry-run", "en.lng", "./EN.lng", "sk.lng"},
       "orvane-lng: ./EN.lng: Source file and destination file cannot be same.", ""},
      {{"check", "en.lng", "link.lng", "sk.lng"},
       "orvane-lng: link.lng: Source file and destination file cannot be same.",
       "sk.lng:14: warning: [placeholders]"},
      {{"stats", "en.lng", "folder.lng", "nope.lng", "sk.lng"},
       "orvane-lng: folder.lng: Is a directory\norvane-lng: nope.lng: No such file or directory",
       "sk.lng: Sloven"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Run(c.arguments);
    EXPECT_EQ(outcome.status, 2) << c.err;
    EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.out.find(c.out), std::string::npos) << outcome.out;
  }
  EXPECT_EQ(ReadFile("en.lng"), ReadFile(std::string(CLI_DATA) + "/en.lng"));
  EXPECT_EQ(ReadFile("sk.lng"), sk);

  // Help and version win over everything else on the line.
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"stats", "--help"}, {"--version", "bogus"}}) {
    const Outcome outcome = Run(arguments);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_TRUE(outcome.out.starts_with("Usage: orvane-lng COMMAND") ||
                outcome.out == "orvane-lng (Orvane translator) v 1.00 (build 2)\n")
        << outcome.out;
  }
}

}  // namespace
