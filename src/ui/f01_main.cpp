#include "ui/f01_main.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QCloseEvent>
#include <QResizeEvent>
#include <QSessionManager>
#include <QTimer>
#include <QScopeGuard>

#include "app/ErrorHandler.h"
#include "app/TextCodec.h"
#include "app/ProcFunc.h"
#include "platform/CodePage.h"
#include "platform/ExecutableFile.h"
#include "platform/SpecialFolders.h"
#include "ui/CellLooks.h"
#include "ui/ColumnSplit.h"
#include "ui/Controls.h"
#include "ui/EditHistory.h"
#include "ui/FindBar.h"
#include "ui/SourcePane.h"
#include "ui/StatusLine.h"
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
  model_ = new TranslationModel(*workspace_, checks_, dialogs_, sgPreklad);
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
  BuildTranslatorView();
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
  delete findBar_;
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
  // Another language tag brings another dictionary and a check of every
  // row, which waits for a pause in typing the tag rather than run at every
  // key.
  languageChange_ = new QTimer(this);
  languageChange_->setSingleShot(true);
  languageChange_->setInterval(700);
  connect(languageChange_, &QTimer::timeout, this,
          [this] { Guarded([this] { CheckAllForLanguage(); }); });
  editListener_ = workspace_->OnEdited([this, journalSync](const workspace::EditEvent& edit) {
    journalSync->start();
    progress_.Apply(*workspace_, edit);
    checks_.Apply(*workspace_, edit);
    if (edit.target.field == workspace::EditField::Tag) languageChange_->start();
    ShowProgress();
  });
  sgPreklad->SetMisspellingFinder([this](std::size_t row, const QString& text) {
    QList<TextRun> words;
    Guarded([&] { words = MisspelledIn(row, text); });
    return words;
  });
  // Leaving a cell finishes its edit, also when the focus stays in the grid.
  connect(sgPreklad->selectionModel(), &QItemSelectionModel::currentChanged, history_,
          &EditHistory::EndStep);
  connect(sgPreklad->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this] { Guarded([this] { ShowSourceOfCurrentRow(); }); });
  // A logout that asks first gets the same question as closing.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
    if (!session.allowsInteraction()) return;
    bool close = false;
    Guarded([&] { close = commands_->MayEndSession(); });
    session.release();
    if (close) return;
    session.cancel();
    Guarded([this] { RefreshView(); });
  });
}

void TfMain::ChangeWorkspace(const std::function<void(workspace::Workspace&)>& change) {
  model_->BeginTableChange();
  const auto show = qScopeGuard([this] {
    // Before the grid shows the new table: its first paint and the editor it
    // opens read the findings. Stale ones would mark the old table's rows.
    Guarded([this] { CheckAll(); });
    model_->EndTableChange();
    headerFields_->Show();
    history_->Clear();
    progress_.Recount(*workspace_);
    ShowProgress();
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
  if (close) {
    event->accept();
    return;
  }
  event->ignore();
  // The question's Save may have chosen a destination and merged it.
  Guarded([this] { RefreshView(); });
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

// A command that fails half-way may still have changed the table or the
// files, so the view is brought up to date either way.
template <class Command>
void TfMain::ThenRefresh(Command&& command) {
  try {
    command();
  } catch (...) {
    RefreshView();
    throw;
  }
  RefreshView();
}

void TfMain::bitOpenClick() {
  // Every Open reads the other languages afresh, also for the same files:
  // a colleague may have saved theirs since.
  otherLanguagesFor_.clear();
  ThenRefresh([this] { commands_->Open(); });
}

void TfMain::bitSaveClick() {
  ThenRefresh([this] { commands_->Save(); });
}

void TfMain::Save1Click() { bitSaveClick(); }

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
  // A row the filter hides comes back into view with every other row.
  if (model_->ModelRow(target.row) < 0) findBar_->SetUntranslatedOnly(false);
  const QModelIndex cell = model_->IndexOfTableRow(target.row);
  sgPreklad->setCurrentIndex(cell);
  sgPreklad->scrollTo(cell);
}

void TfMain::sgPrekladDrawCell(QPainter& painter, const GridCell& cell) {
  drawCell_(painter, cell.rect, model_->CellText(cell.column, cell.row),
            CellLookOf(cell, *workspace_, checks_));
}

void TfMain::BuildTranslatorView() {
  statusLine_ = new StatusLine(this);
  sourcePane_ = new SourcePane(*workspace_, otherLanguages_, this);
  findBar_ = new FindBar(*workspace_, *sgPreklad, *statusLine_, this);
  PlaceTranslatorView(*this, *this, findBar_, sourcePane_, statusLine_);
  AddTranslatorShortcuts();
}

void TfMain::AddTranslatorShortcuts() {
  const auto add = [this](const char* name, std::initializer_list<QKeySequence> keys,
                          std::function<void()> handler) {
    auto* action = new QAction(this);
    action->setObjectName(name);
    action->setShortcuts(QList<QKeySequence>(keys));
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] {
      Guarded(handler);
    });
    addAction(action);
  };
  add("actNextUntranslated", {QKeySequence(Qt::CTRL | Qt::Key_J)},
      [this] { GoToUntranslated(true); });
  add("actPreviousUntranslated", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J)},
      [this] { GoToUntranslated(false); });
  // The cell's text is in the table already; leaving the cell ends its step.
  add("actFinishAndNext",
      {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}, [this] {
        history_->EndStep();
        GoToUntranslated(true);
      });
  add("actNextWarning", {QKeySequence(Qt::Key_F8)}, [this] { GoToWarning(true); });
  add("actPreviousWarning", {QKeySequence(Qt::SHIFT | Qt::Key_F8)}, [this] { GoToWarning(false); });
  add("actFind", {QKeySequence(Qt::CTRL | Qt::Key_F)}, [this] { findBar_->Open(); });
  add("actFindNext", {QKeySequence(Qt::Key_F3)}, [this] { findBar_->FindNext(true); });
  add("actFindPrevious", {QKeySequence(Qt::SHIFT | Qt::Key_F3)},
      [this] { findBar_->FindNext(false); });
  add("actCopySource", {QKeySequence(Qt::CTRL | Qt::Key_B)}, [this] {
    if (const auto row = CurrentKeyRow())
      PutInto(*row, std::string(workspace_->SourceText(*row)));
  });
  for (std::size_t index = 0; index < SourcePane::kNumberedLanguages; ++index) {
    const std::string name = "actCopyLanguage" + std::to_string(index + 1);
    add(name.c_str(), {QKeySequence(Qt::ALT | (Qt::Key_1 + static_cast<int>(index)))},
        [this, index] { CopyOtherLanguage(index); });
  }
}

void TfMain::RefreshView() {
  // A save right after a change of the language tag need not wait for the
  // pause to see it checked.
  CheckAllForLanguage();
  // The counts are kept by every table change and edit already.
  ShowProgress();
  std::string pair = workspace_->SourceFileName();
  pair.push_back('\0');
  pair += workspace_->DestinationFileName();
  if (pair != otherLanguagesFor_) {
    // Another folder's languages must not stay on show, nor a failed read
    // count as done.
    otherLanguagesFor_.clear();
    otherLanguages_.Clear();
    ShowSourceOfCurrentRow();
    otherLanguages_.Load(workspace_->SourceFileName(), workspace_->DestinationFileName());
    otherLanguagesFor_ = std::move(pair);
  }
  ShowSourceOfCurrentRow();
}

void TfMain::ShowProgress() {
  // Nothing to count before the first file.
  const bool loaded = !workspace_->SourceFileName().empty();
  statusLine_->ShowProgress(loaded ? QString::fromStdString(progress_.Text()) : QString());
  const std::size_t warnings = checks_.Count();
  statusLine_->ShowWarnings(
      loaded && warnings > 0
          ? QString::fromStdString(workspace::GroupedNumber(warnings) +
                                   (warnings == 1 ? " warning" : " warnings"))
          : QString());
}

void TfMain::ShowSourceOfCurrentRow() { sourcePane_->Show(sgPreklad->CurrentTableRow()); }

void TfMain::GoToUntranslated(bool forward) {
  const int rows = model_->rowCount();
  const QModelIndex current = sgPreklad->currentIndex();
  const int from = current.isValid() ? current.row() : (forward ? -1 : rows);
  const auto& table = workspace_->Table();
  for (int step = 1; step <= rows; ++step) {
    const int unwrapped = forward ? from + step : from - step;
    const int row = (unwrapped % rows + rows) % rows;
    const std::size_t tableRow = model_->TableRow(row);
    if (!table.IsKey(tableRow) || !workspace_->IsUntranslated(tableRow)) continue;
    const QModelIndex cell = model_->index(row, 0);
    sgPreklad->setCurrentIndex(cell);
    sgPreklad->scrollTo(cell);
    if (unwrapped != row)
      statusLine_->ShowNote(forward ? QStringLiteral("Continued from the top.")
                                    : QStringLiteral("Continued from the bottom."));
    return;
  }
  statusLine_->ShowNote(QStringLiteral("No untranslated rows are left."));
}

void TfMain::GoToWarning(bool forward) {
  std::size_t at =
      sgPreklad->CurrentTableRow().value_or(forward ? 0 : workspace_->Table().RowCount());
  bool wrapped = false;
  // Rows the filter hides are passed over; no row is tried twice.
  for (std::size_t left = checks_.RowsWithFindings(); left > 0; --left) {
    const std::size_t next = *checks_.Next(at, forward);
    wrapped = wrapped || (forward ? next <= at : next >= at);
    at = next;
    const int row = model_->ModelRow(at);
    if (row < 0) continue;
    const QModelIndex cell = model_->index(row, 0);
    sgPreklad->setCurrentIndex(cell);
    sgPreklad->scrollTo(cell);
    if (wrapped)
      statusLine_->ShowNote(forward ? QStringLiteral("Continued from the top.")
                                    : QStringLiteral("Continued from the bottom."));
    return;
  }
  statusLine_->ShowNote(model_->UntranslatedOnly()
                            ? QStringLiteral("No rows on show have warnings.")
                            : QStringLiteral("No rows have warnings."));
}

void TfMain::CheckAll() {
  const std::string tag = SpelledTag();
  if (spellerTag_ != tag) {
    // Every Open loads the source before it merges the destination, and a
    // dictionary takes a tenth of a second or more to load: the last few
    // stay at hand, so opening the same pair again loads none.
    auto& kept = spellers_[tag];
    if (!kept) kept = workspace::Speller::ForTag(tag, platform::SystemCodePage());
    speller_ = kept.get();
    spellerTag_ = tag;
    if (spellers_.size() > 3) {
      for (auto it = spellers_.begin(); it != spellers_.end();)
        it = it->first == tag ? std::next(it) : spellers_.erase(it);
    }
  }
  checks_.RecheckAll(*workspace_, speller_);
}

std::string TfMain::SpelledTag() const {
  // Until a destination is merged the header is the source's, whose
  // dictionary would call every word typed in the translation's language
  // wrong.
  return workspace_->DestinationFileName().empty() ? std::string() : workspace_->Header().tag;
}

void TfMain::CheckAllForLanguage() {
  if (spellerTag_ == SpelledTag()) return;
  CheckAll();
  ShowProgress();
  sgPreklad->RepaintAll();
  sgPreklad->MarkMisspelled();
}

QList<TextRun> TfMain::MisspelledIn(std::size_t row, const QString& text) const {
  QList<TextRun> words;
  if (!speller_ || !workspace_->Table().IsKey(row)) return words;
  const auto bytes = TextCodec::System().Encode(text);
  if (!bytes) return words;
  // Each byte of the code page is one character of the text, so a word's
  // bytes are its characters.
  for (const workspace::WordSpan& word : speller_->Misspelled(*bytes, workspace_->SourceText(row)))
    words.append({static_cast<int>(word.offset), static_cast<int>(word.length)});
  return words;
}

std::optional<std::size_t> TfMain::CurrentKeyRow() const {
  const auto row = sgPreklad->CurrentTableRow();
  if (!row || !workspace_->Table().IsKey(*row)) return std::nullopt;
  return row;
}

void TfMain::PutInto(std::size_t row, const std::string& text) {
  history_->EndStep();
  workspace_->Edit({workspace::EditField::Translation, row}, text);
  history_->EndStep();
}

void TfMain::CopyOtherLanguage(std::size_t index) {
  const auto row = CurrentKeyRow();
  if (!row || index >= otherLanguages_.Languages().size()) return;
  if (const auto text = sourcePane_->OtherText(index, *row)) {
    PutInto(*row, *text);
    return;
  }
  const auto& language = otherLanguages_.Languages()[index];
  statusLine_->ShowNote(TextCodec::System().Decode(language.name) + " (" +
                        TextCodec::System().Decode(language.tag) + ") has no text for this key.");
}
