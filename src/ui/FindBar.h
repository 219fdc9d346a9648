#pragma once

// The find bar above the grid (Ctrl+F): finds text in keys, translations and
// source texts, letter case aside, goes from hit to hit (Return, F3,
// Shift+F3) and says where it is ("3 of 17"). "Untranslated only" leaves the
// grid showing just the rows still to translate. Esc closes it, and closing
// shows every row again: a filter with no bar to clear it would hide rows
// with nothing on screen to say so.

#include <QWidget>
#include <cstddef>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class StatusLine;
class TranslationGrid;
namespace workspace {
class Workspace;
}

class FindBar : public QWidget {
  Q_OBJECT

 public:
  FindBar(workspace::Workspace& workspace, TranslationGrid& grid, StatusLine& status,
          QWidget* parent = nullptr);
  ~FindBar() override;

  // Shows the bar with its text selected, ready to type over.
  void Open();
  void Close();
  // Goes to the next (or previous) hit from the current row, round the ends.
  void FindNext(bool forward = true);
  void SetUntranslatedOnly(bool on);

  QLineEdit* TextField() const { return text_; }
  QCheckBox* UntranslatedOnlyBox() const { return untranslatedOnly_; }
  QString CountText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void TextEdited();
  void UntranslatedOnlyToggled(bool on);
  // The model rows holding hits, worked out again when anything changed.
  const std::vector<int>& Hits();
  void GoTo(int modelRow);
  // Where the current row stands among the hits ("3 of 17"), or how many
  // there are when it is none of them.
  void ShowCount();

  workspace::Workspace& workspace_;
  TranslationGrid& grid_;
  StatusLine& status_;
  QLineEdit* text_;
  QLabel* count_;
  QCheckBox* untranslatedOnly_;
  QToolButton* close_;
  std::vector<int> hits_;
  bool hitsValid_ = false;
  std::size_t editListener_ = 0;
};
