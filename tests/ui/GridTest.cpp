// The grid: fixed heading row and key column, the always-open cell editor
// that stores every keystroke, and the key column's drag border.

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <sys/stat.h>

#include <fstream>

#include "support/TestSupport.h"
#include "ui/InputFilter.h"
#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"
#include "WindowFixture.h"

namespace {

using testsupport::WindowTest;

class GridTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    grid = window->sgPreklad;
  }

  // A source of `keys` keys in sections of 100, loaded and shown.
  void Load(int keys) {
    std::string text = "[-main-]\r\ntag=sk\r\n";
    for (int i = 0; i < keys; ++i) {
      if (i % 100 == 0) text += "[Section" + std::to_string(i / 100) + "]\r\n";
      text += "K" + std::to_string(i) + "=%Text " + std::to_string(i) + "%\r\n";
    }
    const std::string file = folder.path() + "/source.lng";
    testsupport::WriteFile(file, text);
    window->ChangeWorkspace([&](workspace::Workspace& workspace) { workspace.LoadSource(file); });
  }

  QRgb PixelAt(QWidget* widget, QPoint point) {
    return widget->grab().toImage().pixel(point);
  }

  testsupport::TempDir folder;
  TranslationGrid* grid = nullptr;
};

TEST_F(GridTest, HeadingRowAndKeyColumnStayFixedAndCannotBeSelected) {
  Load(3000);
  TranslationModel* model = grid->Model();
  ASSERT_EQ(model->rowCount(), static_cast<int>(window->Workspace().Table().RowCount()) - 1);
  EXPECT_EQ(model->columnCount(), 1);  // only translations are cells of their own
  EXPECT_EQ(model->CellText(0, 0), "name");
  EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "translation");
  // Every cell, fixed or not, is its column's width by the row height; the
  // grid lines lie outside it.
  grid->SetColumnWidths(105, 245);
  std::vector<GridCell> cells;
  const TranslationGrid::DrawCellHandler draw = grid->DrawCellHandlerInUse();
  grid->SetDrawCellHandler([&](QPainter& painter, const GridCell& cell) {
    cells.push_back(cell);
    draw(painter, cell);
  });
  for (QWidget* part : {grid->Corner(), grid->horizontalHeader()->viewport(),
                        grid->verticalHeader()->viewport(), grid->viewport()})
    part->grab();
  grid->SetDrawCellHandler(draw);
  ASSERT_GT(cells.size(), 20u);
  for (const GridCell& cell : cells) {
    EXPECT_EQ(cell.rect.size(), QSize(cell.column == 0 ? 105 : 245, TranslationGrid::kRowHeight))
        << cell.column << ", " << cell.row;
  }
  EXPECT_EQ(grid->KeyColumnWidth(), 105);
  EXPECT_EQ(grid->TranslationColumnWidth(), 245);

  grid->scrollToBottom();
  QApplication::processEvents();
  EXPECT_GT(grid->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(grid->horizontalHeader()->isVisible());
  EXPECT_EQ(grid->horizontalHeader()->geometry().top(),
            grid->viewport()->geometry().top() - TranslationGrid::kRowHeight - TranslationGrid::kGridLine);
  const int lastRow = model->rowCount() - 1;  // the blank row after the last key
  EXPECT_EQ(model->headerData(lastRow - 1, Qt::Vertical, Qt::DisplayRole).toString(), "K2999");
  EXPECT_GE(grid->verticalHeader()->visualIndexAt(grid->viewport()->height() - 2), lastRow - 1);

  // The fixed cells' colour, in the corner, the heading row and the key
  // column; the translation cells keep the window's colour.
  const QRgb fixed = TranslationGrid::kFixedColour.rgb();
  QWidget* corner = grid->Corner();
  EXPECT_EQ(PixelAt(corner, {1, 1}), fixed);
  EXPECT_EQ(PixelAt(grid->horizontalHeader(), {grid->TranslationColumnWidth() - 3, 1}), fixed);
  // Scrolled to the bottom, the top row may be cut anywhere; the last row
  // shows whole.
  const int lastTop = grid->verticalHeader()->sectionViewportPosition(lastRow);
  EXPECT_EQ(PixelAt(grid->verticalHeader(), {grid->KeyColumnWidth() - 3, lastTop + 1}), fixed);
  EXPECT_NE(PixelAt(grid->viewport(), {grid->TranslationColumnWidth() - 3, 20}), fixed);

  // Clicks on fixed cells select nothing and change no current cell.
  const QModelIndex current = grid->currentIndex();
  QTest::mouseClick(grid->verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(40, 5));
  QTest::mouseClick(corner, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(grid->currentIndex(), current);
  EXPECT_LE(grid->selectionModel()->selectedIndexes().size(), 1);
}

TEST_F(GridTest, TheCellEditorIsAlwaysOpenAndEveryKeystrokeIsInTheTable) {
  Load(5);
  const auto& table = window->Workspace().Table();
  Focus(grid);
  QLineEdit* editor = grid->CellEditor();
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(grid->currentIndex().row(), 0);  // table row 1, the blank row below the heading

  Press(editor, Qt::Key_Down);  // row 2: "section - Section0"
  Press(QApplication::focusWidget(), Qt::Key_Down);  // row 3: K0
  editor = grid->CellEditor();
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(table.Key(3), "K0");
  EXPECT_EQ(editor->text(), "Text 0");

  Press(editor, Qt::Key_End);
  QTest::keyClicks(editor, "!");
  EXPECT_EQ(table.Translation(3), "Text 0!");  // before the editor closes
  Press(editor, Qt::Key_Home);
  QTest::keyClicks(editor, "A ");
  EXPECT_EQ(table.Translation(3), "A Text 0!");  // the cursor stayed where it was typed

  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    Press(editor, key);
    EXPECT_EQ(grid->CellEditor(), editor) << key;
    EXPECT_EQ(table.Translation(3), "A Text 0!") << key;
  }

  Press(editor, Qt::Key_Down);
  ASSERT_NE(grid->CellEditor(), nullptr);
  EXPECT_EQ(grid->CellEditor()->text(), "Text 1");
  EXPECT_EQ(table.Translation(3), "A Text 0!");

  // Leaving the grid closes the editor; coming back opens it again.
  Press(grid->CellEditor(), Qt::Key_Tab);
  EXPECT_EQ(grid->CellEditor(), nullptr);
  Focus(grid);
  ASSERT_NE(grid->CellEditor(), nullptr);
  EXPECT_EQ(grid->CellEditor()->text(), "Text 1");
}

TEST_F(GridTest, ANewTableWhileEditingOpensTheEditorInItsFirstCell) {
  Load(5);
  Focus(grid);
  Press(grid->CellEditor(), Qt::Key_Down);
  Press(grid->CellEditor(), Qt::Key_Down);
  Type(grid->CellEditor(), "x");
  Load(1);
  ASSERT_NE(grid->CellEditor(), nullptr);
  EXPECT_EQ(QApplication::focusWidget(), grid->CellEditor());
  EXPECT_EQ(grid->currentIndex().row(), 0);
  EXPECT_EQ(grid->CellEditor()->text(), "");
  Type(grid->CellEditor(), "y");
  EXPECT_EQ(window->Workspace().Table().Translation(1), "y");

  // A load that fails half-way still leaves a grid that shows the table.
  const std::string fifo = folder.path() + "/fifo.lng";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_ANY_THROW(window->ChangeWorkspace(
      [&](workspace::Workspace& workspace) { workspace.LoadSource(fifo); }));
  EXPECT_EQ(grid->Model()->rowCount(), 1);
  ASSERT_NE(grid->CellEditor(), nullptr);
}

TEST_F(GridTest, LongTextsAreNeitherCutNorStoredCut) {
  const std::string name(40000, 'n');
  window->ChangeWorkspace([&](workspace::Workspace& workspace) { workspace.Header().name = name; });
  Focus(window->eLngName);
  window->eLngName->end(false);
  Type(window->eLngName, "!");
  EXPECT_EQ(window->Workspace().Header().name, name + "!");

  window->Workspace().Table().SetTranslation(1, name);
  Focus(grid);
  QLineEdit* editor = grid->CellEditor();
  ASSERT_NE(editor, nullptr);
  editor->end(false);
  Type(editor, "!");
  EXPECT_EQ(window->Workspace().Table().Translation(1), name + "!");
}

TEST_F(GridTest, TheKeyColumnBorderCanBeDraggedInTheHeadingRow) {
  QWidget* corner = grid->Corner();
  const int before = grid->KeyColumnWidth();
  const QPoint border(corner->width() - 1, 5);
  const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, at, corner->mapToGlobal(at), Qt::LeftButton, buttons, {});
    QApplication::sendEvent(corner, &event);
  };
  send(QEvent::MouseButtonPress, border, Qt::LeftButton);
  send(QEvent::MouseMove, border + QPoint(40, 0), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, border + QPoint(40, 0), Qt::NoButton);
  EXPECT_EQ(grid->KeyColumnWidth(), before + 40);
  EXPECT_EQ(corner->width(), before + 40 + TranslationGrid::kGridLine);
  EXPECT_EQ(grid->verticalHeader()->width(), before + 40 + TranslationGrid::kGridLine);
}

TEST(InputFilter, DropsNulsTurnsLineBreaksAndKeepsTheCursorInPlace) {
  struct Case {
    const InputFilter& filter;
    QString text;
    int position;
    QString taken;
    int takenPosition;
  };
  const QChar nul(QChar::Null);
  const Case cases[] = {
      {kSingleLineInput, "plain", 3, "plain", 3},
      {kSingleLineInput, "a\r\nb", 4, "a b", 3},
      {kSingleLineInput, "a\rb\nc", 5, "a b c", 5},
      {kSingleLineInput, "\r\n\r\nx", 5, "  x", 3},
      {kSingleLineInput, "x\r\n", 1, "x ", 1},
      {kSingleLineInput, QString("a\r") + nul + "\nb", 5, "a b", 3},  // still one line break
      {kSingleLineInput, QString::fromUtf8("a\u2028b\u2029c"), 5, "a b c", 5},
      {kAuthorsInput, QString::fromUtf8("Ann\u2028Bob\u2029") + nul, 9, "Ann\nBob\n", 8},
      {kAuthorsInput, "Ann\r\nBob", 8, "Ann\r\nBob", 8},  // the memo breaks these itself
  };
  for (const Case& c : cases) {
    int position = c.position;
    EXPECT_EQ(c.filter.Normalised(c.text, &position), c.taken) << c.text.toStdString();
    EXPECT_EQ(position, c.takenPosition) << c.text.toStdString();
  }
}

}  // namespace
