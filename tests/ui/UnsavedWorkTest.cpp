// Typed work is never thrown away unasked: closing and Open ask first, and
// every edit can be undone and redone back to exactly what was saved.

#include <QCloseEvent>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "support/TestSupport.h"
#include "ui/Controls.h"
#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"
#include "WindowFixture.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

const std::string kSource =
    "[-main-]\r\ntag=en\r\nname=English\r\nautor01=Jane\r\n"
    "[Form1]\r\nCaption=%Main window%\r\nBtn=%OK%\r\n";
constexpr std::size_t kCaptionRow = 3, kBtnRow = 4;

class UnsavedWorkTest : public testsupport::WindowTest {
 protected:
  void SetUp() override {
    dialogs.strict = true;
    WindowTest::SetUp();
    WriteFile(source, kSource);
    window->cbProgram->setCurrentIndex(1);
    dialogs.openAnswers = {source};
    dialogs.saveAnswers = {destination};
    window->bitOpen->click();
    saved = ReadFile(destination);
    dialogs.boxes.clear();
  }

  // The cell editor of `row`, its cursor after the text.
  QLineEdit* EditorAtEnd(std::size_t row) {
    QLineEdit* editor = EditorAt(row);
    editor->end(false);
    return editor;
  }
  // Closes the window as the title bar does; whether it went.
  bool CloseWindow() {
    QCloseEvent event;
    QApplication::sendEvent(window.get(), &event);
    return event.isAccepted();
  }

  testsupport::TempDir dir;
  const std::string source = dir / "en.lng";
  const std::string destination = dir / "sk.lng";
  std::string saved;
};

TEST_F(UnsavedWorkTest, ClosingAsksOnlyWithUnsavedChangesAndEachAnswerDoesWhatItSays) {
  struct Case {
    const char* answer;  // nullptr: no question expected
    bool edit;
    bool closes;
    bool fileChanged;
  };
  const Case cases[] = {
      {nullptr, false, true, false},
      {"Cancel", true, false, false},
      {"Discard", true, true, false},
      {"Save", true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer ? c.answer : "no changes");
    WriteFile(destination, saved);
    dialogs.boxes.clear();
    if (c.edit) {
      Type(EditorAtEnd(kCaptionRow), "!");
      ASSERT_TRUE(Modified());
    }
    if (c.answer) dialogs.answers = {c.answer};
    EXPECT_EQ(CloseWindow(), c.closes);
    ASSERT_EQ(dialogs.boxes.size(), c.answer ? 1u : 0u);
    if (c.answer) {
      EXPECT_EQ(dialogs.boxes[0].text, QString::fromStdString("Save changes to " + destination + "?"));
      EXPECT_EQ(dialogs.boxes[0].buttons, QStringList({"Save", "Discard", "Cancel"}));
      EXPECT_EQ(dialogs.boxes[0].escapeButton, 2);
      EXPECT_EQ(dialogs.boxes[0].caption, ProcFunc::ProgramIdentity().programTitle);
    }
    EXPECT_EQ(ReadFile(destination) != saved, c.fileChanged);
    EXPECT_EQ(Modified(), c.edit && !c.fileChanged);
    window->Workspace().SetModified(false);
  }
}

TEST_F(UnsavedWorkTest, AFailedOrCancelledSaveOnClosingKeepsTheWindowAndTheChanges) {
  // The destination's folder is gone: the save fails with its error box.
  Type(EditorAtEnd(kCaptionRow), "!");
  std::filesystem::rename(dir.path(), dir.path() + ".moved");
  dialogs.answers = {"Save"};
  EXPECT_FALSE(CloseWindow());
  std::filesystem::rename(dir.path() + ".moved", dir.path());
  EXPECT_TRUE(Modified());
  EXPECT_EQ(dialogs.boxes.size(), 2u);  // the question and the error

  // Without a destination, Save asks for one; cancelling that keeps it all.
  dialogs.openAnswers = {source};
  dialogs.saveAnswers = {std::nullopt};
  dialogs.answers = {"Discard"};
  window->bitOpen->click();
  Type(EditorAtEnd(kCaptionRow), "?");
  dialogs.answers = {"Save"};
  dialogs.saveAnswers = {std::nullopt};
  EXPECT_FALSE(CloseWindow());
  EXPECT_TRUE(Modified());
  EXPECT_EQ(Cell(kCaptionRow), "Main window?");

  // Saved into a translation chosen only now, what was typed stays on top
  // of the texts the merge brings, and is what the file gets.
  dialogs.answers = {"Save"};
  dialogs.saveAnswers = {destination};
  EXPECT_TRUE(CloseWindow());
  EXPECT_NE(ReadFile(destination).find("Caption=%Main window?%"), std::string::npos);
  // It counts as translated from the source's text, not as its own source.
  EXPECT_EQ(window->Workspace().SourceText(kCaptionRow), "Main window");
  EXPECT_FALSE(window->Workspace().IsUntranslated(kCaptionRow));
}

TEST_F(UnsavedWorkTest, CancellingTheQuestionOfOpenLeavesEverythingAsItWas) {
  Type(EditorAtEnd(kCaptionRow), "!");
  window->cbProgram->setCurrentIndex(3);
  dialogs.answers = {"Cancel"};
  window->bitOpen->click();
  EXPECT_EQ(dialogs.openRequests.size(), 1u);  // the first Open's only
  EXPECT_EQ(window->cbProgram->currentIndex(), 3);
  EXPECT_EQ(Cell(kCaptionRow), "Main window!");
  EXPECT_EQ(window->Workspace().DestinationFileName(), destination);
  EXPECT_TRUE(Modified());

  // Saved first, the changes reach the file before the next source loads.
  dialogs.answers = {"Save"};
  dialogs.openAnswers = {source};
  dialogs.saveAnswers = {std::nullopt};
  window->bitOpen->click();
  EXPECT_NE(ReadFile(destination).find("Caption=%Main window!%"), std::string::npos);
  EXPECT_EQ(Cell(kCaptionRow), "Main window");
}

TEST_F(UnsavedWorkTest, UndoAndRedoStepThroughFinishedEditsBackToTheSavedBytes) {
  QLineEdit* editor = EditorAtEnd(kCaptionRow);
  Type(editor, "ab");
  // Within the open editor, Ctrl+Z is the editor's own: it takes back what
  // was typed since the editor opened, and no step of the history is left.
  Press(editor, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Cell(kCaptionRow), "Main window");
  EXPECT_EQ(window->sgPreklad->CellEditor()->text(), "Main window");
  Type(editor, "a");
  Type(EditorAtEnd(kBtnRow), "1");
  Focus(window->eLngTag);
  Type(window->eLngTag, "x");
  Focus(window->mAutors);
  QTest::keyClicks(window->mAutors, "y");
  window->eDate->setDate(QDate(2027, 2, 3));
  ASSERT_EQ(window->Workspace().Header().tag, "enx");

  // Each finished edit is one step; the cell steps bring their row back
  // into view. Back in a field it has left, Ctrl+Z is the history's: the
  // field's own steps went with the focus.
  const auto undo = [&] { Press(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier); };
  Focus(window->eLngTag);
  undo();
  EXPECT_EQ(window->eDate->date(), QDate(2026, 3, 14));
  EXPECT_EQ(window->Workspace().Header().tag, "enx");
  Focus(window->sgPreklad);
  undo();
  EXPECT_EQ(window->Workspace().Header().authors, std::vector<std::string>{"Jane"});
  undo();
  EXPECT_EQ(window->Workspace().Header().tag, "en");
  EXPECT_EQ(window->eLngTag->text(), "en");
  undo();
  EXPECT_EQ(Cell(kBtnRow), "OK");
  EXPECT_EQ(window->sgPreklad->CurrentTableRow(), kBtnRow);
  undo();
  EXPECT_EQ(Cell(kCaptionRow), "Main window");
  EXPECT_EQ(window->sgPreklad->CurrentTableRow(), kCaptionRow);
  undo();  // nothing left
  window->bitSave->click();
  EXPECT_EQ(ReadFile(destination), saved);

  // Both redo keys go forward again, to the last edit.
  const auto redo = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
    Press(QApplication::focusWidget(), key, modifiers);
  };
  redo(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Cell(kCaptionRow), "Main windowa");
  for (int i = 0; i < 4; ++i) redo(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(window->Workspace().Header().tag, "enx");
  EXPECT_EQ(window->eDate->date(), QDate(2027, 2, 3));
  EXPECT_TRUE(Modified());
}

}  // namespace
