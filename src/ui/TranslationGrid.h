#pragma once

// The grid `sgPreklad`: a table view over the translation table with the
// key column and the heading row fixed, as headers, so they stay in view
// while the translations scroll. The cell editor is always open in the
// current cell while the grid has the focus, and every change of its text is
// in the table at once, so a save made mid-edit saves what the editor shows.

#include <QColor>
#include <QHeaderView>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <cstddef>
#include <functional>
#include <limits>

class QLineEdit;
class QMouseEvent;
class TranslationModel;

class TranslationGrid;

// A cell about to be painted, as the grid has prepared it: table column and
// row, its rectangle without the grid lines, and the background the grid
// chose (fixed colour, window colour, or the highlight for the current cell
// while no editor shows it).
struct GridCell {
  int column = 0;
  std::size_t row = 0;
  QRect rect;
  QColor background;
  bool inSelection = false;  // the current cell's row
};

// A fixed row or column: the heading row (horizontal) or the key column
// (vertical), painted as fixed cells. The heading row also lets the user
// drag the border between the key column and the translation column.
class FixedHeader : public QHeaderView {
  Q_OBJECT

 public:
  FixedHeader(Qt::Orientation orientation, TranslationGrid& grid);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool OnKeyColumnBorder(int x) const;

  TranslationGrid& grid_;
};

// Opens single-line editors, hands every key press in them to the grid
// first, and keeps Tab, Enter and Esc from closing the editor.
class CellEditorDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit CellEditorDelegate(TranslationGrid& grid);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* editor, QEvent* event) override;

 private:
  TranslationGrid& grid_;
  bool committing_ = false;  // the editor is storing its text
};

class TranslationGrid : public QTableView {
  Q_OBJECT

 public:
  static constexpr int kRowHeight = 17;
  // The fixed cells' light blue.
  static inline const QColor kFixedColour{167, 192, 252};

  explicit TranslationGrid(QWidget* parent = nullptr);

  void SetTranslationModel(TranslationModel* model);
  TranslationModel* Model() const { return model_; }

  // The two columns: the key column is the fixed one.
  void SetColumnWidths(int keyWidth, int translationWidth);
  void SetKeyColumnWidth(int width);
  int KeyColumnWidth() const;
  int TranslationColumnWidth() const;

  // The editor open in the current cell, if any.
  QLineEdit* CellEditor() const;

  // Moves the focus to the control after (or before) the grid, as Tab does.
  void LeaveGrid(bool forward);

  // Called for every key press that reaches the grid or its cell editor,
  // before either acts on it.
  void NotifyKeyDown(const QKeyEvent& event);

  // Every cell, fixed ones included, is painted by the handler once the grid
  // has prepared it (font and background). Without a handler the grid
  // shows only the backgrounds.
  using DrawCellHandler = std::function<void(QPainter&, const GridCell&)>;
  void SetDrawCellHandler(DrawCellHandler handler) { drawCell_ = std::move(handler); }
  void PaintCell(QPainter& painter, const GridCell& cell) const;
  // The table row of the current cell; 0 when there is none.
  std::size_t CurrentTableRow() const;
  // Paints every cell again, fixed ones included.
  void RepaintAll();

  // The grid colour of the translation cells, used for the fixed cells too.
  QColor GridLineColour() const;

  // Dragging the border between the key and the translation column, from
  // the corner cell or the heading row. Drag and End tell whether a drag
  // was going on.
  void BeginKeyBorderDrag(const QMouseEvent& press);
  bool DragKeyBorder(const QMouseEvent& move);
  bool EndKeyBorderDrag();

  // The corner cell (row 0, column 0) paints and drags through this.
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // A key press in the grid or its cell editor.
  void KeyDown(int key, Qt::KeyboardModifiers modifiers);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  friend class CellEditorDelegate;
  void ShowEditor();
  bool HasFocusInside() const;
  void PaintCorner(QWidget& corner);

  TranslationModel* model_ = nullptr;
  DrawCellHandler drawCell_;
  FixedHeader* keyColumn_;
  FixedHeader* headingRow_;
  QWidget* corner_ = nullptr;
  QPointer<QLineEdit> editor_;
  QPersistentModelIndex editorIndex_;
  bool changingTable_ = false;
  bool movingOn_ = false;  // a key is moving the current cell
  static constexpr int kNoDrag = std::numeric_limits<int>::min();
  int keyBorderDragX_ = kNoDrag;
  int keyBorderDragWidth_ = 0;
};
