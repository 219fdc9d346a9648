// A whole translation session in the real window: Open, the destination,
// edits in the grid and the header fields, Ctrl+S, and what the grid paints
// on the way. The file dialogs are answered by a script; the files are real.

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <map>

#include <unistd.h>

#include "support/TestSupport.h"
#include "ui/Colours.h"
#include "ui/Controls.h"
#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"
#include "WindowFixture.h"

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;


// cp1250 bytes throughout: "Ján Novák", "Hlavné okno", "Zrušiť".
const std::string kSource =
    "[-main-]\r\ntag=en\r\nname=English\r\nProgramVersion=3.1\r\nTranslationVersion=3.1.0\r\n"
    "date=2008-01-01\r\nautor01=Jane Doe\r\n"
    "[Form1]\r\nCaption=%Main window%\r\nBtn=%OK%\r\nCancel=%Cancel%\r\n"
    "[Msgs]\r\nErr1=%Failed%\r\n";
const std::string kDestination =
    "[-main-]\r\ntag=sk\r\nname=Slovensky\r\nProgramVersion=3.1\r\nTranslationVersion=3.1.2\r\n"
    "date=2009-01-01\r\nautor01=J\xe1n Nov\xe1k\r\n"
    "[Form1]\r\nCaption=%Hlavn\xe9 okno%\r\nBtn=%ok\x81%\r\nCancel=%Zru\x9ai\x9d%\r\n"
    "[Old]\r\nKept=1\r\n";

// Table rows of kSource.
constexpr std::size_t kCaptionRow = 3, kBtnRow = 4, kCancelRow = 5, kMsgsRow = 7, kErr1Row = 8;

struct Painted {
  QString text;
  ProcFunc::CellLook look;
  QRect rect;
};

class WorkflowTest : public testsupport::WindowTest {
 protected:
  void SetUp() override {
    codePage = 1250;
    dialogs.strict = true;
    WindowTest::SetUp();
    WriteFile(dir / "en.lng", kSource);
    window->cbProgram->setCurrentIndex(1);  // "[Farnel] - program interface"
  }

  void OpenInto(const std::string& destination) {
    dialogs.openAnswers = {dir / "en.lng"};
    dialogs.saveAnswers = {destination};
    window->bitOpen->click();
  }

  // Every cell that one part of the grid draws, by table row.
  std::map<std::size_t, Painted> Paint(QWidget* part, int firstTableRow) {
    std::map<std::size_t, Painted> cells;
    constexpr int kRowPitch = TranslationGrid::kRowHeight + TranslationGrid::kGridLine;
    seeCell = [&](const QRect& rect, const QString& text, const ProcFunc::CellLook& look) {
      cells[static_cast<std::size_t>(firstTableRow + rect.top() / kRowPitch)] = {text, look, rect};
    };
    part->grab();
    seeCell = nullptr;
    return cells;
  }
  std::map<std::size_t, Painted> Translations() { return Paint(window->sgPreklad->viewport(), 1); }
  std::map<std::size_t, Painted> Keys() { return Paint(window->sgPreklad->verticalHeader(), 1); }
  Painted Heading() { return Paint(window->sgPreklad->horizontalHeader(), 0).at(0); }

  testsupport::TempDir dir;
  testsupport::ScopedEnvironment wine{"WINEPREFIX", dir / "prefix"};
};

TEST_F(WorkflowTest, ANewDestinationIsACopyOfTheSourceWithEveryRowUntranslated) {
  OpenInto(dir / "sk");

  EXPECT_EQ(window->lblLoaded->text().toStdString(), dir / "en.lng");
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Please select your destination file.");
  EXPECT_EQ(dialogs.boxes[0].style, platform::kMessageInformation);
  EXPECT_EQ(dialogs.boxes[0].caption, "Orvane translator");
  ASSERT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(dialogs.saveRequests[0].filter, "Language file (*.lng)");
  EXPECT_EQ(dialogs.saveRequests[0].fileName, "[Farnel] - program interface en");

  EXPECT_EQ(ReadFile(dir / "sk.lng"),
            "[-main-]\r\ntag=en\r\nname=English\r\nProgramVersion=3.1\r\n"
            "TranslationVersion=3.1.0\r\ndate=2026-03-14\r\nautor01=Jane Doe\r\n\r\n"
            "[Form1]\r\nCaption=%Main window%\r\nBtn=%OK%\r\nCancel=%Cancel%\r\n\r\n"
            "[Msgs]\r\nErr1=%Failed%\r\n\r\n");
  EXPECT_EQ(window->bitSave->text(), "Save");
  EXPECT_FALSE(Modified());

  for (const auto& [row, cell] : Translations()) {
    if (!cell.text.isEmpty()) {
      EXPECT_EQ(cell.look.text, kMaroon) << row;
    }
    EXPECT_FALSE(cell.look.bold);
  }
  for (const auto& [row, cell] : Keys()) EXPECT_EQ(cell.look.text, Qt::black) << row;
  const Painted heading = Heading();
  EXPECT_EQ(heading.text, "translation");
  EXPECT_EQ(heading.look.text, kMaroon);
  EXPECT_TRUE(heading.look.bold);
  EXPECT_EQ(heading.look.alignment, ProcFunc::CellAlignment::Centred);

  // A later Open empties the destination; the caption stays.
  dialogs.openAnswers = {std::nullopt};
  dialogs.saveAnswers = {std::nullopt};
  window->bitOpen->click();
  EXPECT_EQ(window->Workspace().DestinationFileName(), "");
  EXPECT_EQ(window->bitSave->text(), "Save");
}

TEST_F(WorkflowTest, EditsInTheGridAndTheHeaderAreSavedByCtrlSByteForByte) {
  WriteFile(dir / "sk.lng", kDestination);
  OpenInto(dir / "sk.lng");
  const std::string merged =
      "[-main-]\r\ntag=sk\r\nname=Slovensky\r\nProgramVersion=3.1\r\nTranslationVersion=3.1.2\r\n"
      "date=2026-03-14\r\nautor01=J\xe1n Nov\xe1k\r\n\r\n"
      "[Form1]\r\nCaption=%Hlavn\xe9 okno%\r\nBtn=%ok\x81%\r\nCancel=%Zru\x9ai\x9d%\r\n\r\n"
      "[Old]\r\nKept=1\r\n\r\n[Msgs]\r\nErr1=%Failed%\r\n\r\n";
  EXPECT_EQ(ReadFile(dir / "sk.lng"), merged);
  EXPECT_EQ(window->eLngName->text(), "Slovensky");
  EXPECT_EQ(window->mAutors->toPlainText(), QString::fromUtf8("Ján Novák"));

  // Only the text the destination left as the source had it is maroon; a
  // change of letter case is a translation.
  auto painted = Translations();
  EXPECT_EQ(painted.at(kCaptionRow).text, QString::fromUtf8("Hlavné okno"));
  EXPECT_EQ(painted.at(kCaptionRow).look.text, Qt::black);
  EXPECT_EQ(painted.at(kBtnRow).look.text, Qt::black);
  EXPECT_EQ(painted.at(kCancelRow).text, QString::fromUtf8("Zrušiť"));
  EXPECT_EQ(painted.at(kErr1Row).look.text, kMaroon);
  EXPECT_EQ(Keys().at(kErr1Row).look.text, Qt::black);

  // Typed into the grid: the row turns black and Ctrl+S saves it.
  Focus(window->sgPreklad);
  for (std::size_t row = 1; row < kErr1Row; ++row) Press(window->sgPreklad->CellEditor(), Qt::Key_Down);
  QLineEdit* editor = window->sgPreklad->CellEditor();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  Type(editor, QString::fromUtf8("Zlyhanie č. 1"));
  EXPECT_TRUE(Modified());
  QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(Modified());
  std::string expected = merged;
  expected.replace(expected.find("Err1=%Failed%"), 13, "Err1=%Zlyhanie \xe8. 1%");
  EXPECT_EQ(ReadFile(dir / "sk.lng"), expected);
  Press(editor, Qt::Key_Up);
  EXPECT_EQ(Translations().at(kErr1Row).look.text, Qt::black);

  // A byte the code page leaves undefined survives an edit of its text.
  for (std::size_t row = kMsgsRow; row > kBtnRow; --row) Press(editor, Qt::Key_Up);
  editor = window->sgPreklad->CellEditor();
  editor->end(false);
  Type(editor, "!");
  expected.replace(expected.find("Btn=%ok\x81%"), 9, "Btn=%ok\x81!%");

  // Typed into a header field: Ctrl+S from there.
  Focus(window->eLngName);
  window->eLngName->end(false);
  Type(window->eLngName, QString::fromUtf8(" – SK"));
  QTest::keyClick(window->eLngName, Qt::Key_S, Qt::ControlModifier);
  expected.replace(expected.find("name=Slovensky"), 14, "name=Slovensky \x96 SK");
  EXPECT_EQ(ReadFile(dir / "sk.lng"), expected);
  EXPECT_EQ(dialogs.saveRequests.size(), 1u);  // no dialog after the first
  EXPECT_EQ(dialogs.boxes.size(), 1u);
}

TEST_F(WorkflowTest, TheGridPaintsTheCurrentCellAndUntranslatedRowsAsTheyStand) {
  // Opened, destination cancelled: no reference yet, so nothing is maroon,
  // and the current cell is white on the highlight while the grid has no
  // focus.
  dialogs.openAnswers = {dir / "en.lng"};
  dialogs.saveAnswers = {std::nullopt};
  window->bitOpen->click();
  window->bitSave->setFocus();
  auto painted = Translations();
  const QColor highlight = window->sgPreklad->palette().color(QPalette::Active, QPalette::Highlight);
  ASSERT_EQ(window->sgPreklad->CurrentTableRow(), 1u);
  EXPECT_EQ(painted.at(1).look.text, Qt::white);
  EXPECT_EQ(painted.at(1).look.background, highlight);
  for (const auto& [row, cell] : painted) {
    if (row == 1) continue;
    EXPECT_EQ(cell.look.text, Qt::black) << row;
    EXPECT_EQ(cell.look.background, window->sgPreklad->palette().color(QPalette::Base)) << row;
    EXPECT_EQ(cell.look.alignment, ProcFunc::CellAlignment::Left);
    EXPECT_EQ(cell.rect.left(), 0);
  }
  EXPECT_EQ(Heading().look.text, Qt::black);
  const auto keys = Keys();
  EXPECT_EQ(keys.at(kMsgsRow).text, "section - Msgs");
  EXPECT_EQ(keys.at(kMsgsRow).look.background, TranslationGrid::kFixedColour);
  EXPECT_FALSE(keys.at(kMsgsRow).look.bold);

  // After a merge with a copy: maroon wins over white on the current cell;
  // with the focus in the grid the editor shows that cell instead.
  dialogs.saveAnswers = {dir / "sk.lng"};
  window->bitSave->click();
  EXPECT_EQ(Translations().at(1).look.text, kMaroon);  // blank row: two empty texts
  Focus(window->sgPreklad);
  Type(window->sgPreklad->CellEditor(), "typed into a blank row");
  for (std::size_t row = 1; row < kCaptionRow; ++row) Press(window->sgPreklad->CellEditor(), Qt::Key_Down);
  window->sgPreklad->CellEditor()->clear();
  emit window->sgPreklad->CellEditor()->textEdited({});
  EXPECT_EQ(Translations().count(kCaptionRow), 0u);  // under the editor
  window->bitSave->setFocus();
  painted = Translations();
  EXPECT_EQ(painted.at(1).look.text, Qt::black);
  EXPECT_EQ(painted.at(kCaptionRow).text, "");
  EXPECT_EQ(painted.at(kCaptionRow).look.text, Qt::white);  // emptied: not untranslated
  EXPECT_EQ(painted.at(kBtnRow).look.text, kMaroon);
}

TEST_F(WorkflowTest, CancelAndTheSameFileInOtherLetterCaseAreRefusedWithTheirMessages) {
  dialogs.openAnswers = {std::nullopt};
  window->bitOpen->click();
  EXPECT_EQ(dialogs.BoxTexts(), (std::vector<QString>{"Please select your destination file.",
                                              "You need to select source file."}));
  EXPECT_TRUE(dialogs.saveRequests.empty());

  dialogs.boxes.clear();
  dialogs.openAnswers = {dir / "en.lng"};
  dialogs.saveAnswers = {dir / "EN.LNG", std::nullopt};
  window->bitOpen->click();
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].text,
            "Source file and destination file cannot be same. Please select other one.");
  EXPECT_EQ(dialogs.boxes[1].style, platform::kMessageWarning);
  EXPECT_EQ(window->bitSave->text(), "Save...");
  EXPECT_EQ(ReadFile(dir / "en.lng"), kSource);

  // The next Ctrl+S asks again.
  dialogs.saveAnswers = {dir / "sk.lng"};
  Focus(window->eLngTag);
  QTest::keyClick(window->eLngTag, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(dialogs.saveRequests.size(), 3u);
  EXPECT_TRUE(std::filesystem::exists(dir / "sk.lng"));
}

TEST_F(WorkflowTest, BothPathsAreShownAsTheTranslatorKnowsThemAndANewSourceHasNoDestination) {
  OpenInto(dir / "sk");
  EXPECT_EQ(window->lblDestination->text().toStdString(), dir / "sk.lng");
  const QRect source = window->lblLoaded->geometry();
  const QRect destination = window->lblDestination->geometry();
  EXPECT_FALSE(source.intersects(destination));
  EXPECT_TRUE(window->Panel1->rect().contains(source));
  EXPECT_TRUE(window->Panel1->rect().contains(destination));

  dialogs.openAnswers = {std::nullopt};
  dialogs.saveAnswers = {std::nullopt};
  window->bitOpen->click();
  EXPECT_EQ(window->lblDestination->text(), "");
  EXPECT_EQ(window->lblLoaded->text().toStdString(), dir / "en.lng");

  // In the Wine prefix, reached either way: by their Windows names.
  const std::string languages = dir / "prefix/drive_c/Program Files/Orvane/Farnel/Languages";
  std::filesystem::create_directories(languages);
  std::filesystem::create_directories(dir / "prefix/drive_c/users/Jo\xc5\xbeo");
  std::filesystem::create_directories(dir / "prefix/dosdevices");
  ASSERT_EQ(symlink("../drive_c", (dir / "prefix/dosdevices/c:").c_str()), 0);
  WriteFile(languages + "/en.lng", kSource);
  dialogs.openAnswers = {dir / "prefix/dosdevices/c:/Program Files/Orvane/Farnel/Languages/en.lng"};
  dialogs.saveAnswers = {dir / "prefix/drive_c/users/Jo\xc5\xbeo/sloven\xc4\x8dina"};
  window->bitOpen->click();
  EXPECT_EQ(window->lblLoaded->text(), "C:\\Program Files\\Orvane\\Farnel\\Languages\\en.lng");
  EXPECT_EQ(window->lblDestination->text(), QString::fromUtf8("C:\\users\\Jožo\\slovenčina.lng"));
  EXPECT_TRUE(std::filesystem::exists(dir / "prefix/drive_c/users/Jo\xc5\xbeo/sloven\xc4\x8dina.lng"));
}

TEST_F(WorkflowTest, AMissingSourceGivesAnEmptyTableAndAHeaderOnlyDestination) {
  dialogs.openAnswers = {dir / "typed.lng"};
  dialogs.saveAnswers = {dir / "sk.lng"};
  window->bitOpen->click();
  EXPECT_EQ(window->sgPreklad->Model()->rowCount(), 1);
  EXPECT_EQ(window->eLngTag->text(), "");
  EXPECT_EQ(ReadFile(dir / "sk.lng"),
            "[-main-]\r\ntag=\r\nname=\r\nProgramVersion=\r\nTranslationVersion=\r\n"
            "date=2026-03-14\r\n\r\n");
}

TEST_F(WorkflowTest, TheOpenDialogStartsWhereTheSiblingsSettingsSay) {
  const std::string data = dir / "prefix/drive_c/ProgramData/Orvane/Farnel/Data";
  std::filesystem::create_directories(data);
  dialogs.openAnswers = {std::nullopt, std::nullopt};
  window->bitOpen->click();  // settings file missing
  WriteFile(data + "/settings.orv", "[Inst]\r\nlocation=/opt/farnel\r\n");
  window->bitOpen->click();
  ASSERT_EQ(dialogs.openRequests.size(), 2u);
  EXPECT_EQ(dialogs.openRequests[0].initialFolder, ProcFunc::ProgramIdentity().applicationFolder);
  EXPECT_EQ(dialogs.openRequests[1].initialFolder, "/opt/farnel/Languages");
  EXPECT_EQ(dialogs.openRequests[1].filter, "Language files of program Farnel (*.lng)");
}

TEST_F(WorkflowTest, AFailedSaveIsShownAndLeavesTheIndicatorMarked) {
  OpenInto(dir / "sk.lng");
  std::filesystem::remove(dir / "sk.lng");
  std::filesystem::create_directories(dir / "sk.lng");  // cannot be replaced by a file
  dialogs.boxes.clear();
  Focus(window->sgPreklad);
  Type(window->sgPreklad->CellEditor(), "x");
  QTest::keyClick(window->sgPreklad->CellEditor(), Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].style, platform::kMessageError);
  EXPECT_TRUE(dialogs.boxes[0].text.startsWith("Cannot create file \"" + QString::fromStdString(dir / "sk.lng")))
      << dialogs.boxes[0].text.toStdString();
  EXPECT_TRUE(Modified());
}

TEST_F(WorkflowTest, TheToolkitDialogsListTheKindsFilesAndCheckNothing) {
  const workspace::FileDialogRequest request{dir.path(), "Language files of invoices (*.ilng)",
                                             "[Farnel] - invoice sk"};
  const auto open = NewFileDialog(window.get(), FileDialogKind::Open, request);
  EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open->fileMode(), QFileDialog::AnyFile);  // a name that does not exist is taken
  EXPECT_EQ(open->nameFilters(), QStringList{"Language files of invoices (*.ilng)"});
  EXPECT_EQ(open->directory().absolutePath().toStdString(), dir.path());
  EXPECT_TRUE(open->isSizeGripEnabled());
  const auto save = NewFileDialog(window.get(), FileDialogKind::Save, request);
  EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(save->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_TRUE(save->testOption(QFileDialog::DontUseNativeDialog));

  // Shown for real: a typed name comes back as a full path.
  dialogs.toolkitFileDialogs = true;
  WriteFile(dir / "cs.lng", "[-main-]\r\ntag=cs\r\n");
  QTimer::singleShot(0, [&] {
    // The save dialog that follows is the script's, cancelled, so nothing
    // is left waiting whatever happens here.
    dialogs.toolkitFileDialogs = false;
    dialogs.saveAnswers = {std::nullopt};
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "no file dialog";
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
      return;
    }
    dialog->selectFile(QString::fromStdString(dir / "cs.lng"));
    static_cast<QDialog*>(dialog)->accept();
  });
  window->bitOpen->click();
  EXPECT_EQ(window->Workspace().SourceFileName(), dir / "cs.lng");
  EXPECT_EQ(window->eLngTag->text(), "cs");
}

}  // namespace
