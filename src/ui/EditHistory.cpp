#include "ui/EditHistory.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QUndoCommand>
#include <QWidget>

#include "workspace/Workspace.h"

class EditHistory::Step : public QUndoCommand {
 public:
  Step(EditHistory& history, const workspace::EditEvent& edit, unsigned step)
      : history_(history),
        target_(edit.target),
        before_(edit.before),
        after_(edit.after),
        step_(step) {}

  int id() const override { return 1; }

  bool mergeWith(const QUndoCommand* other) override {
    const auto& next = static_cast<const Step&>(*other);
    if (next.target_ != target_ || next.step_ != step_) return false;
    after_ = next.after_;
    // Typed and taken back again: nothing is left to undo.
    setObsolete(after_ == before_);
    return true;
  }

  void undo() override { history_.Apply(target_, before_); }
  void redo() override {
    // Pushed once the edit is made: the first redo has nothing to do.
    if (pushed_) history_.Apply(target_, after_);
    pushed_ = true;
  }

 private:
  EditHistory& history_;
  workspace::EditTarget target_;
  std::string before_;
  std::string after_;
  unsigned step_;
  bool pushed_ = false;
};

EditHistory::EditHistory(workspace::Workspace& workspace, Shower show, QObject* parent)
    : QObject(parent), workspace_(workspace), show_(std::move(show)) {
  listener_ = workspace_.OnEdited([this](const workspace::EditEvent& edit) { Record(edit); });
  // Moving to another cell or field finishes an edit.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* left) {
    EndStep();
    ForgetOwnSteps(left);
  });
}

EditHistory::~EditHistory() {
  workspace_.RemoveEditListener(listener_);
  if (window_) qApp->removeEventFilter(this);
}

void EditHistory::Record(const workspace::EditEvent& edit) {
  if (applying_) return;
  stack_.push(new Step(*this, edit, step_));
}

void EditHistory::Apply(const workspace::EditTarget& target, const std::string& value) {
  {
    const QScopedValueRollback applying(applying_, true);
    workspace_.Edit(target, value);
  }
  if (show_) show_(target);
}

void EditHistory::Undo() {
  EndStep();
  stack_.undo();
  EndStep();
}

void EditHistory::Redo() {
  EndStep();
  stack_.redo();
  EndStep();
}

void EditHistory::Clear() {
  stack_.clear();
  EndStep();
}

void EditHistory::MarkSaved() {
  stack_.setClean();
  EndStep();
}

void EditHistory::EndStep() { ++step_; }

// A field's own undo, once left, belongs to the history: kept, Ctrl+Z back
// in the field would first undo there, as a new step, what the history then
// redoes by undoing that step.
void EditHistory::ForgetOwnSteps(QWidget* field) {
  if (!field || !window_ || !window_->isAncestorOf(field)) return;
  if (auto* line = qobject_cast<QLineEdit*>(field)) {
    if (line->isUndoAvailable() || line->isRedoAvailable()) {
      const QSignalBlocker quiet(line);
      line->setText(line->text());  // its only way to forget its steps
    }
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(field)) {
    text->document()->clearUndoRedoStacks();
  }
}

void EditHistory::AddShortcuts(QWidget& window) {
  auto* undo = new QAction(QStringLiteral("Undo"), &window);
  undo->setObjectName("actUndo");
  undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  undo->setShortcutContext(Qt::WindowShortcut);
  connect(undo, &QAction::triggered, this, &EditHistory::Undo);
  window.addAction(undo);

  auto* redo = new QAction(QStringLiteral("Redo"), &window);
  redo->setObjectName("actRedo");
  redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                      QKeySequence(Qt::CTRL | Qt::Key_Y)});
  redo->setShortcutContext(Qt::WindowShortcut);
  connect(redo, &QAction::triggered, this, &EditHistory::Redo);
  window.addAction(redo);

  window_ = &window;
  // The text controls claim the undo keys before any shortcut sees them,
  // also with nothing to undo; only the application sees the claim first
  // for every one of them, the grid's cell editors included.
  qApp->installEventFilter(this);
}

namespace {

enum class HistoryKey { None, Undo, Redo };

HistoryKey HistoryKeyOf(const QKeyEvent& event) {
  const QKeyCombination combination = event.keyCombination();
  const Qt::KeyboardModifiers modifiers =
      combination.keyboardModifiers() & ~Qt::KeypadModifier;
  if (modifiers == Qt::ControlModifier && combination.key() == Qt::Key_Z) return HistoryKey::Undo;
  if ((modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && combination.key() == Qt::Key_Z) ||
      (modifiers == Qt::ControlModifier && combination.key() == Qt::Key_Y))
    return HistoryKey::Redo;
  return HistoryKey::None;
}

// Whether `widget` has its own step to undo or redo. A date field's own
// history is of its digits, not of dates, and is never used.
bool HasOwnStep(const QObject* widget, HistoryKey key) {
  if (const auto* line = qobject_cast<const QLineEdit*>(widget)) {
    if (line->isReadOnly() || qobject_cast<const QAbstractSpinBox*>(line->parent())) return false;
    return key == HistoryKey::Undo ? line->isUndoAvailable() : line->isRedoAvailable();
  }
  if (const auto* text = qobject_cast<const QPlainTextEdit*>(widget)) {
    if (text->isReadOnly()) return false;
    return key == HistoryKey::Undo ? text->document()->isUndoAvailable()
                                   : text->document()->isRedoAvailable();
  }
  return false;
}

}  // namespace

bool EditHistory::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride || !window_) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || !window_->isAncestorOf(widget)) return false;
  const HistoryKey key = HistoryKeyOf(static_cast<QKeyEvent&>(*event));
  if (key == HistoryKey::None || HasOwnStep(widget, key)) return false;
  // Unclaimed, the key goes on to the window's shortcut.
  event->ignore();
  return true;
}
