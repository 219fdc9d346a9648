// The command line's report must count and check a destination exactly as
// the window does once it has opened the same two files, however oddly the
// files repeat, spell or leave out their sections and keys.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "langfile/TMemIniFile.h"
#include "platform/CodePage.h"
#include "support/TestSupport.h"
#include "workspace/Checks.h"
#include "workspace/DestinationReport.h"
#include "workspace/Progress.h"
#include "workspace/Workspace.h"

namespace {

struct Found {
  std::size_t row;
  workspace::Finding finding;
  bool operator==(const Found&) const = default;
};

TEST(DestinationReportTest, CountsAndFindsWhatTheWindowDoes) {
  platform::OverrideSystemCodePage(1250);
  const std::string source =
      "\xEF\xBB\xBF[-main-]\r\ntag=en\r\n[A]\r\nOpen=%&Open%\r\nopen=%&Open file%\r\n"
      "Count=%d files\r\n[B]\r\nName=Name:\r\nEmpty=Text\r\n[a]\r\nLate=%s left\r\n"
      "[C]\r\nOpen=&Open\r\nCount=%d files\r\n[Gone]\r\nKey=Value\r\n";
  const std::string destinations[] = {
      // Keys in other letter case, a section the source repeats, an unwrapped and an
      // empty value, a section the source lacks and one the destination lacks.
      "[-main-]\r\ntag=sk\r\n[A]\r\nLate=zost\xE1va %s\r\n[c]\r\nOPEN=%Otvori\x9D s\xFA" "bor%\r\n"
      "count=%s s\xFA" "borov\r\n[B]\r\nName=Meno\r\nEmpty=\r\n[Extra]\r\nX=1\r\n",
      // Everything as the source has it: all untranslated.
      source,
      // Lines broken by CR alone and blanks around "=".
      "[A]\rOpen = &Otvori\x9D\r[B]\rName =Meno :\r",
      "",
  };
  std::size_t compared = 0;
  for (const std::string& destination : destinations) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir / "en.lng", source);
    testsupport::WriteFile(dir / "sk.lng", destination);

    workspace::Workspace window;
    window.LoadSource(dir / "en.lng");
    window.MergeDestination(dir / "sk.lng");
    workspace::Progress progress;
    progress.Recount(window);
    std::vector<Found> expected;
    for (std::size_t row = 0; row < window.Table().RowCount(); ++row) {
      if (!window.Table().IsKey(row) || window.IsUntranslated(row)) continue;
      std::vector<workspace::Finding> findings;
      workspace::CheckTranslation(window.SourceText(row), window.Table().Translation(row),
                                  findings);
      for (auto& finding : findings) expected.push_back({row, finding});
    }

    workspace::Workspace loaded;
    loaded.LoadSource(dir / "en.lng");
    const TMemIniFile document(dir / "sk.lng");
    const auto report = workspace::ReportOn(loaded.Table(), document, true, nullptr);
    std::vector<Found> found;
    for (const auto& reported : report.findings) {
      found.push_back({reported.row, reported.finding});
      EXPECT_GT(reported.line, 0u) << "a finding's key stands on some line";
    }
    compared += found.size();
    EXPECT_EQ(report.entries, progress.Entries()) << destination;
    EXPECT_EQ(report.untranslated, progress.Untranslated()) << destination;
    EXPECT_EQ(found, expected) << destination;
  }
  EXPECT_GE(compared, 3u) << "the files must give findings to compare";
  platform::OverrideSystemCodePage(0);
}

}  // namespace
