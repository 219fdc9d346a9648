// The translator's view around the grid: the source pane with the other
// languages, the progress line, the jumps to untranslated rows, and find with
// its filter, on a real folder of language files.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <sys/stat.h>

#include "app/TextCodec.h"
#include "support/TestSupport.h"
#include "ui/Controls.h"
#include "ui/TranslationModel.h"
#include "WindowFixture.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

// Bytes in windows-1250 but the Russian file's, which are windows-1251.
const std::string kSource =
    "[-main-]\r\ntag=en\r\nname=English\r\n\r\n"
    "[Form1]\r\nCaption=Main window\r\nBtn=OK\r\nCancel=Cancel\r\n\r\n"
    "[Form2]\r\nTitle=Open file\r\nHint=Choose a file\r\nFileName=Name\r\n\r\n"
    "[Form3]\r\nDone=Done\r\n";
const std::string kDestination =
    "[-main-]\r\ntag=sk\r\nname=Sloven\xE8ina\r\n"
    "[Form1]\r\nCaption=Hlavn\xE9 okno\r\nBtn=OK\r\n"
    "[Form2]\r\nTitle=Otvori\x9D s\xFA" "bor\r\nFileName=N\xE1zov\r\n"
    "[Form3]\r\nDone=Hotovo\r\n";
const std::string kCzech =
    "[-main-]\r\ntag=cs\r\nname=\xC8" "e\x9Atina\r\n[Form1]\r\nCaption=Hlavn\xED okno\r\n";
const std::string kRussianCaption = "\xC3\xEB\xE0\xE2\xED\xEE\xE5 \xEE\xEA\xED\xEE";
const std::string kRussian =
    "[-main-]\r\ntag=ru\r\nname=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\r\n[Form1]\r\nCaption=" +
    kRussianCaption + "\r\n";

// Table rows of the merged table.
constexpr std::size_t kCaption = 3, kBtn = 4, kCancel = 5, kTitle = 8, kHint = 9, kFileName = 10;

class TranslatorViewTest : public testsupport::WindowTest {
 protected:
  void SetUp() override {
    codePage = 1250;
    dialogs.strict = true;
    WindowTest::SetUp();
    WriteFile(dir / "en.lng", kSource);
    WriteFile(dir / "sk.lng", kDestination);
    WriteFile(dir / "cs.lng", kCzech);
    WriteFile(dir / "ru.lng", kRussian);
    WriteFile(dir / "de.ilng", kCzech);  // another kind of file
    ASSERT_EQ(mkdir((dir / "pl.lng").c_str(), 0700), 0);  // unreadable to anyone
    window->cbProgram->setCurrentIndex(1);
    dialogs.openAnswers = {dir / "en.lng"};
    dialogs.saveAnswers = {dir / "sk.lng"};
    window->bitOpen->click();
    ASSERT_EQ(window->Workspace().DestinationFileName(), dir / "sk.lng");
    dialogs.boxes.clear();
  }

  template <class T>
  T* Child(const char* name) const {
    return window->findChild<T*>(name);
  }
  QString Progress() const { return Child<QLabel>("lblProgress")->text(); }
  QString Note() const { return Child<QLabel>("lblNote")->text(); }
  QString Pane() const { return Child<QPlainTextEdit>("SourcePane")->toPlainText(); }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    Press(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
  }
  // Types at the end of the current cell's text.
  void TypeInCell(const QString& text) {
    QLineEdit* editor = window->sgPreklad->CellEditor();
    editor->end(false);
    Type(editor, text);
  }

  testsupport::TempDir dir;
};

TEST_F(TranslatorViewTest, ThePaneShowsTheSourceAndOtherLanguagesAndCopiesThemAsOneStep) {
  const std::string czech = ReadFile(dir / "cs.lng"), russian = ReadFile(dir / "ru.lng");
  EditorAt(kCaption);
  const QStringList lines = Pane().split('\n');
  ASSERT_EQ(lines.size(), 4) << Pane().toStdString();
  EXPECT_EQ(lines[0], "Source: Main window");
  EXPECT_EQ(lines[1], QString::fromUtf8("Alt+1  Čeština (cs): Hlavní okno"));
  // Another code page's bytes are shown as this one reads them, and kept.
  EXPECT_TRUE(lines[2].startsWith("Alt+2  ")) << lines[2].toStdString();
  EXPECT_TRUE(lines[2].contains(" (ru): ")) << lines[2].toStdString();
  EXPECT_TRUE(lines[3].startsWith("pl.lng: cannot be read")) << lines[3].toStdString();
  // The source text of a translated row is what the source file holds.
  EditorAt(kTitle);
  EXPECT_TRUE(Pane().startsWith("Source: Open file\nAlt+1  ")) << Pane().toStdString();
  for (std::size_t row : {std::size_t{1}, std::size_t{2}, std::size_t{6}}) {
    EditorAt(row);
    EXPECT_EQ(Pane(), "") << "row " << row;
  }

  // Each copy is one step: undo takes back exactly it.
  EditorAt(kCaption);
  TypeInCell("!");
  Key(Qt::Key_B);
  EXPECT_EQ(Cell(kCaption), "Main window");
  Key(Qt::Key_2, Qt::AltModifier);
  EXPECT_EQ(Cell(kCaption), kRussianCaption);
  EXPECT_EQ(window->sgPreklad->CellEditor()->text(), TextCodec::System().Decode(kRussianCaption));
  Key(Qt::Key_1, Qt::AltModifier);
  EXPECT_EQ(Cell(kCaption), "Hlavn\xED okno");
  Key(Qt::Key_Z);
  EXPECT_EQ(Cell(kCaption), kRussianCaption);
  Key(Qt::Key_Z);
  Key(Qt::Key_Z);
  EXPECT_EQ(Cell(kCaption), "Hlavn\xE9 okno!");
  // A language without the key copies nothing and says so.
  EditorAt(kHint);
  Key(Qt::Key_1, Qt::AltModifier);
  EXPECT_EQ(Cell(kHint), "Choose a file");
  EXPECT_TRUE(Note().contains("has no text")) << Note().toStdString();

  // The other languages were only read.
  Key(Qt::Key_S);
  EXPECT_EQ(ReadFile(dir / "cs.lng"), czech);
  EXPECT_EQ(ReadFile(dir / "ru.lng"), russian);
  EXPECT_TRUE(dialogs.boxes.empty());

  // Every Open reads the other languages again, the same files too; and a
  // source opened with no destination is its own source text, not the one
  // the last merge left.
  WriteFile(dir / "cs.lng", "[-main-]\r\ntag=cs\r\nname=Czech\r\n[Form1]\r\nCaption=Okno\r\n");
  dialogs.openAnswers = {dir / "en.lng", dir / "cs.lng"};
  dialogs.saveAnswers = {dir / "sk.lng", std::nullopt};
  window->bitOpen->click();
  EditorAt(kCaption);
  EXPECT_TRUE(Pane().contains("\nAlt+1  Czech (cs): Okno\n")) << Pane().toStdString();
  window->bitOpen->click();
  EditorAt(kCaption);
  EXPECT_EQ(Pane(), "Source: Okno");
}

TEST_F(TranslatorViewTest, ProgressAndTheJumpsFollowTheUntranslatedRows) {
  EXPECT_EQ(Progress(), "7 entries: 4 translated, 3 untranslated (57%)");
  const Jump jumps[] = {{true, kBtn, ""},
                        {true, kCancel, ""},
                        {true, kHint, ""},
                        {true, kBtn, "Continued from the top."},
                        {false, kHint, "Continued from the bottom."},
                        {false, kCancel, ""}};
  ExpectJumps(jumps, Qt::Key_J, Qt::ControlModifier, Qt::ControlModifier | Qt::ShiftModifier);

  // Typing counts at once; Ctrl+Return leaves the cell for the next one left.
  EditorAt(kBtn);
  TypeInCell("!");
  EXPECT_EQ(Progress(), "7 entries: 5 translated, 2 untranslated (71%)");
  Key(Qt::Key_Return);
  EXPECT_EQ(Current(), kCancel);
  EXPECT_EQ(Cell(kBtn), "OK!");
  TypeInCell("x");
  Key(Qt::Key_Return);
  EXPECT_EQ(Current(), kHint);
  TypeInCell("x");
  EXPECT_EQ(Progress(), "7 entries: 7 translated, 0 untranslated (100%)");
  Key(Qt::Key_J);
  EXPECT_EQ(Current(), kHint);
  EXPECT_EQ(Note(), "No untranslated rows are left.");
  // Undo counts back, and a save changes nothing of the count.
  Key(Qt::Key_Z);
  Key(Qt::Key_S);
  EXPECT_EQ(Progress(), "7 entries: 6 translated, 1 untranslated (85%)");
}

TEST_F(TranslatorViewTest, FindGoesFromHitToHitAndTheFilterLeavesTheWorkLeft) {
  EditorAt(1);
  Key(Qt::Key_F);
  auto* field = Child<QLineEdit>("eFind");
  ASSERT_TRUE(field->isVisible());
  ASSERT_TRUE(field->hasFocus());
  // A key, a translation and a source text each hold it, in any case.
  Type(field, "FILE");
  struct Step {
    int key;
    Qt::KeyboardModifiers modifiers;
    std::size_t row;
    const char* count;
  };
  const Step steps[] = {{0, {}, kTitle, "1 of 3"},
                        {Qt::Key_Return, {}, kHint, "2 of 3"},
                        {Qt::Key_F3, {}, kFileName, "3 of 3"},
                        {Qt::Key_F3, {}, kTitle, "1 of 3"},
                        {Qt::Key_F3, Qt::ShiftModifier, kFileName, "3 of 3"}};
  for (const Step& step : steps) {
    if (step.key) Key(step.key, step.modifiers);
    EXPECT_EQ(Current(), step.row);
    EXPECT_EQ(Child<QLabel>("lblFindCount")->text(), step.count);
  }
  // Letter case by the code page: "SÚBOR" finds "súbor".
  field->clear();
  Type(field, QString::fromUtf8("SÚBOR"));
  EXPECT_EQ(Current(), kTitle);
  EXPECT_EQ(Child<QLabel>("lblFindCount")->text(), "1 of 1");

  // Only untranslated keys, and the sections that hold them.
  Child<QCheckBox>("cbUntranslatedOnly")->setChecked(true);
  const TranslationModel& model = *window->sgPreklad->Model();
  std::vector<std::size_t> shown;
  for (int row = 0; row < model.rowCount(); ++row) shown.push_back(model.TableRow(row));
  EXPECT_EQ(shown, (std::vector<std::size_t>{1, 2, kBtn, kCancel, 6, 7, kHint, 11}));
  // Editing there edits the real row, and a save keeps every row.
  Focus(window->sgPreklad);
  window->sgPreklad->setCurrentIndex(model.index(2, 0));
  TypeInCell("!");
  EXPECT_EQ(Cell(kBtn), "OK!");
  Key(Qt::Key_S);
  const std::string saved = ReadFile(dir / "sk.lng");
  for (const char* line : {"Btn=%OK!%", "Title=%Otvori\x9D s\xFA" "bor%", "Done=%Hotovo%"})
    EXPECT_NE(saved.find(line), std::string::npos) << line;

  Focus(field);
  Key(Qt::Key_Escape, {});
  EXPECT_FALSE(field->isVisible());
  EXPECT_EQ(model.rowCount(), 14);
  EXPECT_EQ(Current(), kBtn);
}

}  // namespace
