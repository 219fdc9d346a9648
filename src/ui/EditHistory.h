#pragma once

// The undo history of the translator's edits. Every edit the workspace makes
// becomes a step; the edits of one cell or field made without leaving it
// make one step together, not one per keystroke. A step keeps the value it
// replaced and the one it set, so undoing every step back to a save gives
// back exactly the texts saved.

#include <QObject>
#include <QUndoStack>
#include <cstddef>
#include <functional>
#include <string>

#include "workspace/Edit.h"

class QAction;
class QWidget;

namespace workspace {
class Workspace;
}

class EditHistory : public QObject {
  Q_OBJECT

 public:
  // `show` brings into view what an undo or redo has just changed.
  using Shower = std::function<void(const workspace::EditTarget&)>;
  EditHistory(workspace::Workspace& workspace, Shower show, QObject* parent = nullptr);
  ~EditHistory() override;

  // Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo, anywhere in `window`. A
  // text field with its own undo or redo at hand keeps the key, as users
  // expect of it; once it has none, the key reaches the history.
  void AddShortcuts(QWidget& window);

  void Undo();
  void Redo();
  // A new table (a load, a merge): the steps would name rows and texts that
  // are gone.
  void Clear();
  // The workspace now holds what the file holds.
  void MarkSaved();
  // The next edit starts a step of its own, even in the cell or field of the
  // last one: the translator has left it.
  void EndStep();

  const QUndoStack& Stack() const { return stack_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class Step;

  void Record(const workspace::EditEvent& edit);
  void Apply(const workspace::EditTarget& target, const std::string& value);
  void ForgetOwnSteps(QWidget* field);

  workspace::Workspace& workspace_;
  Shower show_;
  QUndoStack stack_;
  std::size_t listener_ = 0;
  QWidget* window_ = nullptr;
  bool applying_ = false;  // an undo or redo is making its own edit
  unsigned step_ = 0;      // edits recorded under the same number merge
};
