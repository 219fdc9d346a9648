#pragma once

// The main window. It owns the workspace for the whole run; its event
// handlers carry the workflow, each under the default error handler. The
// window itself only builds its parts and wires them together.

#include <QWidget>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/CellPainter.h"
#include "ui/Controls.h"
#include "ui/MainWindowLayout.h"
#include "workspace/Commands.h"
#include "workspace/OtherLanguages.h"
#include "workspace/Progress.h"
#include "workspace/Spelling.h"
#include "workspace/TableChecks.h"
#include "workspace/Workspace.h"

class EditHistory;
class QTimer;
class FindBar;
class SourcePane;
class StatusLine;
class HeaderFieldsEditor;
class TranslationModel;
class WindowCommandHost;
class WindowDialogs;
struct GridCell;

// Draws one grid cell with its text and look.
using CellDrawer = std::function<void(QPainter& painter, const QRect& cell, const QString& text,
                                      const ProcFunc::CellLook& look)>;

struct TfMainOptions {
  // The executable whose version record captions the window; empty means
  // the running one.
  std::string executableFile = {};
  // Where "now" comes from; empty means the local clock.
  workspace::Workspace::Clock clock = {};
  // Where the window's dialogs and boxes go, for the window's whole life;
  // null means the toolkit's.
  WindowDialogs* dialogs = nullptr;
  // What draws the grid's cells once the window has decided their text and
  // look; empty means ProcFunc::DrawCell. Tests see through it what the
  // grid shows.
  CellDrawer drawCell = {};
  // Where the recovery journals go; none means the user's state folder, an
  // empty folder that no journal is kept.
  std::optional<std::string> journalFolder = {};
};

// The controls are the window's own members, by the names the rest of the
// program knows them by.
class TfMain : public QWidget, public MainWindowControls {
  Q_OBJECT

 public:
  explicit TfMain(TfMainOptions options = {});
  ~TfMain() override;

  workspace::Workspace& Workspace() { return *workspace_; }

  // Runs `change` (a load, a merge) on the workspace and shows the result:
  // the grid lets go of the old table first, and the header fields show the
  // new values after, also when the change fails half-way.
  void ChangeWorkspace(const std::function<void(workspace::Workspace&)>& change);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  // Closing by any route (title bar, Alt+F4, the window manager) asks
  // before unsaved changes are thrown away.
  void closeEvent(QCloseEvent* event) override;

 private:
  void ConnectHandlers();
  template <class Handler>
  void Guarded(Handler&& handler);
  void KeepMinimumOuterSize();
  template <class Command>
  void ThenRefresh(Command&& command);
  // Brings into view what an undo or redo changed.
  void ShowEdited(const workspace::EditTarget& target);

  // The translator's view around the grid: source pane, status line, find
  // bar, and the keys that move to the work left and copy texts in.
  void BuildTranslatorView();
  void AddTranslatorShortcuts();
  // After a command: the counts, the other languages (read again only for
  // another source or destination) and the pane.
  void RefreshView();
  void ShowProgress();
  void ShowSourceOfCurrentRow();
  void GoToUntranslated(bool forward);
  void GoToWarning(bool forward);
  // Checks every row again, with the dictionary of the header's language.
  void CheckAll();
  // The language tag whose dictionary spells the table: the header's once a
  // destination is merged, none before.
  std::string SpelledTag() const;
  // The same and shows it, when the header's language is another than the
  // one checked.
  void CheckAllForLanguage();
  // The words of `text`, row `row`'s translation as typed, that the
  // dictionary does not know.
  QList<TextRun> MisspelledIn(std::size_t row, const QString& text) const;
  // The table row of the current cell, when it is a key row.
  std::optional<std::size_t> CurrentKeyRow() const;
  // Puts `text` into key row `row`'s translation, as one step of the undo
  // history of its own.
  void PutInto(std::size_t row, const std::string& text);
  void CopyOtherLanguage(std::size_t index);

  void FormCreate(const std::string& executableFile);
  void FormResize();
  void bitOpenClick();
  void bitSaveClick();
  void Save1Click();
  void cbProgramDropDown();
  void sgPrekladDrawCell(QPainter& painter, const GridCell& cell);
  void sgPrekladKeyDown(int key);

  workspace::Workspace::Clock clock_;
  WindowDialogs& dialogs_;
  CellDrawer drawCell_;
  std::unique_ptr<workspace::Workspace> workspace_;
  TranslationModel* model_ = nullptr;
  HeaderFieldsEditor* headerFields_ = nullptr;
  std::unique_ptr<WindowCommandHost> commandHost_;
  std::unique_ptr<workspace::Commands> commands_;
  EditHistory* history_ = nullptr;
  std::size_t editListener_ = 0;
  workspace::Progress progress_;
  workspace::TableChecks checks_;
  // The dictionaries looked up lately, by tag; null for a tag without one.
  std::map<std::string, std::unique_ptr<workspace::Speller>> spellers_;
  const workspace::Speller* speller_ = nullptr;  // the one for spellerTag_
  std::optional<std::string> spellerTag_;        // the tag it was looked up for
  QTimer* languageChange_ = nullptr;
  workspace::OtherLanguages otherLanguages_;
  std::string otherLanguagesFor_;  // the source and destination they were read for
  SourcePane* sourcePane_ = nullptr;
  StatusLine* statusLine_ = nullptr;
  FindBar* findBar_ = nullptr;
};
