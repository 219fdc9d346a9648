#pragma once

// Small variations of the toolkit's controls that the window needs.

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>

// A drop-down list that tells when its list is about to open, so the list
// can be widened to fit its items first.
class TComboBox : public QComboBox {
  Q_OBJECT

 public:
  using QComboBox::QComboBox;
  void showPopup() override;

 signals:
  void DropDown();
};

class FixedHeightItemDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  FixedHeightItemDelegate(int height, QObject* parent)
      : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  int height_;
};

// A date picker that Tab leaves at once, like every other field; the day,
// month and year are reached with the arrow keys or the mouse.
class TDateEdit : public QDateEdit {
  Q_OBJECT

 public:
  using QDateEdit::QDateEdit;

 protected:
  bool focusNextPrevChild(bool next) override;
};

// A group box whose caption sits in the frame's top line, so that fields
// placed 16 pixels down are inside the frame whatever the style.
class TGroupBox : public QGroupBox {
  Q_OBJECT

 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A run of a text's characters.
struct TextRun {
  int start = 0;
  int length = 0;
  bool operator==(const TextRun&) const = default;
};

// A single-line text field, as every one of the window is, the grid's cell
// editor too: its text stays single-line and storable (InputFilter), however
// long, and a drop it refuses is not taken.
class TEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TEdit(QWidget* parent = nullptr);

  // Underlines `words`, runs of the text as it stands now, with the red wavy
  // line of words the dictionary does not know, in place of the runs
  // underlined before. While an input method composes, its own looks show,
  // and the runs once it is done.
  void MarkMisspelled(QList<TextRun> words);
  const QList<TextRun>& Misspelled() const { return misspelled_; }

 protected:
  void dropEvent(QDropEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  void Underline();

  QList<TextRun> misspelled_;
  bool composing_ = false;
  bool underlined_ = true;  // the text shows misspelled_, not an input method's looks
};

// A memo that takes only what the system code page can hold (InputFilter),
// so what it shows is always what will be saved.
class TMemo : public QPlainTextEdit {
  Q_OBJECT

 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  void dropEvent(QDropEvent* event) override;
};
