// The main window as a user meets it: its controls and their places, the
// focus order, the column widths, the unsaved-changes indicator, Ctrl+S and
// the header fields bound to the workspace.

#include <QAbstractItemView>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <QTextCursor>
#include <algorithm>

#include "ui/ColumnSplit.h"
#include "ui/Controls.h"
#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"
#include "WindowFixture.h"

namespace {

using testsupport::WindowTest;

TEST_F(WindowTest, StartsMaximisedCaptionedAndEmpty) {
  EXPECT_EQ(window->windowTitle(), "Orvane translator [v 2.103 (build 15)]");
  EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
  const QStringList kinds = {"[Farnel] - invoice", "[Farnel] - program interface",
                             "[Quillom] - program interface", "[Tobrin] - invoice"};
  ASSERT_EQ(window->cbProgram->count(), kinds.size());
  for (int i = 0; i < kinds.size(); ++i) EXPECT_EQ(window->cbProgram->itemText(i), kinds[i]);
  EXPECT_EQ(window->cbProgram->currentIndex(), 0);
  EXPECT_FALSE(window->cbProgram->isEditable());
  EXPECT_EQ(window->eDate->date(), QDate(2026, 3, 14));
  for (QLineEdit* edit : {window->eLngTag, window->eLngName, window->eProgramVersion,
                          window->eTranslateVersion})
    EXPECT_TRUE(edit->text().isEmpty());
  EXPECT_TRUE(window->mAutors->toPlainText().isEmpty());
  EXPECT_TRUE(window->lblLoaded->text().isEmpty());
  EXPECT_TRUE(window->lblDestination->text().isEmpty());
  EXPECT_EQ(window->mAutors->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_FALSE(window->sgPreklad->verticalScrollBar()->hasTracking());  // no live scrolling
  // Two empty rows: the heading row and one row to type into.
  TranslationModel* model = window->sgPreklad->Model();
  EXPECT_EQ(model->rowCount(), 1);
  EXPECT_EQ(model->CellText(0, 0), "");
  EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "");
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(window->Workspace().SourceFileName().empty());
  EXPECT_EQ(window->Workspace().Reference(), nullptr);
}

TEST(MainWindow, CaptionsItselfFromTheRunningExecutable) {
  testsupport::ScriptedDialogs dialogs;
  TfMain window(TfMainOptions{{}, {}, &dialogs});  // this test program is stamped with the project's version
  EXPECT_EQ(window.windowTitle(), "Orvane translator [v 1.00 (build 2)]");
}

TEST(MainWindow, TheDateFieldUsesTheUsersShortFormatWithTheWholeYear) {
  testsupport::ScriptedDialogs dialogs;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));  // "M/d/yy"
  TfMain american(TfMainOptions{STAMPED_PROGRAM, &testsupport::FixedNow, &dialogs});
  QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
  TfMain slovak(TfMainOptions{STAMPED_PROGRAM, &testsupport::FixedNow, &dialogs});
  QLocale::setDefault(QLocale::system());
  EXPECT_EQ(american.eDate->text(), "3/14/2026");
  EXPECT_EQ(slovak.eDate->text(), "14. 3. 2026");
}

TEST_F(WindowTest, ControlsStandWhereTheLayoutPutsThem) {
  const std::pair<QWidget*, QRect> placed[] = {
      {window->cbProgram, {8, 24, 169, 21}},    {window->bitOpen, {8, 64, 81, 33}},
      {window->bitSave, {96, 64, 83, 33}},      {window->Label9, {96, 96, 81, 13}},
      {window->GroupBox1, {192, 8, 425, 105}},  {window->Label6, {624, 12, 120, 101}},
      {window->eLngTag, {112, 16, 121, 21}},    {window->eLngName, {112, 36, 121, 21}},
      {window->eProgramVersion, {112, 56, 121, 21}}, {window->eTranslateVersion, {112, 76, 121, 21}},
      {window->eDate, {280, 16, 105, 21}},      {window->mAutors, {280, 42, 137, 55}},
  };
  for (const auto& [widget, geometry] : placed)
    EXPECT_EQ(widget->geometry(), geometry) << widget->objectName().toStdString();

  const std::pair<QLabel*, QPoint> labels[] = {
      {window->Label1, {8, 8}},   {window->Label10, {8, 52}}, {window->Label11, {96, 52}},
      {window->lblLoaded, {8, 115}}, {window->lblDestination, {8, 130}},
  };
  for (const auto& [label, position] : labels)
    EXPECT_EQ(label->pos(), position) << label->objectName().toStdString();
  EXPECT_EQ(window->Label1->text(), "Program ");
  EXPECT_EQ(window->Label9->text(), "(Ctrl+S)");
  EXPECT_EQ(window->bitOpen->text(), "Open...");
  EXPECT_EQ(window->bitSave->text(), "Save...");
  EXPECT_EQ(window->bitOpen->iconSize(), QSize(16, 16));
  EXPECT_EQ(window->bitSave->iconSize(), QSize(17, 17));
  EXPECT_FALSE(window->bitOpen->icon().isNull());
  EXPECT_FALSE(window->bitSave->icon().isNull());

  // The header labels end next to their fields, whatever their font's width.
  for (QLabel* label : {window->Label2, window->Label3, window->Label4, window->Label5})
    EXPECT_EQ(label->geometry().right() + 1, 111) << label->text().toStdString();
  for (QLabel* label : {window->Label7, window->Label8})
    EXPECT_EQ(label->geometry().right() + 1, 279) << label->text().toStdString();
  for (QLabel* label : {window->Label2, window->Label3, window->Label4, window->Label5})
    EXPECT_GE(label->x(), 1) << "cut off: " << label->text().toStdString();

  // The panel keeps its height; the grid takes the rest of the client area
  // but for the source pane and the status line under it.
  EXPECT_EQ(window->Panel1->geometry(), QRect(0, 0, window->width(), 146));
  const auto inWindow = [&](const QWidget* widget) {
    return QRect(widget->mapTo(&*window, QPoint(0, 0)), widget->size());
  };
  const QRect grid = inWindow(window->sgPreklad);
  const QRect pane = inWindow(window->findChild<QWidget*>("SourcePane"));
  const QRect status = inWindow(window->findChild<QWidget*>("StatusLine"));
  EXPECT_EQ(grid.topLeft(), QPoint(0, 146));
  EXPECT_EQ(grid.width(), window->width());
  EXPECT_EQ(pane.width(), window->width());
  EXPECT_LT(grid.bottom(), pane.top());
  EXPECT_LT(pane.bottom(), status.top());
  EXPECT_EQ(status.bottom(), window->height() - 1);
  EXPECT_GT(grid.height(), window->height() / 2);
}

TEST_F(WindowTest, TabVisitsTheControlsInOrderAndLeavesTheGrid) {
  const std::vector<QWidget*> order = {
      window->cbProgram,       window->bitOpen,           window->bitSave,
      window->eLngTag,         window->eLngName,          window->eProgramVersion,
      window->eTranslateVersion, window->eDate,           window->mAutors,
      window->sgPreklad,       window->cbProgram,
  };
  const auto control = [&](QWidget* focus) -> QWidget* {
    for (QWidget* candidate : order)
      if (focus && (focus == candidate || candidate->isAncestorOf(focus))) return candidate;
    return focus;
  };
  Focus(window->cbProgram);
  for (std::size_t i = 1; i < order.size(); ++i) {
    Press(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(control(QApplication::focusWidget()), order[i])
        << "after " << order[i - 1]->objectName().toStdString();
  }
  // And back, out of the grid's cell editor.
  Focus(window->sgPreklad);
  ASSERT_NE(window->sgPreklad->CellEditor(), nullptr);
  Press(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(control(QApplication::focusWidget()), window->mAutors);
  EXPECT_EQ(window->sgPreklad->CellEditor(), nullptr);
}

TEST(ColumnWidths, SplitTheWidthLessFiftyThirtySeventyRoundingHalvesToEven) {
  EXPECT_EQ(ColumnWidths(400), std::make_pair(105, 245));
  EXPECT_EQ(ColumnWidths(405), std::make_pair(107, 248));  // 106.5000000000000000052
  EXPECT_EQ(ColumnWidths(1000), std::make_pair(285, 665));
  EXPECT_EQ(ColumnWidths(55), std::make_pair(2, 4));  // 1.5 and 3.5 go to even
  EXPECT_EQ(ColumnWidths(75), std::make_pair(8, 18));  // 7.5 to 8, 17.5 to 18
  EXPECT_EQ(ColumnWidths(0), std::make_pair(-15, -35));
}

TEST_F(WindowTest, ColumnsFollowEveryResizeAndTheWindowStaysAtLeast400Square) {
  window->showNormal();
  QApplication::processEvents();
  const QSize frame = window->frameGeometry().size() - window->size();
  window->resize(QSize(400, 450) - frame);
  QApplication::processEvents();
  ASSERT_EQ(window->frameGeometry().width(), 400);
  EXPECT_EQ(window->sgPreklad->KeyColumnWidth(), 105);
  EXPECT_EQ(window->sgPreklad->TranslationColumnWidth(), 245);

  // A dragged column gives way to the split at the next resize.
  window->sgPreklad->SetKeyColumnWidth(30);
  window->resize(QSize(1000, 450) - frame);
  QApplication::processEvents();
  EXPECT_EQ(window->sgPreklad->KeyColumnWidth(), 285);
  EXPECT_EQ(window->sgPreklad->TranslationColumnWidth(), 665);

  window->resize(300, 200);
  QApplication::processEvents();
  EXPECT_EQ(window->frameGeometry().size(), QSize(400, 400));
}

TEST_F(WindowTest, EveryKeyInTheGridButArrowsEscAndEnterAndEveryEditMarksTheIndicator) {
  Focus(window->sgPreklad);
  QLineEdit* editor = window->sgPreklad->CellEditor();
  ASSERT_NE(editor, nullptr);
  for (Qt::Key key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Escape,
                      Qt::Key_Return, Qt::Key_Enter}) {
    Press(QApplication::focusWidget(), key);
    EXPECT_FALSE(Modified()) << key;
  }
  for (Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_A, Qt::Key_Delete, Qt::Key_Backspace,
                      Qt::Key_PageDown, Qt::Key_Home, Qt::Key_F2, Qt::Key_Insert}) {
    window->Workspace().SetModified(false);
    ASSERT_FALSE(Modified());
    Press(QApplication::focusWidget(), key);
    EXPECT_TRUE(Modified()) << key;
    // The indicator shows that state, on both of its captions.
    EXPECT_EQ(window->bitSave->palette().color(QPalette::ButtonText), QColor(128, 0, 0));
    EXPECT_EQ(window->Label9->palette().color(QPalette::WindowText), QColor(128, 0, 0));
  }

  window->Workspace().SetModified(false);
  EXPECT_EQ(window->bitSave->palette().color(QPalette::ButtonText),
            QPalette().color(QPalette::WindowText));
  // Edits outside the grid mark it too, by keyboard or any other route.
  const std::pair<const char*, std::function<void()>> edits[] = {
      {"typed tag", [&] { Focus(window->eLngTag); QTest::keyClicks(window->eLngTag, "sk"); }},
      {"pasted name", [&] {
         Focus(window->eLngName);
         QApplication::clipboard()->setText(QStringLiteral("Slovak"));
         window->eLngName->paste();
       }},
      {"typed author", [&] { Focus(window->mAutors); QTest::keyClicks(window->mAutors, "Ann"); }},
      {"picked date", [&] { window->eDate->setDate(QDate(2026, 1, 1)); }},
  };
  for (const auto& [what, edit] : edits) {
    window->Workspace().SetModified(false);
    edit();
    EXPECT_TRUE(Modified()) << what;
  }
}

TEST_F(WindowTest, CtrlSRunsSaveFromAnyControlAndNoKeyHandlerSeesIt) {
  // Without a source, every Save says so, and every Open asks for one first.
  const auto saves = [&] {
    const auto texts = dialogs.BoxTexts();
    return std::count(texts.begin(), texts.end(), "You need to select source file.") -
           static_cast<long>(dialogs.openRequests.size());
  };
  Focus(window->eLngName);
  QTest::keyClick(window->eLngName, Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(saves(), 1);
  EXPECT_TRUE(window->eLngName->text().isEmpty());

  Focus(window->sgPreklad);
  QLineEdit* editor = window->sgPreklad->CellEditor();
  ASSERT_NE(editor, nullptr);
  std::vector<int> keysSeen;
  QObject::connect(window->sgPreklad, &TranslationGrid::KeyDown,
                   [&](int key) { keysSeen.push_back(key); });
  QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);  // Ctrl goes down first
  EXPECT_EQ(saves(), 2);
  EXPECT_TRUE(editor->text().isEmpty());
  EXPECT_EQ(keysSeen, std::vector<int>{Qt::Key_Control});  // the S never reaches the grid
  EXPECT_TRUE(Modified());

  for (QWidget* control : std::initializer_list<QWidget*>{window->cbProgram, window->mAutors,
                                                          window->eDate, window->bitOpen}) {
    Focus(control);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
  }
  EXPECT_EQ(saves(), 6);
  EXPECT_TRUE(window->mAutors->toPlainText().isEmpty());

  window->bitSave->click();
  window->bitOpen->click();
  EXPECT_EQ(saves(), 7);
  EXPECT_EQ(dialogs.openRequests.size(), 1u);
}

TEST_F(WindowTest, ARightClickOnTheWindowOpensNoMenu) {
  for (QWidget* target : {static_cast<QWidget*>(window.get()), window->Panel1,
                          static_cast<QWidget*>(window->GroupBox1)}) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), target->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(target, &event);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << target->objectName().toStdString();
  }
}

TEST_F(WindowTest, TheFileKindListWidensToItsWidestItemWithItemsThirteenHigh) {
  QComboBox* list = window->cbProgram;
  int expected = list->width();
  for (int i = 0; i < list->count(); ++i)
    expected = std::max(expected, list->fontMetrics().horizontalAdvance(list->itemText(i)) + 24);
  list->showPopup();
  EXPECT_EQ(list->view()->window()->width(), expected);
  EXPECT_EQ(list->view()->sizeHintForRow(0), 13);
  EXPECT_EQ(list->maxVisibleItems(), 15);
  list->hidePopup();
  EXPECT_EQ(list->width(), 169);

  // Items wider than the control widen the open list to the widest one.
  const QString wide = "[Farnel] - program interface, and a long description of it";
  list->addItem(wide);
  list->showPopup();
  EXPECT_EQ(list->view()->window()->width(), list->fontMetrics().horizontalAdvance(wide) + 24);
  list->hidePopup();
}

TEST_F(WindowTest, HeaderFieldsShowTheWorkspaceAndStoreOnlyWhatTheUserEdits) {
  platform::OverrideSystemCodePage(1250);
  auto& header = window->Workspace().Header();
  header.tag = "sk\x81";  // a byte the code page leaves undefined
  header.name = "Sloven\xe8ina";
  header.programVersion = "3.1";
  header.translationVersion = "3.1.7";
  header.authors = {"Ann", "", "Bob \x9e"};
  window->ChangeWorkspace([](workspace::Workspace&) {});  // shows the header

  EXPECT_EQ(window->eLngName->text(), QString::fromUtf8("Slovenčina"));
  EXPECT_EQ(window->mAutors->toPlainText(), QString::fromUtf8("Ann\n\nBob ž"));
  EXPECT_EQ(header.tag, "sk\x81");  // showing changes nothing

  Focus(window->eLngName);
  window->eLngName->end(false);
  Type(window->eLngName, QString::fromUtf8("š"));
  EXPECT_EQ(header.name, "Sloven\xe8ina\x9a");
  Type(window->eLngName, QString::fromUtf8("ñ"));  // not in the code page
  EXPECT_EQ(window->eLngName->text(), QString::fromUtf8("Slovenčinaš"));
  EXPECT_EQ(header.name, "Sloven\xe8ina\x9a");

  // Pasted line breaks would split the entry in the file.
  QApplication::clipboard()->setText("first\r\nsecond\nthird");
  Focus(window->eProgramVersion);
  window->eProgramVersion->selectAll();
  window->eProgramVersion->paste();
  EXPECT_EQ(window->eProgramVersion->text(), "first second third");
  EXPECT_EQ(header.programVersion, "first second third");

  window->mAutors->setPlainText(QString::fromUtf8("Ann\nČen\n"));
  EXPECT_EQ(header.authors, (std::vector<std::string>{"Ann", "\xc8\x65n"}));
  // The memo refuses what the code page cannot hold, typed or pasted, so it
  // never shows an author the file will not get.
  Focus(window->mAutors);
  window->mAutors->moveCursor(QTextCursor::End);
  Type(window->mAutors, QString::fromUtf8("Zoë ñ"));
  QApplication::clipboard()->setText(QString::fromUtf8("中文"));
  window->mAutors->paste();
  EXPECT_EQ(window->mAutors->toPlainText(), QString::fromUtf8("Ann\nČen\nZoë "));
  EXPECT_EQ(header.authors, (std::vector<std::string>{"Ann", "\xc8\x65n", "Zo\xeb "}));

  window->eDate->setDate(QDate(2025, 12, 31));
  const auto expected = std::chrono::local_days{std::chrono::year{2025} / 12 / 31} +
                        (testsupport::FixedNow() - std::chrono::floor<std::chrono::days>(
                                                       testsupport::FixedNow()));
  EXPECT_EQ(window->Workspace().Date(), expected);
  EXPECT_EQ(header.tag, "sk\x81");
  EXPECT_EQ(header.translationVersion, "3.1.7");
  platform::OverrideSystemCodePage(0);
}

TEST_F(WindowTest, TheAuthorsMemoKeepsEveryUntouchedLineByteForByte) {
  platform::OverrideSystemCodePage(1250);
  auto& authors = window->Workspace().Header().authors;
  authors = {"Ann\xa0X", "Bob", "\x81\x01"};  // no-break space, undefined and control bytes
  window->ChangeWorkspace([](workspace::Workspace&) {});  // shows the header
  Focus(window->mAutors);
  window->mAutors->moveCursor(QTextCursor::Start);
  Type(window->mAutors, "Zed");
  Press(window->mAutors, Qt::Key_Return, Qt::ShiftModifier);  // a new author, not a soft break
  EXPECT_EQ(authors, (std::vector<std::string>{"Zed", "Ann\xa0X", "Bob", "\x81\x01"}));

  // A composed character the code page lacks is refused like a typed one.
  QInputMethodEvent composed;
  composed.setCommitString(QString::fromUtf8("ñ"));
  QApplication::sendEvent(window->mAutors, &composed);
  QInputMethodEvent accented;
  accented.setCommitString(QString::fromUtf8("ô"));
  QApplication::sendEvent(window->mAutors, &accented);
  EXPECT_EQ(authors, (std::vector<std::string>{"Zed", "\xf4\x41nn\xa0X", "Bob", "\x81\x01"}));
  platform::OverrideSystemCodePage(0);
}

TEST(MainWindow, AFailureWhileCreatingIsShownAndTheWindowStillOpens) {
  testsupport::ScriptedDialogs dialogs;
  int calls = 0;
  const auto failingClock = [&calls]() -> platform::LocalDateTime {
    if (++calls > 1) throw std::runtime_error("The clock stopped");
    return testsupport::FixedNow();
  };
  TfMain window(TfMainOptions{STAMPED_PROGRAM, failingClock, &dialogs});
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "The clock stopped.");
  EXPECT_EQ(dialogs.boxes[0].caption, "Orvane translator");
  EXPECT_EQ(dialogs.boxes[0].style, platform::kMessageError);
  // What ran before the failure stays done.
  EXPECT_EQ(window.windowTitle(), "Orvane translator [v 2.103 (build 15)]");
  EXPECT_EQ(window.cbProgram->currentIndex(), 0);
  window.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_TRUE(window.updatesEnabled());
}

// An input method may commit its text as the focus leaves a closing window.
// Caught by the sanitizers: the edit must not reach a workspace that is gone.
TEST(MainWindow, AFieldEditedWhileTheWindowGoesReachesNoWorkspaceThatIsGone) {
  testsupport::ScriptedDialogs dialogs;
  auto window = std::make_unique<TfMain>(
      TfMainOptions{STAMPED_PROGRAM, &testsupport::FixedNow, &dialogs});
  QLineEdit* name = window->eLngName;
  QObject::connect(window->eLngTag, &QObject::destroyed, [name] { emit name->textEdited("late"); });
  window.reset();
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(WindowTest, ClosingAsksNothing) {
  Focus(window->sgPreklad);
  QTest::keyClicks(QApplication::focusWidget(), "unsaved");
  ASSERT_TRUE(Modified());
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_TRUE(dialogs.saveRequests.empty());
}

}  // namespace
