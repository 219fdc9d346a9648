// The command line's update must leave a translation byte for byte as the
// window's Open and then Save of the same two files leaves it: translators
// mix the two on one folder, and a difference would show in every diff.

#include <sstream>

#include <QPushButton>

#include "WindowFixture.h"
#include "cli/LngTool.h"
#include "support/TestSupport.h"
#include "ui/Controls.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

class UpdateMatchesTheWindowTest : public testsupport::WindowTest {
 protected:
  void SetUp() override {
    codePage = 1250;
    WindowTest::SetUp();
  }
};

TEST_F(UpdateMatchesTheWindowTest, UpdateWritesTheBytesOfOpenAndSave) {
  // A destination that lacks keys, one that lacks a section, and one that
  // lacks nothing.
  for (const char* destination : {"sk.lng", "cs.lng", "en-copy.lng"}) {
    testsupport::TempDir byWindow, byCommand;
    for (const testsupport::TempDir* folder : {&byWindow, &byCommand}) {
      WriteFile(*folder / "en.lng", ReadFile(std::string(CLI_DATA) + "/en.lng"));
      WriteFile(*folder / "sk.lng", ReadFile(std::string(CLI_DATA) + "/sk.lng"));
      WriteFile(*folder / "cs.lng", ReadFile(std::string(CLI_DATA) + "/cs.lng"));
      WriteFile(*folder / "en-copy.lng", ReadFile(std::string(CLI_DATA) + "/en.lng"));
    }
    window->cbProgram->setCurrentIndex(1);
    dialogs.openAnswers = {byWindow / "en.lng"};
    dialogs.saveAnswers = {byWindow / destination};
    window->bitOpen->click();
    ASSERT_EQ(window->Workspace().DestinationFileName(), byWindow / destination);

    std::ostringstream out, err;
    const std::vector<std::string> arguments = {"update", byCommand / "en.lng",
                                                byCommand / destination};
    ASSERT_EQ(cli::Run(arguments, out, err, {"", &testsupport::FixedNow}), 0) << err.str();
    EXPECT_EQ(ReadFile(byCommand / destination), ReadFile(byWindow / destination)) << destination;
  }
}

}  // namespace
