// Typed work outlives a crash: the journal a killed session leaves is
// offered at the next Open of the same files, restored on top of the
// merged table, and gone once the work is saved or thrown away.

#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <filesystem>

#include "platform/FileNames.h"
#include "platform/SpecialFolders.h"
#include "support/TestSupport.h"
#include "ui/Controls.h"
#include "ui/TranslationGrid.h"
#include "workspace/RecoveryJournal.h"
#include "WindowFixture.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;
using workspace::EditField;
using workspace::RecoveryJournal;

const std::string kSource =
    "[-main-]\r\ntag=en\r\nname=English\r\n"
    "[Form1]\r\nCaption=%Main window%\r\nBtn=%OK%\r\nCancel=%Cancel%\r\n";
constexpr std::size_t kCaptionRow = 3, kBtnRow = 4;

class RecoveryTest : public testsupport::WindowTest {
 protected:
  void SetUp() override {
    codePage = 1250;
    WindowTest::SetUp();
    WriteFile(source, kSource);
  }

  // Opens the source into the destination, answering the offer of a
  // journal, if one is made, with `answer`.
  void Open(const QString& answer = {}) {
    window->cbProgram->setCurrentIndex(1);
    dialogs.openAnswers = {source};
    dialogs.saveAnswers = {destination};
    if (!answer.isEmpty()) dialogs.answers = {answer};
    dialogs.boxes.clear();
    window->bitOpen->click();
  }
  // A session that ends without closing its window, as a crash ends it.
  void Crash() {
    window.reset();
    WindowTest::SetUp();
  }
  void TypeInto(std::size_t row, const QString& text) {
    QLineEdit* editor = EditorAt(row);
    editor->selectAll();
    Type(editor, text);
  }
  // Whether the files have a journal, kept by the window or left by it.
  bool Journal() const {
    return std::filesystem::exists(
        RecoveryJournal::FileFor(platform::UserStateFolder(), platform::WithResolvedFolder(source),
                                 platform::WithResolvedFolder(destination)));
  }
  std::vector<QString> Questions() const {
    std::vector<QString> texts;
    for (const auto& box : dialogs.boxes)
      if (!box.buttons.isEmpty()) texts.push_back(box.text);
    return texts;
  }

  testsupport::TempDir dir;
  const std::string source = dir / "en.lng";
  const std::string destination = dir / "sk.lng";
};

TEST_F(RecoveryTest, ACrashedSessionsEditsAreOfferedAndRestoredOrDiscarded) {
  for (const char* answer : {"Restore", "Discard"}) {
    SCOPED_TRACE(answer);
    std::remove(destination.c_str());
    Open();
    TypeInto(kCaptionRow, QString::fromUtf8("Hlavné okno"));
    Focus(window->eLngTag);
    window->eLngTag->selectAll();
    Type(window->eLngTag, "sk");
    ASSERT_TRUE(Journal());
    Crash();

    Open(answer);
    ASSERT_EQ(Questions().size(), 1u);
    EXPECT_TRUE(QRegularExpression(R"(^Unsaved changes from \d{4}-\d\d-\d\d \d\d:\d\d were )"
                                   R"(found\. Restore them\?$)")
                    .match(Questions()[0])
                    .hasMatch())
        << Questions()[0].toStdString();
    const bool restored = std::string(answer) == "Restore";
    EXPECT_EQ(Cell(kCaptionRow), restored ? "Hlavn\xe9 okno" : "Main window");
    EXPECT_EQ(window->Workspace().Header().tag, restored ? "sk" : "en");
    EXPECT_EQ(window->eLngTag->text(), restored ? "sk" : "en");
    EXPECT_EQ(Modified(), restored);
    EXPECT_EQ(Journal(), restored);

    // Saved, the work needs no journal any more, and a clean close leaves none.
    window->bitSave->click();
    EXPECT_FALSE(Journal());
    EXPECT_EQ(ReadFile(destination).find("Caption=%Hlavn\xe9 okno%") != std::string::npos,
              restored);
    TypeInto(kBtnRow, "Dobre");
    ASSERT_TRUE(Journal());
    dialogs.answers = {"Discard"};
    window->close();
    EXPECT_FALSE(Journal());
    Crash();
  }
}

TEST_F(RecoveryTest, KeysThatAreGoneAndRecordsThatCannotBeReadAreReportedNotDropped) {
  Open();
  Crash();
  {
    RecoveryJournal journal(platform::UserStateFolder());
    journal.Start(platform::WithResolvedFolder(source), platform::WithResolvedFolder(destination));
    ASSERT_TRUE(journal.Record({EditField::Translation, "Form1", "Gone", "x"}));
    ASSERT_TRUE(journal.Record({EditField::Translation, "Form1", "Caption", "Okno"}));
    ASSERT_TRUE(journal.Record({EditField::Name, "", "", "Sloven\xe8ina"}));
  }
  // The crash cut the last record off half-way.
  const std::string file =
      RecoveryJournal::FileFor(platform::UserStateFolder(), platform::WithResolvedFolder(source),
                               platform::WithResolvedFolder(destination));
  const std::string bytes = ReadFile(file);
  WriteFile(file, bytes.substr(0, bytes.size() - 3));

  Open("Restore");
  EXPECT_EQ(Cell(kCaptionRow), "Okno");
  EXPECT_EQ(window->Workspace().Header().name, "English");
  ASSERT_FALSE(dialogs.boxes.empty());
  EXPECT_EQ(dialogs.boxes.back().text,
            "1 of the restored changes could not be applied: the file no longer has their "
            "keys:\n[Form1] Gone\n\n1 of the unsaved changes could not be read back.");
}

// Nothing modal may come between a keystroke and the editor storing it: a
// journal that cannot be written is said once the keystroke is handled, and
// only once, and typing goes on.
TEST_F(RecoveryTest, AJournalThatCannotBeWrittenIsSaidOnceAfterTheKeystroke) {
  WriteFile(dir / "state", "not a folder");
  journalFolder = dir / "state/journals/";
  Crash();
  Open();
  dialogs.boxes.clear();
  TypeInto(kCaptionRow, "a");
  EXPECT_TRUE(dialogs.boxes.empty());
  QApplication::processEvents();
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_TRUE(dialogs.boxes[0].text.startsWith(
      "Unsaved changes cannot be kept for recovery after a crash: "))
      << dialogs.boxes[0].text.toStdString();
  Type(window->sgPreklad->CellEditor(), "b");
  QApplication::processEvents();
  EXPECT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(Cell(kCaptionRow), "ab");
}

// The real thing: a session in its own process, killed with SIGKILL in the
// middle of typing, its last cell's editor still open.
TEST_F(RecoveryTest, EditsOfASessionKilledMidTypingComeBackByteForByte) {
  QProcess session;
  session.start(KILLED_SESSION, {QString::fromStdString(source), QString::fromStdString(destination)});
  ASSERT_TRUE(session.waitForStarted());
  QByteArray said;
  while (!said.contains("typed\n") && session.waitForReadyRead(60'000)) said += session.readAll();
  ASSERT_TRUE(said.contains("typed\n")) << said.toStdString();
  session.kill();
  ASSERT_TRUE(session.waitForFinished());
  ASSERT_EQ(session.exitStatus(), QProcess::CrashExit);

  Open("Restore");
  EXPECT_TRUE(Modified());
  window->bitSave->click();
  EXPECT_EQ(ReadFile(destination),
            "[-main-]\r\ntag=en-SK\r\nname=English\r\nProgramVersion=\r\nTranslationVersion=\r\n"
            "date=2026-03-14\r\n\r\n"
            "[Form1]\r\nCaption=%Hlavn\xe9 okno%\r\nBtn=%Zru\x9ai\x9d%\r\nCancel=%Cancel%\r\n\r\n");
}

}  // namespace
