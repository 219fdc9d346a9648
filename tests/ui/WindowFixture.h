#pragma once

// A main window as the program creates it, captioned from the stamped test
// program, with a fixed clock and scripted dialogs, shown on the offscreen
// platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/MessageStyle.h"
#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"
#include "ui/WindowDialogs.h"
#include "ui/f01_main.h"

namespace testsupport {

// 2026-03-14 10:20:30.250 local time.
inline platform::LocalDateTime FixedNow() {
  using namespace std::chrono;
  return local_days{year{2026} / March / 14} + hours{10} + minutes{20} + seconds{30} +
         milliseconds{250};
}

// Plays the user at every dialog and box of one window: file dialogs are
// answered from a script (cancelled once it runs out), boxes are kept.
class ScriptedDialogs : public WindowDialogs {
 public:
  std::optional<std::string> ChooseFile(QWidget* owner, FileDialogKind kind,
                                        const workspace::FileDialogRequest& request) override {
    if (toolkitFileDialogs) return ToolkitDialogs().ChooseFile(owner, kind, request);
    const bool open = kind == FileDialogKind::Open;
    (open ? openRequests : saveRequests).push_back(request);
    auto& answers = open ? openAnswers : saveAnswers;
    if (answers.empty()) {
      if (strict) ADD_FAILURE() << "unexpected " << (open ? "open" : "save") << " dialog";
      return std::nullopt;
    }
    auto answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }

  int Show(const ProcFunc::MessageBoxRequest& request) override {
    boxes.push_back(request);
    if (request.buttons.isEmpty()) return platform::kMessageOk;
    if (answers.empty()) {
      if (strict) ADD_FAILURE() << "unexpected question " << request.text.toStdString();
      return request.escapeButton;
    }
    const QString answer = answers.front();
    answers.pop_front();
    const auto index = request.buttons.indexOf(answer);
    if (index < 0) ADD_FAILURE() << "no answer " << answer.toStdString();
    return static_cast<int>(index);
  }

  std::vector<QString> BoxTexts() const {
    std::vector<QString> texts;
    for (const auto& box : boxes) texts.push_back(box.text);
    return texts;
  }

  // Whether a dialog the script did not expect fails the test.
  bool strict = false;
  // Whether the toolkit's own file dialogs are shown instead of the script.
  bool toolkitFileDialogs = false;
  std::deque<std::optional<std::string>> openAnswers, saveAnswers;
  // The buttons pressed in questions, by their texts; Esc once they run out.
  std::deque<QString> answers;
  std::vector<workspace::FileDialogRequest> openRequests, saveRequests;
  std::vector<ProcFunc::MessageBoxRequest> boxes;
};

class WindowTest : public ::testing::Test {
 public:
  // Gives `widget` the keyboard focus, as a click or Tab would.
  static void Focus(QWidget* widget) {
    widget->activateWindow();
    widget->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
  }

  // A key without text, which QTest's ASCII helpers do not know.
  static void Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::sendKeyEvent(QTest::Click, widget, key, QString(), modifiers);
  }

  // Types `text` key by key, letters beyond ASCII included.
  static void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
  }

 protected:
  void SetUp() override {
    if (codePage != 0) platform::OverrideSystemCodePage(codePage);
    TfMainOptions options{STAMPED_PROGRAM, &FixedNow, &dialogs};
    options.journalFolder = journalFolder;
    options.drawCell = [this](QPainter& painter, const QRect& cell, const QString& text,
                              const ProcFunc::CellLook& look) {
      if (seeCell) seeCell(cell, text, look);
      ProcFunc::DrawCell(painter, cell, text, look);
    };
    window = std::make_unique<TfMain>(std::move(options));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  void TearDown() override {
    window.reset();
    if (codePage != 0) platform::OverrideSystemCodePage(0);
  }

  bool Modified() const { return window->Workspace().Modified(); }

  // The cell editor of table row `row`'s translation, focused, its text
  // selected as the grid opens it; the row becomes the grid's current one,
  // also where a filter leaves rows out.
  QLineEdit* EditorAt(std::size_t row) {
    Focus(window->sgPreklad);
    window->sgPreklad->setCurrentIndex(window->sgPreklad->Model()->IndexOfTableRow(row));
    return window->sgPreklad->CellEditor();
  }
  std::string Cell(std::size_t row) const {
    return std::string(window->Workspace().Table().Translation(row));
  }

  // The table row of the grid's current cell; 0 when there is none.
  std::size_t Current() const { return window->sgPreklad->CurrentTableRow().value_or(0); }

  // One press of a key that moves the current row (Ctrl+J, F8): the row it
  // should reach and the note it should leave on the status line.
  struct Jump {
    bool forward;
    std::size_t row;
    const char* note;
  };
  // Presses `key` with `forward` or `backward` for each of `jumps` in turn,
  // from the first row on.
  void ExpectJumps(std::span<const Jump> jumps, int key, Qt::KeyboardModifiers forward,
                   Qt::KeyboardModifiers backward) {
    EditorAt(1);
    auto* note = window->findChild<QLabel*>("lblNote");
    for (const Jump& jump : jumps) {
      note->clear();
      Press(QApplication::focusWidget(), static_cast<Qt::Key>(key),
            jump.forward ? forward : backward);
      EXPECT_EQ(Current(), jump.row) << "jump to " << jump.row;
      EXPECT_EQ(note->text(), jump.note) << "jump to " << jump.row;
    }
  }

  // The system code page the window runs under, set before SetUp; 0 leaves
  // the one the locale implies.
  platform::CodePage codePage = 0;
  ScriptedDialogs dialogs;
  // Where the window keeps its recovery journals; none means the user's
  // state folder, which the test program puts in a folder of its own.
  std::optional<std::string> journalFolder;
  // Sees every cell the window draws, with the text and look it gives it.
  std::function<void(const QRect&, const QString&, const ProcFunc::CellLook&)> seeCell;
  std::unique_ptr<TfMain> window;
};

}  // namespace testsupport
