#include "ui/f01_main.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QCloseEvent>
#include <QResizeEvent>
#include <QSessionManager>
#include <QTimer>
#include <QScopeGuard>

#include "app/ErrorHandler.h"
#include "app/ProcFunc.h"
#include "platform/ExecutableFile.h"
#include "platform/SpecialFolders.h"
#include "ui/CellLooks.h"
#include "ui/ColumnSplit.h"
#include "ui/Controls.h"
#include "ui/EditHistory.h"
#include "ui/HeaderFieldsEditor.h"
#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"
#include "ui/UnsavedIndicator.h"
#include "ui/WindowCommandHost.h"
#include "ui/WindowDialogs.h"

template <class Handler>
void TfMain::Guarded(Handler&& handler) {
  ProcFunc::Guarded(dialogs_, std::forward<Handler>(handler));
}

TfMain::TfMain(TfMainOptions options)
    : clock_(options.clock ? std::move(options.clock) : &platform::LocalNow),
      dialogs_(options.dialogs ? *options.dialogs : ToolkitDialogs()),
      drawCell_(options.drawCell ? std::move(options.drawCell) : CellDrawer(&ProcFunc::DrawCell)),
      workspace_(std::make_unique<workspace::Workspace>(clock_)) {
  if (options.executableFile.empty()) options.executableFile = platform::ExecutablePath();

  BuildMainWindow(*this, *this);
  model_ = new TranslationModel(*workspace_, dialogs_, sgPreklad);
  sgPreklad->SetTranslationModel(model_);
  headerFields_ = new HeaderFieldsEditor(*this, *workspace_, dialogs_, this);
  commandHost_ = std::make_unique<WindowCommandHost>(
      *this, *this, dialogs_, [this](const std::function<void()>& change) {
        ChangeWorkspace([&](workspace::Workspace&) { change(); });
      });
  commands_ = std::make_unique<workspace::Commands>(
      *workspace_, *commandHost_,
      options.journalFolder ? *options.journalFolder : platform::UserStateFolder());
  history_ = new EditHistory(
      *workspace_, [this](const workspace::EditTarget& target) { ShowEdited(target); }, this);
  history_->AddShortcuts(*this);
  ConnectHandlers();

  // Nothing is drawn half set up; the window paints once it is shown.
  setUpdatesEnabled(false);
  const auto resumeDrawing = qScopeGuard([this] { setUpdatesEnabled(true); });
  Guarded([&] { FormCreate(options.executableFile); });
}

TfMain::~TfMain() {
  // The grid's editor hands its text to the workspace when it loses the
  // focus, which closing the window causes, and the header editors and the
  // history listen to the workspace: all go while the workspace still
  // exists.
  delete sgPreklad;
  delete headerFields_;
  delete history_;
  workspace_->RemoveEditListener(editListener_);
}

void TfMain::ConnectHandlers() {
  connect(bitOpen, &QPushButton::clicked, this, [this] { Guarded([this] { bitOpenClick(); }); });
  connect(bitSave, &QPushButton::clicked, this, [this] { Guarded([this] { bitSaveClick(); }); });
  connect(Save1, &QAction::triggered, this, [this] { Guarded([this] { Save1Click(); }); });
  connect(cbProgram, &TComboBox::DropDown, this,
          [this] { Guarded([this] { cbProgramDropDown(); }); });
  connect(sgPreklad, &TranslationGrid::KeyDown, this,
          [this](int key) { Guarded([this, key] { sgPrekladKeyDown(key); }); });
  sgPreklad->SetDrawCellHandler([this](QPainter& painter, const GridCell& cell) {
    Guarded([&] { sgPrekladDrawCell(painter, cell); });
  });
  workspace_->OnModifiedChanged([this](bool marked) {
    PaintUnsavedIndicator(marked, {Label9, bitSave});
    if (!marked) history_->MarkSaved();
  });
  // The journal's records reach the file at once and the disk in batches;
  // a pause in typing ends a batch.
  auto* journalSync = new QTimer(this);
  journalSync->setSingleShot(true);
  journalSync->setInterval(1000);
  connect(journalSync, &QTimer::timeout, this, [this] { commands_->SyncJournal(); });
  editListener_ = workspace_->OnEdited([journalSync](const workspace::EditEvent&) {
    journalSync->start();
  });
  // Leaving a cell finishes its edit, also when the focus stays in the grid.
  connect(sgPreklad->selectionModel(), &QItemSelectionModel::currentChanged, history_,
          &EditHistory::EndStep);
  // A logout that asks first gets the same question as closing.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
    if (!session.allowsInteraction()) return;
    bool close = false;
    Guarded([&] { close = commands_->MayEndSession(); });
    session.release();
    if (!close) session.cancel();
  });
}

void TfMain::ChangeWorkspace(const std::function<void(workspace::Workspace&)>& change) {
  model_->BeginTableChange();
  const auto show = qScopeGuard([this] {
    model_->EndTableChange();
    headerFields_->Show();
    history_->Clear();
  });
  change(*workspace_);
}

void TfMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  KeepMinimumOuterSize();
  Guarded([this] { FormResize(); });
}

void TfMain::closeEvent(QCloseEvent* event) {
  bool close = false;
  Guarded([&] { close = commands_->Close(); });
  if (close)
    event->accept();
  else
    event->ignore();
}

void TfMain::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  KeepMinimumOuterSize();
}

// The limit is on the whole window, frame included; the toolkit limits the
// client area, so the frame is taken off once the window manager says how
// wide it is.
void TfMain::KeepMinimumOuterSize() {
  const QSize frame = frameGeometry().size() - size();
  const QSize minimum = kMinimumOuterSize - frame;
  if (minimumSize() != minimum) setMinimumSize(minimum);
}

void TfMain::FormCreate(const std::string& executableFile) {
  ProcFunc::SetUpIdentity(*this, executableFile);
  setWindowState(windowState() | Qt::WindowMaximized);
  workspace_->SetSourceFileName({});
  workspace_->SetDestinationFileName({});
  cbProgram->setCurrentIndex(0);
  workspace_->SetDate(clock_());
  headerFields_->Show();
}

void TfMain::FormResize() {
  const auto [keyWidth, translationWidth] = ColumnWidths(frameGeometry().width());
  sgPreklad->SetColumnWidths(keyWidth, translationWidth);
}

void TfMain::bitOpenClick() { commands_->Open(); }
void TfMain::bitSaveClick() { commands_->Save(); }
void TfMain::Save1Click() { commands_->Save(); }

void TfMain::cbProgramDropDown() { ProcFunc::SetDropDownWidth(*cbProgram); }

void TfMain::sgPrekladKeyDown(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return;
    default:
      workspace_->SetModified(true);
  }
}

void TfMain::ShowEdited(const workspace::EditTarget& target) {
  if (target.field != workspace::EditField::Translation || target.row == 0) return;
  const QModelIndex cell = model_->index(static_cast<int>(target.row - 1), 0);
  sgPreklad->setCurrentIndex(cell);
  sgPreklad->scrollTo(cell);
}

void TfMain::sgPrekladDrawCell(QPainter& painter, const GridCell& cell) {
  drawCell_(painter, cell.rect, model_->CellText(cell.column, cell.row),
            CellLookOf(cell, *workspace_));
}
