#pragma once

#include <QStyledItemDelegate>

class TranslationGrid;

// Opens the grid's single-line cell editors, hands every key press in them
// to the grid first, and keeps Tab, Enter and Esc from closing the editor.
// The table follows the editor keystroke by keystroke.
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
