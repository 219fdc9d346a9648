// The checks as the translator meets them in the window: the marked keys and
// their tips, the count on the status line, F8 from row to row, and the
// editor's underlines, on a real Slovak translation with the Slovak
// dictionary.

#include <QCheckBox>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <set>

#include "support/TestSupport.h"
#include "ui/Controls.h"
#include "ui/TranslationModel.h"
#include "WindowFixture.h"

namespace {

using testsupport::WriteFile;

const std::string kSource =
    "[-main-]\r\ntag=en\r\nname=English\r\n\r\n"
    "[Form1]\r\nCount=Found %d files\r\nOpen=&Open\r\nSave=Save\r\nTitle=Main window\r\n"
    "Note=Read %s\r\n";
// windows-1250: a lost %d, a lost "&", a word no dictionary knows ("ôkno"),
// and Note left untranslated.
const std::string kDestination =
    "[-main-]\r\ntag=sk\r\nname=Sloven\xE8ina\r\n"
    "[Form1]\r\nCount=N\xE1jden\xE9 s\xFA" "bory\r\nOpen=Otvori\x9D\r\nSave=Ulo\x9Ei\x9D\r\n"
    "Title=Hlavn\xE9 \xF4kno\r\n";

constexpr std::size_t kCount = 3, kOpen = 4, kTitle = 6, kNote = 7;

class ChecksViewTest : public testsupport::WindowTest {
 protected:
  void SetUp() override {
    codePage = 1250;
    dialogs.strict = true;
    WindowTest::SetUp();
    WriteFile(dir / "en.lng", kSource);
    WriteFile(dir / "sk.lng", kDestination);
    seeCell = [this](const QRect&, const QString& text, const ProcFunc::CellLook& look) {
      if (look.marked) marked.insert(text);
    };
    window->cbProgram->setCurrentIndex(1);
    dialogs.openAnswers = {dir / "en.lng"};
    dialogs.saveAnswers = {dir / "sk.lng"};
    window->bitOpen->click();
    ASSERT_EQ(window->Workspace().DestinationFileName(), dir / "sk.lng");
    dialogs.boxes.clear();
  }

  QString Label(const char* name) const { return window->findChild<QLabel*>(name)->text(); }
  void Key(int key, Qt::KeyboardModifiers modifiers = {}) {
    Press(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
  }
  TEdit* EditAt(std::size_t row) { return qobject_cast<TEdit*>(EditorAt(row)); }
  QString Tip(std::size_t row) const {
    const TranslationModel& model = *window->sgPreklad->Model();
    return model.headerData(model.ModelRow(row), Qt::Vertical, Qt::ToolTipRole).toString();
  }
  // The keys painted with the mark, the whole grid painted afresh.
  std::set<QString> MarkedKeys() {
    marked.clear();
    window->sgPreklad->RepaintAll();
    QApplication::processEvents();
    return marked;
  }
  // Pixels of the red underline, which is drawn smooth, in shades of red.
  static int RedPixels(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        red += c.red() > 200 && c.red() - std::max(c.green(), c.blue()) > 100;
      }
    return red;
  }

  testsupport::TempDir dir;
  std::set<QString> marked;
};

TEST_F(ChecksViewTest, MarksCountsAndF8FollowTheFindingsAsTheTranslatorTypes) {
  EXPECT_EQ(Label("lblWarnings"), "3 warnings");
  EXPECT_EQ(Tip(kCount), "[placeholders] translation lacks %d");
  EXPECT_EQ(Tip(kOpen), "[accelerator] translation lacks the accelerator &");
  // Texts of the code page come through as the translator wrote them.
  EXPECT_EQ(Tip(kTitle), QString::fromUtf8("[spelling] unknown word: ôkno"));
  EXPECT_EQ(Tip(kNote), "");  // untranslated: nothing to check yet
  EXPECT_EQ(MarkedKeys(), (std::set<QString>{"Count", "Open", "Title"}));

  const Jump jumps[] = {{true, kCount, ""},
                        {true, kOpen, ""},
                        {true, kTitle, ""},
                        {true, kCount, "Continued from the top."},
                        {false, kTitle, "Continued from the bottom."},
                        {false, kOpen, ""}};
  ExpectJumps(jumps, Qt::Key_F8, Qt::NoModifier, Qt::ShiftModifier);

  // Each keystroke rechecks its row: the %d typed back clears it.
  EditorAt(kCount)->end(false);
  Type(window->sgPreklad->CellEditor(), " %d");
  EXPECT_EQ(Cell(kCount), "N\xE1jden\xE9 s\xFA" "bory %d");
  EXPECT_EQ(Label("lblWarnings"), "2 warnings");
  EXPECT_EQ(Tip(kCount), "");

  // Where the filter shows only the work left, F8 stays among those rows.
  window->findChild<QCheckBox*>("cbUntranslatedOnly")->setChecked(true);
  EditorAt(kNote);
  Key(Qt::Key_F8);
  EXPECT_EQ(Current(), kNote);
  EXPECT_EQ(Label("lblNote"), "No rows on show have warnings.");
  Type(window->sgPreklad->CellEditor(), QString::fromUtf8("Čítaj"));  // over the selected text
  EXPECT_EQ(Label("lblWarnings"), "3 warnings");
  Key(Qt::Key_F8);
  EXPECT_EQ(Current(), kNote);
  EXPECT_EQ(Label("lblNote"), "Continued from the top.");

  // Back to the source text, the row is untranslated and has nothing to check.
  Key(Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(Cell(kNote), "Read %s");
  EXPECT_EQ(Label("lblWarnings"), "2 warnings");

  // A language without a dictionary: once typing the tag pauses, nothing is
  // spelled, and "ôkno" is no longer a warning.
  Focus(window->eLngTag);
  window->eLngTag->selectAll();
  Type(window->eLngTag, "xx");
  EXPECT_TRUE(QTest::qWaitFor([&] { return Label("lblWarnings") == "1 warning"; }));
  EXPECT_EQ(Tip(kTitle), "");

  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(Modified());
  EXPECT_EQ(Label("lblWarnings"), "1 warning");
}

TEST_F(ChecksViewTest, TheEditorUnderlinesUnknownWordsWithoutDisturbingTheText) {
  TEdit* editor = EditAt(kTitle);
  ASSERT_NE(editor, nullptr);
  // The editor opens on the whole text selected, as before the underline.
  EXPECT_EQ(editor->selectedText(), QString::fromUtf8("Hlavné ôkno"));
  EXPECT_EQ(editor->Misspelled(), (QList<TextRun>{{7, 4}}));
  Key(Qt::Key_End);
  EXPECT_GT(RedPixels(editor), 0);

  // Typing moves the underline along with the text and keeps the cursor.
  Key(Qt::Key_Home);
  Type(editor, QString::fromUtf8("Nové "));
  EXPECT_EQ(editor->cursorPosition(), 5);
  EXPECT_EQ(editor->text(), QString::fromUtf8("Nové Hlavné ôkno"));
  EXPECT_EQ(editor->Misspelled(), (QList<TextRun>{{12, 4}}));
  Key(Qt::Key_End);
  for (int i = 0; i < 4; ++i) Key(Qt::Key_Backspace);
  Type(editor, "okno");
  EXPECT_EQ(Cell(kTitle), "Nov\xE9 Hlavn\xE9 okno");
  EXPECT_EQ(editor->Misspelled(), QList<TextRun>{});
  EXPECT_EQ(RedPixels(editor), 0);

  // Undo, once the cell is left, brings back the text and its underline.
  EditorAt(kCount);
  editor = EditAt(kTitle);
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Cell(kTitle), "Hlavn\xE9 \xF4kno");
  EXPECT_EQ(editor->Misspelled(), (QList<TextRun>{{7, 4}}));

  // An input method's composition shows its own looks; given up, the
  // underline comes back, and a committed word is underlined in its turn.
  const auto compose = [&](const char* preedit, const char* commit) {
    QInputMethodEvent event(QString::fromUtf8(preedit), {});
    event.setCommitString(QString::fromUtf8(commit));
    QApplication::sendEvent(editor, &event);
  };
  Key(Qt::Key_End);
  compose("\xC3\xB4", "");  // ô
  EXPECT_EQ(RedPixels(editor), 0);
  compose("", "");
  EXPECT_GT(RedPixels(editor), 0);
  compose("", " \xC3\xB4kn");
  EXPECT_EQ(Cell(kTitle), "Hlavn\xE9 \xF4kno \xF4kn");
  EXPECT_EQ(editor->Misspelled(), (QList<TextRun>{{7, 4}, {12, 3}}));
}

// A tip lists a screenful of findings at most; and before a destination is
// merged, the header is the source's, whose dictionary must not judge what
// is typed in the translation's language.
TEST_F(ChecksViewTest, TipsStayShortAndTheSourcesDictionarySpellsNothing) {
  EditorAt(kTitle);
  Type(window->sgPreklad->CellEditor(), QString::fromUtf8("ôkno ").repeated(25));
  const QStringList lines = Tip(kTitle).split(u'\n');
  ASSERT_EQ(lines.size(), 21);
  EXPECT_EQ(lines.back(), "... and 6 more");  // 25 words and the trailing space

  dialogs.answers = {"Discard"};
  dialogs.openAnswers = {dir / "en.lng"};
  dialogs.saveAnswers = {std::nullopt};
  window->bitOpen->click();
  ASSERT_EQ(window->Workspace().DestinationFileName(), "");
  TEdit* editor = EditAt(kTitle);
  Type(editor, QString::fromUtf8("Hlavné ôkno"));
  EXPECT_EQ(Cell(kTitle), "Hlavn\xE9 \xF4kno");
  EXPECT_EQ(Label("lblWarnings"), "");
  EXPECT_EQ(editor->Misspelled(), QList<TextRun>{});
}

}  // namespace
