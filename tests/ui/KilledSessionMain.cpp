// A translator's session that is killed mid-work: it opens SOURCE into a new
// DESTINATION, types into two cells (the last one's editor still open) and
// the language tag, says "typed" on its output and waits for its end.

#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <deque>

#include "app/ErrorHandler.h"
#include "platform/CodePage.h"
#include "platform/MessageStyle.h"
#include "ui/Controls.h"
#include "ui/TranslationGrid.h"
#include "ui/WindowDialogs.h"
#include "ui/f01_main.h"

namespace {

class Answers : public WindowDialogs {
 public:
  std::optional<std::string> ChooseFile(QWidget*, FileDialogKind,
                                        const workspace::FileDialogRequest&) override {
    if (files.empty()) return std::nullopt;
    auto file = files.front();
    files.pop_front();
    return file;
  }
  int Show(const ProcFunc::MessageBoxRequest&) override { return platform::kMessageOk; }
  std::deque<std::string> files;
};

void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  platform::OverrideSystemCodePage(1250);
  TApplication application(argc, argv);
  Answers answers;
  answers.files = {argv[1], argv[2]};
  TfMain window({{}, {}, &answers});
  window.show();
  window.activateWindow();
  if (!QTest::qWaitForWindowActive(&window)) return 4;
  window.cbProgram->setCurrentIndex(1);
  window.bitOpen->click();

  TranslationGrid& grid = *window.sgPreklad;
  grid.setFocus();
  for (int row : {2, 3}) {  // the table's rows 3 and 4
    grid.setCurrentIndex(grid.model()->index(row, 0));
    QApplication::processEvents();
    QLineEdit* editor = grid.CellEditor();
    if (!editor) return 3;
    editor->selectAll();
    Type(editor, row == 2 ? QString::fromUtf8("Hlavné okno") : QString::fromUtf8("Zrušiť"));
    if (row == 2) window.eLngTag->setFocus();
    if (row == 2) Type(window.eLngTag, QStringLiteral("-SK"));
    grid.setFocus();
  }
  std::puts("typed");
  std::fflush(stdout);
  for (;;) pause();
}
