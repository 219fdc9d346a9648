#include "ui/TranslationGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>

#include "ui/CellEditorDelegate.h"
#include "ui/FixedHeader.h"
#include "ui/TranslationModel.h"

TranslationGrid::TranslationGrid(QWidget* parent)
    : QTableView(parent),
      keyColumn_(new FixedHeader(Qt::Vertical, *this)),
      headingRow_(new FixedHeader(Qt::Horizontal, *this)),
      corner_(new FixedCorner(*this)) {
  setVerticalHeader(keyColumn_);
  setHorizontalHeader(headingRow_);
  headingRow_->setFixedHeight(kRowHeight + kGridLine);
  setItemDelegate(new CellEditorDelegate(*this));

  setSelectionMode(SingleSelection);
  setSelectionBehavior(SelectItems);
  setEditTriggers(NoEditTriggers);  // the editor opens with the focus instead
  setTabKeyNavigation(false);
  setWordWrap(false);
  setShowGrid(true);
  // The view's own corner button would select everything; the corner cell
  // lies over it (see updateGeometries).
  setCornerButtonEnabled(false);
  setFrameShape(QFrame::Box);
  setFrameShadow(QFrame::Plain);
  setVerticalScrollMode(ScrollPerItem);
  setHorizontalScrollMode(ScrollPerPixel);
  verticalScrollBar()->setTracking(false);
  horizontalScrollBar()->setTracking(false);
  SetColumnWidths(kDefaultColumnWidth, kDefaultColumnWidth);
}

void TranslationGrid::SetTranslationModel(TranslationModel* model) {
  model_ = model;
  setModel(model);
  if (model) setCurrentIndex(model->index(0, 0));
  // A new table: the editor of the old one goes first, before its row is
  // gone, and opens again in the new table's first cell.
  connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
    changingTable_ = true;
    if (editor_) closeEditor(editor_, QAbstractItemDelegate::NoHint);
  });
  connect(model, &QAbstractItemModel::modelReset, this, [this] {
    changingTable_ = false;
    if (model_ && model_->rowCount() > 0) setCurrentIndex(model_->index(0, 0));
    if (HasFocusInside()) ShowEditor();
    corner_->update();
  });
}

void TranslationGrid::SetColumnWidths(int keyWidth, int translationWidth) {
  SetKeyColumnWidth(keyWidth);
  const int section = std::max(0, translationWidth) + kGridLine;
  headingRow_->resizeSection(0, section);
  headingRow_->setDefaultSectionSize(section);
}

void TranslationGrid::SetKeyColumnWidth(int width) {
  keyColumn_->setFixedWidth(std::max(0, width) + kGridLine);
  updateGeometries();
  viewport()->update();
}

int TranslationGrid::KeyColumnWidth() const { return keyColumn_->width() - kGridLine; }

int TranslationGrid::TranslationColumnWidth() const {
  const int section = model_ && model_->columnCount() > 0 ? headingRow_->sectionSize(0)
                                                          : headingRow_->defaultSectionSize();
  return section - kGridLine;
}

QWidget* TranslationGrid::Corner() const { return corner_; }

QColor TranslationGrid::GridLineColour() const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  return QColor::fromRgba(
      static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
}

void TranslationGrid::LeaveGrid(bool forward) {
  QWidget* candidate = this;
  do {
    candidate = forward ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
    if (candidate == this || isAncestorOf(candidate)) continue;
    if (candidate->window() == window() && candidate->isVisible() && candidate->isEnabled() &&
        (candidate->focusPolicy() & Qt::TabFocus) && !candidate->focusProxy()) {
      candidate->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return;
    }
  } while (candidate != this);
}

void TranslationGrid::NotifyKeyDown(const QKeyEvent& event) {
  emit KeyDown(event.key(), event.modifiers());
}

bool TranslationGrid::HasFocusInside() const {
  const QWidget* focus = QApplication::focusWidget();
  return focus && (focus == this || isAncestorOf(focus));
}

void TranslationGrid::EditorOpened(QLineEdit* editor, const QModelIndex& index) {
  editor_ = editor;
  editorIndex_ = index;
}

bool TranslationGrid::EditorShows(const QModelIndex& index) const {
  return editor_ && editorIndex_ == index;
}

void TranslationGrid::MarkMisspelled() {
  auto* editor = qobject_cast<TEdit*>(editor_.data());
  if (!editor || !findMisspelled_ || !editorIndex_.isValid()) return;
  editor->MarkMisspelled(findMisspelled_(model_->TableRow(editorIndex_.row()), editor->text()));
}

void TranslationGrid::ShowEditor() {
  const QModelIndex current = currentIndex();
  if (changingTable_ || !current.isValid()) return;
  if (EditorShows(current)) {
    editor_->setFocus();
    return;
  }
  edit(current);
}

void TranslationGrid::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  if (!movingOn_) ShowEditor();
}

void TranslationGrid::keyPressEvent(QKeyEvent* event) {
  // With the editor focused, its keys were reported on their way in; those
  // it ignores come up here and must not count twice.
  if (!editor_ || !editor_->hasFocus()) NotifyKeyDown(*event);
  // A key that moves to another cell first takes the focus from the editor
  // back to the grid. The editor opens in the cell moved to, not first again
  // in the cell being left, where setting up a long text costs seconds.
  {
    const QScopedValueRollback movingOn(movingOn_, true);
    QTableView::keyPressEvent(event);
  }
  if (HasFocusInside()) ShowEditor();
}

void TranslationGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (HasFocusInside()) ShowEditor();
}

void TranslationGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // The editor is deleted later; until then it must not count as open.
  if (editor == editor_) editor_ = nullptr;
  QTableView::closeEditor(editor, hint);
}

void TranslationGrid::updateGeometries() {
  QTableView::updateGeometries();
  // The view moves its own corner button here at every layout; the corner
  // cell, made after it and so above it, must cover it exactly.
  corner_->setGeometry(keyColumn_->x(), headingRow_->y(), keyColumn_->width(),
                       headingRow_->height());
}

// Measured on the screen, since the heading row, where a drag may start,
// moves with the border it drags.
void TranslationGrid::BeginKeyBorderDrag(const QMouseEvent& press) {
  keyBorderDragX_ = static_cast<int>(press.globalPosition().x());
  keyBorderDragWidth_ = KeyColumnWidth();
}

bool TranslationGrid::DragKeyBorder(const QMouseEvent& move) {
  if (keyBorderDragX_ == kNoDrag) return false;
  SetKeyColumnWidth(keyBorderDragWidth_ + static_cast<int>(move.globalPosition().x()) -
                    keyBorderDragX_);
  return true;
}

bool TranslationGrid::EndKeyBorderDrag() {
  const bool dragging = keyBorderDragX_ != kNoDrag;
  keyBorderDragX_ = kNoDrag;
  return dragging;
}

void TranslationGrid::PaintCell(QPainter& painter, const GridCell& cell) const {
  painter.save();
  painter.setFont(font());
  if (drawCell_)
    drawCell_(painter, cell);
  else
    painter.fillRect(cell.rect, cell.background);
  painter.restore();
}

std::optional<std::size_t> TranslationGrid::CurrentTableRow() const {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return std::nullopt;
  return model_->TableRow(current.row());
}

void TranslationGrid::RepaintAll() {
  viewport()->update();
  keyColumn_->viewport()->update();
  headingRow_->viewport()->update();
  corner_->update();
}
