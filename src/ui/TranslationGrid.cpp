#include "ui/TranslationGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>

#include "app/CellPainter.h"
#include "ui/Controls.h"
#include "ui/TranslationModel.h"

namespace {

// How near the border between the two columns a press starts a drag.
constexpr int kBorderGrip = 3;

// A fixed cell with its grid lines on the right and bottom edges, like the
// translation cells beside it.
void PaintFixedCell(const TranslationGrid& grid, QPainter& painter, const QRect& rect,
                    int column, std::size_t row) {
  grid.PaintCell(painter, {column, row, rect.adjusted(0, 0, -1, -1), TranslationGrid::kFixedColour,
                           row == grid.CurrentTableRow()});
  painter.save();
  painter.setPen(grid.GridLineColour());
  painter.drawLine(rect.topRight(), rect.bottomRight());
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.restore();
}

}  // namespace

// ---------------------------------------------------------------------------

FixedHeader::FixedHeader(Qt::Orientation orientation, TranslationGrid& grid)
    : QHeaderView(orientation, &grid), grid_(grid) {
  setSectionsClickable(false);
  setSectionsMovable(false);
  setHighlightSections(false);
  setMinimumSectionSize(0);
  setDefaultSectionSize(orientation == Qt::Horizontal ? 66 : TranslationGrid::kRowHeight);
  setSectionResizeMode(orientation == Qt::Horizontal ? Interactive : Fixed);
  setStretchLastSection(false);
  setMouseTracking(orientation == Qt::Horizontal);
}

void FixedHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!rect.isValid() || logicalIndex < 0) return;
  // The heading row is table row 0 of the translation column; the key
  // column's sections are the key cells of table rows 1 and on.
  if (orientation() == Qt::Horizontal)
    PaintFixedCell(grid_, *painter, rect, 1, 0);
  else
    PaintFixedCell(grid_, *painter, rect, 0, TranslationModel::TableRow(logicalIndex));
}

void FixedHeader::paintEvent(QPaintEvent* event) {
  QHeaderView::paintEvent(event);
  // Beyond the last row and column the grid shows its own background, as
  // the translation cells beside it do, not an empty header.
  const int end = length() - offset();
  QRect beyond = viewport()->rect();
  if (orientation() == Qt::Horizontal)
    beyond.setLeft(end);
  else
    beyond.setTop(end);
  if (beyond.isEmpty()) return;
  QPainter painter(viewport());
  painter.fillRect(beyond, grid_.palette().color(QPalette::Base));
}

bool FixedHeader::OnKeyColumnBorder(int x) const {
  // The heading row starts where the key column ends; its left edge is that
  // border while the translations are not scrolled sideways.
  return orientation() == Qt::Horizontal && offset() == 0 && x < kBorderGrip;
}

void FixedHeader::mousePressEvent(QMouseEvent* event) {
  const int x = static_cast<int>(event->position().x());
  if (event->button() == Qt::LeftButton && OnKeyColumnBorder(x)) {
    grid_.BeginKeyBorderDrag(*event);
    return;
  }
  QHeaderView::mousePressEvent(event);
}

void FixedHeader::mouseMoveEvent(QMouseEvent* event) {
  const int x = static_cast<int>(event->position().x());
  if (grid_.DragKeyBorder(*event)) return;
  if (event->buttons() == Qt::NoButton && OnKeyColumnBorder(x)) {
    viewport()->setCursor(Qt::SplitHCursor);
    return;
  }
  QHeaderView::mouseMoveEvent(event);
}

void FixedHeader::mouseReleaseEvent(QMouseEvent* event) {
  if (grid_.EndKeyBorderDrag()) return;
  QHeaderView::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------------------

CellEditorDelegate::CellEditorDelegate(TranslationGrid& grid)
    : QStyledItemDelegate(&grid), grid_(grid) {}

QWidget* CellEditorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
  auto* editor = new TEdit(parent);
  editor->setFrame(false);
  // The line edit keeps 2 pixels of its own before the text; with these the
  // text does not jump sideways when the editor takes over a painted cell.
  editor->setTextMargins(ProcFunc::kCellTextLeft - 2, 0, 0, 0);
  // The table follows the editor keystroke by keystroke.
  auto* self = const_cast<CellEditorDelegate*>(this);
  connect(editor, &QLineEdit::textEdited, this, [self, editor] {
    const QScopedValueRollback committing(self->committing_, true);
    emit self->commitData(editor);
  });
  grid_.editor_ = editor;
  grid_.editorIndex_ = index;
  return editor;
}

void CellEditorDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  // The open editor shows the current cell's text itself.
  if (grid_.editor_ && grid_.editorIndex_ == index) return;
  const bool current = index == grid_.currentIndex();
  // The current cell is highlighted whenever it is painted, which with
  // the focus in the grid happens only while no editor shows it.
  const QColor background = current ? grid_.palette().color(QPalette::Active, QPalette::Highlight)
                                    : grid_.palette().color(QPalette::Base);
  grid_.PaintCell(*painter,
                  {1, TranslationModel::TableRow(index.row()), option.rect, background, current});
}

void CellEditorDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  // The view hands every stored keystroke back to the editor; setting the
  // same text again would throw the cursor to the end of the line. What the
  // editor itself stores is its own text: decoding and comparing a text of
  // millions of characters at every keystroke would only say so.
  if (committing_) return;
  auto* lineEdit = static_cast<QLineEdit*>(editor);
  const QString text = index.data(Qt::EditRole).toString();
  if (lineEdit->text() != text) lineEdit->setText(text);
}

bool CellEditorDelegate::eventFilter(QObject* editor, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto& keyEvent = static_cast<QKeyEvent&>(*event);
    switch (keyEvent.key()) {
      case Qt::Key_Tab:
      case Qt::Key_Backtab:
        // Tab belongs to the window: it moves to the next control.
        grid_.LeaveGrid(keyEvent.key() == Qt::Key_Tab &&
                        !(keyEvent.modifiers() & Qt::ShiftModifier));
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Escape:
        // The editor stays open and the text is stored already.
        grid_.NotifyKeyDown(keyEvent);
        return true;
      default:
        grid_.NotifyKeyDown(keyEvent);
        break;
    }
  }
  return QStyledItemDelegate::eventFilter(editor, event);
}

void CellEditorDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex&) const {
  // The editor covers the cell. The toolkit would lay out the cell's whole
  // text first to find where that text goes, seconds for a text of millions
  // of characters, only to come to the same rectangle.
  editor->setGeometry(option.rect);
}

// ---------------------------------------------------------------------------

TranslationGrid::TranslationGrid(QWidget* parent)
    : QTableView(parent),
      keyColumn_(new FixedHeader(Qt::Vertical, *this)),
      headingRow_(new FixedHeader(Qt::Horizontal, *this)) {
  setVerticalHeader(keyColumn_);
  setHorizontalHeader(headingRow_);
  headingRow_->setFixedHeight(kRowHeight);
  setItemDelegate(new CellEditorDelegate(*this));

  setSelectionMode(SingleSelection);
  setSelectionBehavior(SelectItems);
  setEditTriggers(NoEditTriggers);  // the editor opens with the focus instead
  setTabKeyNavigation(false);
  setWordWrap(false);
  setShowGrid(true);
  setCornerButtonEnabled(false);
  setFrameShape(QFrame::Box);
  setFrameShadow(QFrame::Plain);
  setVerticalScrollMode(ScrollPerItem);
  setHorizontalScrollMode(ScrollPerPixel);
  verticalScrollBar()->setTracking(false);
  horizontalScrollBar()->setTracking(false);

  // The corner is row 0 of the key column; the view keeps it in its place.
  corner_ = findChild<QAbstractButton*>();
  if (corner_) {
    corner_->installEventFilter(this);
    corner_->setMouseTracking(true);
  }
  SetColumnWidths(66, 66);
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
    if (corner_) corner_->update();
  });
}

void TranslationGrid::SetColumnWidths(int keyWidth, int translationWidth) {
  SetKeyColumnWidth(keyWidth);
  headingRow_->resizeSection(0, std::max(0, translationWidth));
  headingRow_->setDefaultSectionSize(std::max(0, translationWidth));
}

void TranslationGrid::SetKeyColumnWidth(int width) {
  keyColumn_->setFixedWidth(std::max(0, width));
  updateGeometries();
  viewport()->update();
}

int TranslationGrid::KeyColumnWidth() const { return keyColumn_->width(); }

int TranslationGrid::TranslationColumnWidth() const {
  return model_ && model_->columnCount() > 0 ? headingRow_->sectionSize(0)
                                             : headingRow_->defaultSectionSize();
}

QLineEdit* TranslationGrid::CellEditor() const { return editor_.data(); }

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

void TranslationGrid::ShowEditor() {
  const QModelIndex current = currentIndex();
  if (changingTable_ || !current.isValid()) return;
  if (editor_ && editorIndex_ == current) {
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

bool TranslationGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched != corner_) return QTableView::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Paint:
      PaintCorner(*corner_);
      return true;
    case QEvent::MouseButtonPress: {
      auto& mouse = static_cast<QMouseEvent&>(*event);
      const int x = static_cast<int>(mouse.position().x());
      if (mouse.button() == Qt::LeftButton && x >= corner_->width() - kBorderGrip)
        BeginKeyBorderDrag(mouse);
      return true;
    }
    case QEvent::MouseMove: {
      auto& mouse = static_cast<QMouseEvent&>(*event);
      const int x = static_cast<int>(mouse.position().x());
      if (DragKeyBorder(mouse)) return true;
      if (x >= corner_->width() - kBorderGrip)
        corner_->setCursor(Qt::SplitHCursor);
      else
        corner_->unsetCursor();
      return true;
    }
    case QEvent::MouseButtonRelease:
      EndKeyBorderDrag();
      return true;
    case QEvent::MouseButtonDblClick:
      return true;
    default:
      return QTableView::eventFilter(watched, event);
  }
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

void TranslationGrid::PaintCorner(QWidget& corner) {
  QPainter painter(&corner);
  PaintFixedCell(*this, painter, corner.rect(), 0, 0);
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

std::size_t TranslationGrid::CurrentTableRow() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? TranslationModel::TableRow(current.row()) : 0;
}

void TranslationGrid::RepaintAll() {
  viewport()->update();
  keyColumn_->viewport()->update();
  headingRow_->viewport()->update();
  if (corner_) corner_->update();
}
