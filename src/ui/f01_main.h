#pragma once

// The main window: file kind, Open and Save, the header fields of the
// translation and the grid. It owns the workspace for the whole run; its
// event handlers carry the workflow, each under the default error handler.

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/CellPainter.h"
#include "workspace/Commands.h"
#include "workspace/Workspace.h"

class QAction;
class QFileDialog;
class TGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class TComboBox;
class TDateEdit;
class TMemo;
class TranslationGrid;
class TranslationModel;
struct GridCell;

// What the Open and Save buttons and Ctrl+S run, when something other than
// the window's own commands should (tests that only count them).
class WindowCommands {
 public:
  virtual ~WindowCommands() = default;
  virtual void Open() = 0;
  virtual void Save() = 0;
};

struct TfMainOptions {
  // The executable whose version record captions the window; empty means
  // the running one.
  std::string executableFile;
  // Where "now" comes from; empty means the local clock.
  workspace::Workspace::Clock clock;
};

enum class FileDialogKind { Open, Save };

// Shows a file dialog and returns the chosen full path (a file-system name),
// or nothing when cancelled; the seam through which tests choose files.
using FileDialogPresenter = std::function<std::optional<std::string>(
    QWidget* owner, FileDialogKind kind, const workspace::FileDialogRequest& request)>;

class TfMain : public QWidget, private workspace::CommandHost {
  Q_OBJECT

 public:
  // The window's size while not maximised, its client area.
  static constexpr QSize kRestoredSize{699, 484};
  // The whole window, frame included, is never smaller.
  static constexpr QSize kMinimumOuterSize{400, 400};

  explicit TfMain(TfMainOptions options = {});
  ~TfMain() override;

  workspace::Workspace& Workspace() { return *workspace_; }
  // Null restores the window's own Open and Save commands.
  void SetCommands(WindowCommands* commands) { commands_ = commands; }
  // Every file dialog of the window goes through `presenter`; an empty one
  // restores the toolkit's dialogs.
  void SetFileDialogPresenter(FileDialogPresenter presenter);

  // The toolkit's file dialog set up for `request`, not yet shown.
  static std::unique_ptr<QFileDialog> NewFileDialog(QWidget* owner, FileDialogKind kind,
                                                    const workspace::FileDialogRequest& request);

  // The look the draw-cell handler gives a cell the grid has prepared.
  ProcFunc::CellLook CellLookOf(const GridCell& cell) const;

  // Column widths for an outer window width: 30% and 70% of the width less
  // 50 pixels, each rounded to the nearest integer, an exact half to even.
  static std::pair<int, int> ColumnWidths(int outerWidth);

  // Runs `change` (a load, a merge) on the workspace and shows the result:
  // the grid lets go of the old table first, and the header fields show the
  // new values after, also when the change fails half-way.
  void ChangeWorkspace(const std::function<void(workspace::Workspace&)>& change);
  void ShowHeaderFields();

  // The unsaved-changes indicator: maroon captions when marked.
  bool IndicatorMarked() const;

  // The controls, by the names the rest of the program knows them by.
  QWidget* Panel1;
  QLabel* Label1;
  TComboBox* cbProgram;
  QLabel* Label10;
  QLabel* Label11;
  QPushButton* bitOpen;
  QPushButton* bitSave;
  QLabel* Label9;
  QLabel* lblLoaded;
  TGroupBox* GroupBox1;
  QLabel* Label2;
  QLineEdit* eLngTag;
  QLabel* Label3;
  QLineEdit* eLngName;
  QLabel* Label4;
  QLineEdit* eProgramVersion;
  QLabel* Label5;
  QLineEdit* eTranslateVersion;
  QLabel* Label7;
  TDateEdit* eDate;
  QLabel* Label8;
  TMemo* mAutors;
  QLabel* Label6;
  TranslationGrid* sgPreklad;
  QMenu* PopupMenu1;
  QAction* Save1;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void CreateControls();
  void CreatePanel();
  void CreateHeaderFields();
  void CreateGrid();
  void ConnectHandlers();
  void BindHeaderFields();

  // Event handlers.
  void FormCreate(const std::string& executableFile);
  void FormResize();
  void bitOpenClick();
  void bitSaveClick();
  void Save1Click();
  void cbProgramDropDown();
  void sgPrekladDrawCell(QPainter& painter, const GridCell& cell);
  void sgPrekladKeyDown(int key);

  // What the Open and Save commands need of the window.
  std::string SelectedFileKind() const override;
  std::string ApplicationFolder() const override;
  std::string CommonAppDataFolder() const override;
  std::optional<std::string> ShowOpenDialog(const workspace::FileDialogRequest& request) override;
  std::optional<std::string> ShowSaveDialog(const workspace::FileDialogRequest& request) override;
  void ShowMessage(std::string_view text, unsigned style) override;
  void ShowSourceFileName(const std::string& fileName) override;
  void ChangeTable(const std::function<void()>& change) override;
  void ShowDestinationSaved() override;

  void StoreAuthors();
  void RunCommand(void (WindowCommands::*command)());
  void PaintIndicator(bool marked);
  void KeepMinimumOuterSize();

  workspace::Workspace::Clock clock_;
  std::unique_ptr<workspace::Workspace> workspace_;
  TranslationModel* model_ = nullptr;
  std::unique_ptr<workspace::Commands> workflow_;
  WindowCommands* commands_ = nullptr;
  FileDialogPresenter fileDialogs_;
  bool showingHeader_ = false;
  // The author lines as the memo last got them from the workspace.
  std::vector<std::pair<QString, std::string>> shownAuthors_;
};
