// Whatever is typed, pasted or dropped into the window's fields, the file
// that is saved stays a language file: no text brings a line break into an
// entry or a NUL into the file, a character the code page lacks is refused
// whole, and a text of millions of characters is kept byte for byte without
// making the window crawl.

#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QToolTip>
#include <algorithm>
#include <limits>

#include "app/CellPainter.h"
#include "support/TestSupport.h"
#include "ui/Controls.h"
#include "ui/SingleLineValidator.h"
#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"
#include "WindowFixture.h"

namespace {

using testsupport::ReadFile;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr std::size_t kK1Row = 3;  // table rows of kSource
const std::string kSource =
    "[-main-]\r\ntag=sk\r\nname=Slovensky\r\nProgramVersion=3.1\r\nTranslationVersion=3.1.0\r\n"
    "autor01=Ann\r\n[S]\r\nK1=%One%\r\nK2=%Two%\r\n";

// The destination as Ctrl+S writes it, from the fields' bytes.
std::string Saved(const std::string& name, const std::string& k1,
                  const std::string& authors = "autor01=Ann\r\n") {
  return "[-main-]\r\ntag=sk\r\nname=" + name +
         "\r\nProgramVersion=3.1\r\nTranslationVersion=3.1.0\r\ndate=2026-03-14\r\n" + authors +
         "\r\n[S]\r\nK1=%" + k1 + "%\r\nK2=%Two%\r\n\r\n";
}

class TypedInputTest : public testsupport::WindowTest {
 protected:
  void SetUp() override {
    codePage = 1250;
    WindowTest::SetUp();
    testsupport::WriteFile(dir / "en.lng", kSource);
    testsupport::WriteFile(dir / "sk.lng", "");
    window->ChangeWorkspace([&](workspace::Workspace& w) { w.LoadSource(dir / "en.lng"); });
    window->Workspace().SetSourceFileName(dir / "en.lng");
    window->Workspace().SetDestinationFileName(dir / "sk.lng");
  }

  // The cell editor of K1's translation, focused.
  QLineEdit* K1Editor() { return EditorAt(kK1Row); }
  std::string K1() const { return Cell(kK1Row); }
  const std::string& Name() const { return window->Workspace().Header().name; }

  std::string Save() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    return ReadFile(dir / "sk.lng");
  }

  // Replaces the field's whole text through the clipboard, as Ctrl+A, Ctrl+V.
  static void PasteOver(QWidget* field, const QString& text) {
    Focus(field);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
  }
  // Empties the field as a user would, then drops `text` into it as moved
  // from another application; whether the field took it as moved.
  static bool DropInto(QWidget* field, QWidget* target, const QString& text) {
    Focus(field);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    Press(field, Qt::Key_Delete);
    return Drop(target, text);
  }
  static bool Drop(QWidget* target, const QString& text) {
    QMimeData data;
    data.setText(text);
    QDragEnterEvent enter(QPoint(2, 2), Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(2, 2), Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::MoveAction;
  }

  // A click anywhere closes a tip at once.
  void CloseTip() {
    QTest::mouseClick(window->Label1, Qt::LeftButton);
    ASSERT_FALSE(QToolTip::isVisible());
  }

  testsupport::TempDir dir;
};

TEST_F(TypedInputTest, PastedOrDroppedLineBreaksAndNulsNeverReachTheFile) {
  struct Case {
    QString pasted;
    QString shown;
    std::string bytes;
  };
  const Case cases[] = {
      {"one\r\ntwo\nthree\rfour", "one two three four", "one two three four"},
      {U("a\u2028b\u2029c"), "a b c", "a b c"},
      {"end\r", "end ", "end "},  // a lone CR at the very end
      {QString("a") + QChar(0) + "b" + QChar(0), "ab", "ab"},
      {U("€ ł\r\nő"), U("€ ł ő"), "\x80 \xb3 \xf5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pasted.toStdString());
    QLineEdit* editor = K1Editor();
    ASSERT_NE(editor, nullptr);
    PasteOver(editor, c.pasted);
    EXPECT_EQ(editor->text(), c.shown);
    EXPECT_EQ(K1(), c.bytes);
    PasteOver(window->eLngName, c.pasted);
    EXPECT_EQ(window->eLngName->text(), c.shown);
    EXPECT_EQ(Name(), c.bytes);
    EXPECT_EQ(Save(), Saved(c.bytes, c.bytes));

    editor = K1Editor();
    EXPECT_TRUE(DropInto(editor, editor, c.pasted));
    EXPECT_EQ(K1(), c.bytes);
    EXPECT_TRUE(DropInto(window->eLngName, window->eLngName, c.pasted));
    EXPECT_EQ(Name(), c.bytes);
    EXPECT_EQ(Save(), Saved(c.bytes, c.bytes));
  }
}

TEST_F(TypedInputTest, InTheAuthorsMemoEveryLineBreakStartsAnAuthorAndNulsAreDropped) {
  const QString pasted = U("Zoë\u2028Ann\u2029Bob\rCy\r\n") + QChar(0) + "Dee\r";
  const std::vector<std::string> authors{"Zo\xeb", "Ann", "Bob", "Cy", "Dee"};
  const std::string saved =
      Saved("Slovensky", "One",
            "autor01=Zo\xeb\r\nautor02=Ann\r\nautor03=Bob\r\nautor04=Cy\r\nautor05=Dee\r\n");
  PasteOver(window->mAutors, pasted);
  EXPECT_EQ(window->Workspace().Header().authors, authors);
  EXPECT_EQ(Save(), saved);

  EXPECT_TRUE(DropInto(window->mAutors, window->mAutors->viewport(), pasted));
  EXPECT_EQ(window->Workspace().Header().authors, authors);
  window->mAutors->moveCursor(QTextCursor::End);
  QInputMethodEvent composed;
  composed.setCommitString(U("Eve\u2028Flo"));
  QApplication::sendEvent(window->mAutors, &composed);
  std::vector<std::string> more = authors;
  more.insert(more.end(), {"Eve", "Flo"});
  EXPECT_EQ(window->Workspace().Header().authors, more);

  // Typed, a separator starts an author too; a typed NUL is nothing, and
  // leaves the selection it would have replaced.
  Type(window->mAutors, U("\u2028Gil"));
  more.push_back("Gil");
  EXPECT_EQ(window->Workspace().Header().authors, more);
  window->mAutors->selectAll();
  Type(window->mAutors, QString(QChar(0)));
  EXPECT_EQ(window->Workspace().Header().authors, more);
}

TEST_F(TypedInputTest, ACharacterTheCodePageLacksIsRefusedWholeWhereverItComesFrom) {
  struct Case {
    QString text;
    QString named;  // how the tip begins
  };
  const Case cases[] = {
      {U("ok 中文"), U("\"中\", \"文\" cannot be saved")},
      {U("a😀b"), U("\"😀\" cannot be saved")},
      {QString(QChar(0xDC00)) + "x", "U+DC00 cannot be saved"},  // a lone surrogate
      {U("line\r\nő ø"), U("\"ø\" cannot be saved")},
  };
  const std::string unchanged = Save();
  ASSERT_EQ(unchanged, Saved("Slovensky", "One"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    QLineEdit* editor = K1Editor();
    ASSERT_NE(editor, nullptr);
    struct Field {
      QWidget* field;
      QWidget* dropTarget;
    };
    // The grid's editor closes as the focus leaves the grid, so it comes first.
    for (const Field f : {Field{editor, editor}, Field{window->eLngName, window->eLngName},
                          Field{window->mAutors, window->mAutors->viewport()}}) {
      const auto attempt = [&](const char* how, auto&& input) {
        SCOPED_TRACE(how);
        CloseTip();
        Focus(f.field);
        input();
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_TRUE(QToolTip::text().startsWith(c.named)) << QToolTip::text().toStdString();
        EXPECT_EQ(K1(), "One");
        EXPECT_EQ(Name(), "Slovensky");
        EXPECT_EQ(window->Workspace().Header().authors, std::vector<std::string>{"Ann"});
      };
      attempt("pasted", [&] {
        QApplication::clipboard()->setText(c.text);
        QTest::keyClick(f.field, Qt::Key_V, Qt::ControlModifier);
      });
      // Not taken, or the application it was moved from would delete it.
      attempt("dropped", [&] { EXPECT_FALSE(Drop(f.dropTarget, c.text)); });
      if (c.text[0].isPrint()) {  // no keyboard types half a character
        attempt("typed", [&] {
          QTest::sendKeyEvent(QTest::Click, f.field, Qt::Key_unknown, c.text, {});
        });
      }
    }
    EXPECT_EQ(window->eLngName->text(), "Slovensky");
    EXPECT_EQ(window->mAutors->toPlainText(), "Ann");
  }
  EXPECT_EQ(Save(), unchanged);
}

TEST_F(TypedInputTest, TextsOfMillionsOfCharactersAreKeptWholeAndOnlyTheirShownPartIsDrawn) {
  // Central European letters and the euro sign, and a line break now and then.
  const QString words = U("Žltý kôň úpel ďábelské ódy € ");
  const std::string wordBytes = "\x8elt\xfd k\xf4\xf2 \xfapel \xef\xe1" "belsk\xe9 \xf3" "dy \x80 ";
  for (const int lines : {1'100, 11'000}) {  // about 1 MB and 10 MB
    SCOPED_TRACE(lines);
    QString pasted;
    std::string bytes;
    for (int i = 0; i < lines; ++i) {
      for (int j = 0; j < 32; ++j) {
        pasted += words;
        bytes += wordBytes;
      }
      pasted += "\r\n";
      bytes += ' ';
    }
    QLineEdit* editor = K1Editor();
    ASSERT_NE(editor, nullptr);
    PasteOver(editor, pasted);
    EXPECT_EQ(editor->text().size(), static_cast<qsizetype>(bytes.size()));
    EXPECT_TRUE(K1() == bytes);
    if (lines < 10'000) {  // a keystroke there costs the toolkit a second
      testsupport::WindowTest::Type(editor, "!!!");
      bytes += "!!!";
      EXPECT_TRUE(K1() == bytes);
    }

    // The editor covers its cell as it would for a short text.
    QStyleOptionViewItem cell;
    cell.rect = window->sgPreklad->visualRect(window->sgPreklad->currentIndex());
    window->sgPreklad->itemDelegate()->updateEditorGeometry(editor, cell, window->sgPreklad->currentIndex());
    EXPECT_EQ(editor->geometry(), cell.rect);
    Press(editor, Qt::Key_Down);

    // Once the editor has moved on, the grid draws only the start of the
    // text, as much as can show, which looks exactly as the whole would.
    const QString drawn = ProcFunc::PaintedPart(window->sgPreklad->Model()->CellText(1, kK1Row),
                                                window->sgPreklad->TranslationColumnWidth(),
                                                ProcFunc::CellAlignment::Left);
    EXPECT_TRUE(drawn.startsWith(words));
    EXPECT_GT(drawn.size(), window->sgPreklad->TranslationColumnWidth());
    EXPECT_LT(drawn.size(), 4 * window->sgPreklad->TranslationColumnWidth() + 100);
    const QImage painted = window->sgPreklad->viewport()->grab().toImage();
    window->Workspace().Table().SetTranslation(
        kK1Row, bytes.substr(0, static_cast<std::size_t>(window->sgPreklad->TranslationColumnWidth())));
    EXPECT_TRUE(window->sgPreklad->viewport()->grab().toImage() == painted);
    window->Workspace().Table().SetTranslation(kK1Row, bytes);

    EXPECT_TRUE(Save() == Saved("Slovensky", bytes));
  }

  PasteOver(window->eLngName, QString(1'000'000, u'ž'));
  testsupport::WindowTest::Type(window->eLngName, "!!!");
  const std::string name = std::string(1'000'000, '\x9e') + "!!!";
  EXPECT_TRUE(Name() == name);
  EXPECT_TRUE(Save() == Saved(name, K1()));
}

}  // namespace
