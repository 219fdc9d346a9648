#include "ui/CellEditorDelegate.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>

#include "app/CellPainter.h"
#include "ui/Controls.h"
#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"

CellEditorDelegate::CellEditorDelegate(TranslationGrid& grid)
    : QStyledItemDelegate(&grid), grid_(grid) {}

QWidget* CellEditorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
  auto* editor = new TEdit(parent);
  editor->setFrame(false);
  // The line edit keeps 2 pixels of its own before the text; with these the
  // text does not jump sideways when the editor takes over a painted cell.
  editor->setTextMargins(ProcFunc::kCellTextLeft - 2, 0, 0, 0);
  auto* self = const_cast<CellEditorDelegate*>(this);
  connect(editor, &QLineEdit::textEdited, this, [self, editor] {
    const QScopedValueRollback committing(self->committing_, true);
    emit self->commitData(editor);
  });
  grid_.EditorOpened(editor, index);
  // Also when the text comes in, or comes back with an undo.
  connect(editor, &QLineEdit::textChanged, &grid_, &TranslationGrid::MarkMisspelled);
  return editor;
}

void CellEditorDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  if (grid_.EditorShows(index)) return;
  const bool current = index == grid_.currentIndex();
  // The current cell is highlighted whenever it is painted, which with
  // the focus in the grid happens only while no editor shows it.
  const QColor background = current ? grid_.palette().color(QPalette::Active, QPalette::Highlight)
                                    : grid_.palette().color(QPalette::Base);
  grid_.PaintCell(*painter,
                  {1, grid_.Model()->TableRow(index.row()), option.rect, background, current});
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
