#pragma once

// The grid `sgPreklad`: a table view over the translation table with the
// key column and the heading row fixed, as headers, so they stay in view
// while the translations scroll. The cell editor is always open in the
// current cell while the grid has the focus, and every change of its text is
// in the table at once, so a save made mid-edit saves what the editor shows.

#include <QColor>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>
#include <cstddef>
#include <functional>
#include <limits>
#include <optional>

#include "ui/Controls.h"
#include "ui/GridCell.h"

class FixedCorner;
class FixedHeader;
class QMouseEvent;
class TranslationModel;

class TranslationGrid : public QTableView {
  Q_OBJECT

 public:
  // A cell's size leaves out the grid line after it, as the fixed cells'
  // do, so sections are a line longer than the cells they hold.
  static constexpr int kRowHeight = 17;
  static constexpr int kGridLine = 1;
  static constexpr int kDefaultColumnWidth = 66;
  static inline const QColor kFixedColour{167, 192, 252};

  explicit TranslationGrid(QWidget* parent = nullptr);

  void SetTranslationModel(TranslationModel* model);
  TranslationModel* Model() const { return model_; }

  // Cell widths of the two columns: the key column is the fixed one.
  void SetColumnWidths(int keyWidth, int translationWidth);
  void SetKeyColumnWidth(int width);
  int KeyColumnWidth() const;
  int TranslationColumnWidth() const;

  // The editor open in the current cell, if any.
  QLineEdit* CellEditor() const { return editor_.data(); }
  // The corner cell, row 0 of the key column.
  QWidget* Corner() const;

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
  const DrawCellHandler& DrawCellHandlerInUse() const { return drawCell_; }
  void PaintCell(QPainter& painter, const GridCell& cell) const;
  // The words of a table row's text, as the cell editor holds it, that the
  // dictionary does not know; the editor underlines them as they change.
  using MisspellingFinder = std::function<QList<TextRun>(std::size_t row, const QString& text)>;
  void SetMisspellingFinder(MisspellingFinder finder) { findMisspelled_ = std::move(finder); }
  // Underlines the open editor's words afresh, as after a change of the
  // dictionary.
  void MarkMisspelled();
  // The table row of the current cell, if there is one.
  std::optional<std::size_t> CurrentTableRow() const;
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

  // The cell editor tells the grid it has opened in `index`; a cell under
  // the open editor is not painted, since the editor shows it.
  void EditorOpened(QLineEdit* editor, const QModelIndex& index);
  bool EditorShows(const QModelIndex& index) const;

 signals:
  void KeyDown(int key, Qt::KeyboardModifiers modifiers);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void updateGeometries() override;

 private:
  void ShowEditor();
  bool HasFocusInside() const;

  TranslationModel* model_ = nullptr;
  DrawCellHandler drawCell_;
  MisspellingFinder findMisspelled_;
  FixedHeader* keyColumn_;
  FixedHeader* headingRow_;
  FixedCorner* corner_;
  QPointer<QLineEdit> editor_;
  QPersistentModelIndex editorIndex_;
  bool changingTable_ = false;
  bool movingOn_ = false;  // a key is moving the current cell
  static constexpr int kNoDrag = std::numeric_limits<int>::min();
  int keyBorderDragX_ = kNoDrag;
  int keyBorderDragWidth_ = 0;
};
