#include "ui/f01_main.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScopeGuard>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cstdint>

#include "app/ErrorHandler.h"
#include "app/ProcFunc.h"
#include "app/TextCodec.h"
#include "platform/ExecutableFile.h"
#include "ui/Controls.h"
#include "ui/TranslationGrid.h"
#include "ui/TranslationModel.h"

static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace {

// The window is laid out for Tahoma. Linux desktops rarely have it, but
// Wine's own Tahoma (Debian's fonts-wine) is often there, outside the font
// folders, since the sibling programs run under Wine.
void RegisterWindowFont() {
  if (QFontDatabase::hasFamily(QStringLiteral("Tahoma"))) return;
  for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
    QFontDatabase::addApplicationFont(QString::fromLatin1(file));
}

using namespace std::chrono;

// Marks what still needs the translator: unsaved edits, untranslated rows.
const QColor kMaroon{128, 0, 0};

std::optional<std::string> ToolkitFileDialog(QWidget* owner, FileDialogKind kind,
                                             const workspace::FileDialogRequest& request) {
  const auto dialog = TfMain::NewFileDialog(owner, kind, request);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog->selectedFiles().constFirst()).toStdString();
}

QDate DateOf(platform::LocalDateTime dateTime) {
  const year_month_day calendar{floor<days>(dateTime)};
  return {static_cast<int>(calendar.year()),
          static_cast<int>(static_cast<unsigned>(calendar.month())),
          static_cast<int>(static_cast<unsigned>(calendar.day()))};
}

// `dateTime` moved to `date`, at the same time of day.
platform::LocalDateTime WithDate(platform::LocalDateTime dateTime, QDate date) {
  const auto timeOfDay = dateTime - floor<days>(dateTime);
  const local_days midnight{year_month_day{year{date.year()},
                                           month{static_cast<unsigned>(date.month())},
                                           day{static_cast<unsigned>(date.day())}}};
  return midnight + timeOfDay;
}

// The user's short date format, with the whole year: a two-digit year would
// be read back into the wrong century.
QString ShortDateFormat() {
  QString format = QLocale().dateFormat(QLocale::ShortFormat);
  if (!format.contains(QLatin1String("yyyy"))) format.replace(QLatin1String("yy"), "yyyy");
  return format;
}

QPixmap Glyph(const QString& resource) {
  QPixmap glyph(resource);
  // Pure red marks the glyph's transparent pixels.
  if (!glyph.isNull()) glyph.setMask(glyph.createMaskFromColor(Qt::red));
  return glyph;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->adjustSize();
  label->move(left, top);
  return label;
}

// A label whose text ends at `right`, next to its field.
QLabel* NewRightAlignedLabel(QWidget* parent, const char* name, const QString& text, int right,
                             int top) {
  QLabel* label = NewLabel(parent, name, text, 0, top);
  label->setAlignment(Qt::AlignRight | Qt::AlignTop);
  label->move(right - label->width(), top);
  return label;
}

QLineEdit* NewEdit(QWidget* parent, const char* name, const QRect& geometry) {
  auto* edit = new TEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(geometry);
  return edit;
}

std::string Encoded(const QString& text, const std::string& unchanged) {
  auto bytes = TextCodec::System().Encode(text);
  return bytes ? std::move(*bytes) : unchanged;
}

}  // namespace

TfMain::TfMain(TfMainOptions options) {
  InitResources();
  RegisterWindowFont();
  clock_ = options.clock ? std::move(options.clock) : &platform::LocalNow;
  if (options.executableFile.empty()) options.executableFile = platform::ExecutablePath();
  workspace_ = std::make_unique<workspace::Workspace>(clock_);
  workflow_ = std::make_unique<workspace::Commands>(*workspace_,
                                                    static_cast<workspace::CommandHost&>(*this));
  fileDialogs_ = &ToolkitFileDialog;

  CreateControls();
  ConnectHandlers();

  // Nothing is drawn half set up; the window paints once it is shown.
  setUpdatesEnabled(false);
  const auto resumeDrawing = qScopeGuard([this] { setUpdatesEnabled(true); });
  ProcFunc::Guarded([&] { FormCreate(options.executableFile); });
}

TfMain::~TfMain() {
  // The grid's editor hands its text to the workspace when it loses the
  // focus, which closing the window causes; the workspace must still exist.
  delete sgPreklad;
}

// ---------------------------------------------------------------------------
// The window's design.

void TfMain::CreateControls() {
  setObjectName("fMain");
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(11);
  setFont(font);
  setAutoFillBackground(true);
  setContextMenuPolicy(Qt::NoContextMenu);
  QIcon icon;
  for (int size : {16, 32, 48, 64})
    icon.addFile(QStringLiteral(":/icons/orvane-translator-%1.png").arg(size), QSize(size, size));
  setWindowIcon(icon);

  CreatePanel();
  CreateHeaderFields();
  CreateGrid();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Panel1);
  layout->addWidget(sgPreklad, 1);

  // The menu only carries the shortcut; it never opens.
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  Save1 = PopupMenu1->addAction(QStringLiteral("Save"));
  Save1->setObjectName("Save1");
  Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  Save1->setShortcutContext(Qt::WindowShortcut);
  addAction(Save1);

  setTabOrder(cbProgram, bitOpen);
  setTabOrder(bitOpen, bitSave);
  setTabOrder(bitSave, eLngTag);
  setTabOrder(eLngTag, eLngName);
  setTabOrder(eLngName, eProgramVersion);
  setTabOrder(eProgramVersion, eTranslateVersion);
  setTabOrder(eTranslateVersion, eDate);
  setTabOrder(eDate, mAutors);
  setTabOrder(mAutors, sgPreklad);

  move(0, 0);
  resize(kRestoredSize);
}

void TfMain::CreatePanel() {
  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFixedHeight(131);
  Panel1->setContextMenuPolicy(Qt::NoContextMenu);

  Label1 = NewLabel(Panel1, "Label1", QStringLiteral("Program "), 8, 8);
  cbProgram = new TComboBox(Panel1);
  cbProgram->setObjectName("cbProgram");
  cbProgram->setGeometry(8, 24, 169, 21);
  cbProgram->setEditable(false);
  cbProgram->setMaxVisibleItems(15);
  cbProgram->setItemDelegate(new FixedHeightItemDelegate(13, cbProgram));
  for (const workspace::FileKind& kind : workspace::kFileKinds)
    cbProgram->addItem(QString::fromLatin1(kind.entry.data(), static_cast<qsizetype>(kind.entry.size())));

  Label10 = NewLabel(Panel1, "Label10", QStringLiteral("Source"), 8, 52);
  Label11 = NewLabel(Panel1, "Label11", QStringLiteral("Destination"), 96, 52);

  bitOpen = new QPushButton(QStringLiteral("Open..."), Panel1);
  bitOpen->setObjectName("bitOpen");
  bitOpen->setGeometry(8, 64, 81, 33);
  bitOpen->setIcon(Glyph(QStringLiteral(":/glyphs/open.png")));
  bitOpen->setIconSize(QSize(16, 16));

  bitSave = new QPushButton(QStringLiteral("Save..."), Panel1);
  bitSave->setObjectName("bitSave");
  bitSave->setGeometry(96, 64, 83, 33);
  bitSave->setIcon(Glyph(QStringLiteral(":/glyphs/save.png")));
  bitSave->setIconSize(QSize(17, 17));

  Label9 = new QLabel(QStringLiteral("(Ctrl+S)"), Panel1);
  Label9->setObjectName("Label9");
  Label9->setGeometry(96, 96, 81, 13);
  Label9->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  lblLoaded = NewLabel(Panel1, "lblLoaded", QString(), 8, 115);

  Label6 = new QLabel(QStringLiteral("last number in TranslationVersion mean a version of "
                                     "translation - it is reseted when new version of program "
                                     "is released"),
                      Panel1);
  Label6->setObjectName("Label6");
  Label6->setGeometry(624, 12, 120, 101);
  Label6->setWordWrap(true);
  Label6->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
}

void TfMain::CreateHeaderFields() {
  GroupBox1 = new TGroupBox(QStringLiteral("Information about translation"), Panel1);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(192, 8, 425, 105);

  Label2 = NewRightAlignedLabel(GroupBox1, "Label2", QStringLiteral("language TAG"), 111, 19);
  eLngTag = NewEdit(GroupBox1, "eLngTag", {112, 16, 121, 21});
  Label3 = NewRightAlignedLabel(GroupBox1, "Label3", QStringLiteral("language NAME"), 111, 39);
  eLngName = NewEdit(GroupBox1, "eLngName", {112, 36, 121, 21});
  Label4 = NewRightAlignedLabel(GroupBox1, "Label4", QStringLiteral("for ProgramVersion"), 111, 59);
  eProgramVersion = NewEdit(GroupBox1, "eProgramVersion", {112, 56, 121, 21});
  Label5 = NewRightAlignedLabel(GroupBox1, "Label5", QStringLiteral("TranslationVersion"), 111, 79);
  eTranslateVersion = NewEdit(GroupBox1, "eTranslateVersion", {112, 76, 121, 21});

  Label7 = NewRightAlignedLabel(GroupBox1, "Label7", QStringLiteral("date"), 279, 19);
  eDate = new TDateEdit(GroupBox1);
  eDate->setObjectName("eDate");
  eDate->setGeometry(280, 16, 105, 21);
  eDate->setCalendarPopup(true);
  eDate->setDisplayFormat(ShortDateFormat());

  Label8 = NewRightAlignedLabel(GroupBox1, "Label8", QStringLiteral("Autors"), 279, 42);
  mAutors = new TMemo(GroupBox1);
  mAutors->setObjectName("mAutors");
  mAutors->setGeometry(280, 42, 137, 55);
  mAutors->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mAutors->setTabChangesFocus(true);
}

void TfMain::CreateGrid() {
  sgPreklad = new TranslationGrid(this);
  sgPreklad->setObjectName("sgPreklad");
  model_ = new TranslationModel(*workspace_, sgPreklad);
  sgPreklad->SetTranslationModel(model_);
  sgPreklad->SetDrawCellHandler([this](QPainter& painter, const GridCell& cell) {
    ProcFunc::Guarded([&] { sgPrekladDrawCell(painter, cell); });
  });
}

void TfMain::ConnectHandlers() {
  connect(bitOpen, &QPushButton::clicked, this, [this] { ProcFunc::Guarded([this] { bitOpenClick(); }); });
  connect(bitSave, &QPushButton::clicked, this, [this] { ProcFunc::Guarded([this] { bitSaveClick(); }); });
  connect(Save1, &QAction::triggered, this, [this] { ProcFunc::Guarded([this] { Save1Click(); }); });
  connect(cbProgram, &TComboBox::DropDown, this,
          [this] { ProcFunc::Guarded([this] { cbProgramDropDown(); }); });
  connect(sgPreklad, &TranslationGrid::KeyDown, this,
          [this](int key) { ProcFunc::Guarded([this, key] { sgPrekladKeyDown(key); }); });
  workspace_->OnModifiedChanged([this](bool marked) { PaintIndicator(marked); });
  BindHeaderFields();
}

// The fields write into the workspace as the user edits them, and only then,
// so a text nobody touched keeps its bytes exactly.
void TfMain::BindHeaderFields() {
  const auto bind = [this](QLineEdit* edit, std::string workspace::HeaderFields::*field) {
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
      ProcFunc::Guarded([&] {
        std::string& stored = workspace_->Header().*field;
        stored = Encoded(text, stored);
      });
    });
  };
  bind(eLngTag, &workspace::HeaderFields::tag);
  bind(eLngName, &workspace::HeaderFields::name);
  bind(eProgramVersion, &workspace::HeaderFields::programVersion);
  bind(eTranslateVersion, &workspace::HeaderFields::translationVersion);

  connect(eDate, &QDateEdit::dateChanged, this, [this](QDate date) {
    if (showingHeader_ || !date.isValid()) return;
    ProcFunc::Guarded([&] {
      auto& stored = workspace_->Header().date;
      stored = WithDate(stored, date);
    });
  });

  connect(mAutors, &QPlainTextEdit::textChanged, this,
          [this] { ProcFunc::Guarded([this] { StoreAuthors(); }); });
}

namespace {

// The memo's lines as typed. Read block by block: the memo's plain text
// turns no-break spaces into spaces, which would rewrite a byte of every
// author at the first keystroke.
QStringList MemoLines(const QPlainTextEdit& memo) {
  QStringList lines;
  for (QTextBlock block = memo.document()->begin(); block.isValid(); block = block.next())
    lines.append(block.text());
  // A memo's last line break ends a line; it does not start another.
  if (lines.size() > 1 && lines.back().isEmpty()) lines.removeLast();
  if (lines.size() == 1 && lines.front().isEmpty()) lines.clear();
  return lines;
}

}  // namespace

void TfMain::StoreAuthors() {
  if (showingHeader_) return;
  const QStringList lines = MemoLines(*mAutors);
  std::vector<std::string> authors;
  authors.reserve(static_cast<std::size_t>(lines.size()));
  for (const QString& line : lines) {
    // A line as it was shown keeps its bytes exactly, wherever it moved.
    const auto shown = std::find_if(shownAuthors_.begin(), shownAuthors_.end(),
                                    [&](const auto& author) { return author.first == line; });
    if (shown != shownAuthors_.end()) {
      authors.push_back(shown->second);
      continue;
    }
    auto bytes = TextCodec::System().Encode(line);
    // The memo refuses what the code page cannot hold; should anything slip
    // through, no line is stored under another line's number.
    if (!bytes) return;
    authors.push_back(std::move(*bytes));
  }
  workspace_->Header().authors = std::move(authors);
}

// ---------------------------------------------------------------------------
// Showing the workspace.

void TfMain::ShowHeaderFields() {
  showingHeader_ = true;
  const auto done = qScopeGuard([this] { showingHeader_ = false; });
  const auto& header = workspace_->Header();
  const TextCodec& codec = TextCodec::System();
  eLngTag->setText(codec.Decode(header.tag));
  eLngName->setText(codec.Decode(header.name));
  eProgramVersion->setText(codec.Decode(header.programVersion));
  eTranslateVersion->setText(codec.Decode(header.translationVersion));
  QStringList authors;
  shownAuthors_.clear();
  for (const std::string& line : header.authors) {
    authors.append(codec.Decode(line));
    shownAuthors_.emplace_back(authors.back(), line);
  }
  mAutors->setPlainText(authors.join(u'\n'));
  eDate->setDate(DateOf(header.date));
}

void TfMain::ChangeWorkspace(const std::function<void(workspace::Workspace&)>& change) {
  model_->BeginTableChange();
  const auto show = qScopeGuard([this] {
    model_->EndTableChange();
    ShowHeaderFields();
  });
  change(*workspace_);
}

bool TfMain::IndicatorMarked() const {
  return Label9->palette().color(QPalette::WindowText) == kMaroon;
}

void TfMain::PaintIndicator(bool marked) {
  for (QWidget* caption : {static_cast<QWidget*>(Label9), static_cast<QWidget*>(bitSave)}) {
    QPalette palette = caption->palette();
    const QColor colour = marked ? kMaroon : QPalette().color(QPalette::WindowText);
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    caption->setPalette(palette);
  }
}

// ---------------------------------------------------------------------------
// Sizes.

namespace {

// Wide enough for a width times a 64-bit significand.
__extension__ typedef unsigned __int128 Wide;

// `value` / 2^shift rounded to the nearest integer, an exact half to even.
Wide ShiftRounded(Wide value, int shift) {
  if (shift <= 0) return value << -shift;
  const Wide one = 1;
  const Wide remainder = value & ((one << shift) - 1);
  const Wide half = one << (shift - 1);
  Wide quotient = value >> shift;
  if (remainder > half || (remainder == half && (quotient & 1))) ++quotient;
  return quotient;
}

// n x (significand / 2^scale) as the x87's extended type computes it: the
// exact product rounded to a 64-bit significand, then to an integer, each
// time to nearest with halves to even. Done in integers, so that every
// machine gets the widths the sibling programs get, whatever its long double.
int ExtendedProductRounded(int n, std::uint64_t significand, int scale) {
  const bool negative = n < 0;
  Wide product =
      static_cast<Wide>(negative ? -static_cast<long long>(n) : n) * significand;
  int bits = 0;
  for (Wide rest = product; rest != 0; rest >>= 1) ++bits;
  if (bits > 64) {
    product = ShiftRounded(product, bits - 64);
    scale -= bits - 64;
  }
  const auto rounded = static_cast<long long>(ShiftRounded(product, scale));
  return static_cast<int>(negative ? -rounded : rounded);
}

// The extended-precision numbers nearest to 0.3 and 0.7: 64-bit
// significands over 2^65 and 2^64.
constexpr std::uint64_t kThreeTenths = 11068046444225730970u;
constexpr int kThreeTenthsScale = 65;
constexpr std::uint64_t kSevenTenths = 12912720851596686131u;
constexpr int kSevenTenthsScale = 64;

}  // namespace

std::pair<int, int> TfMain::ColumnWidths(int outerWidth) {
  // Exact halves matter: 355 x 0.3 comes out as 106.5000000000000000052 in
  // extended precision and goes to 107, not to the even 106.
  const int width = outerWidth - 50;
  return {ExtendedProductRounded(width, kThreeTenths, kThreeTenthsScale),
          ExtendedProductRounded(width, kSevenTenths, kSevenTenthsScale)};
}

void TfMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  KeepMinimumOuterSize();
  ProcFunc::Guarded([this] { FormResize(); });
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

// ---------------------------------------------------------------------------
// Event handlers.

void TfMain::FormCreate(const std::string& executableFile) {
  ProcFunc::SetUpIdentity(*this, executableFile);
  setWindowState(windowState() | Qt::WindowMaximized);
  workspace_->SetSourceFileName({});
  workspace_->SetDestinationFileName({});
  cbProgram->setCurrentIndex(0);
  workspace_->Header().date = clock_();
  ShowHeaderFields();
}

void TfMain::FormResize() {
  const auto [keyWidth, translationWidth] = ColumnWidths(frameGeometry().width());
  sgPreklad->SetColumnWidths(keyWidth, translationWidth);
}

void TfMain::bitOpenClick() { RunCommand(&WindowCommands::Open); }
void TfMain::bitSaveClick() { RunCommand(&WindowCommands::Save); }
void TfMain::Save1Click() { RunCommand(&WindowCommands::Save); }

void TfMain::RunCommand(void (WindowCommands::*command)()) {
  if (commands_)
    (commands_->*command)();
  else if (command == &WindowCommands::Open)
    workflow_->Open();
  else
    workflow_->Save();
}

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

ProcFunc::CellLook TfMain::CellLookOf(const GridCell& cell) const {
  ProcFunc::CellLook look{cell.background, Qt::black};
  if (cell.column == 1) {
    if (cell.inSelection) look.text = Qt::white;
    // Untranslated wins: it must show on the current cell too.
    if (workspace_->IsUntranslated(cell.row)) look.text = kMaroon;
  }
  look.bold = cell.row == 0;
  look.alignment = cell.row == 0 ? ProcFunc::CellAlignment::Centred : ProcFunc::CellAlignment::Left;
  return look;
}

void TfMain::sgPrekladDrawCell(QPainter& painter, const GridCell& cell) {
  ProcFunc::DrawCell(painter, cell.rect, model_->CellText(cell.column, cell.row), CellLookOf(cell));
}

// ---------------------------------------------------------------------------
// What the commands see of the window.

// The open dialog takes a name that does not exist, and the save dialog does
// not ask before an existing file is chosen, since choosing an existing
// translation is how work on it goes on.
std::unique_ptr<QFileDialog> TfMain::NewFileDialog(QWidget* owner, FileDialogKind kind,
                                                   const workspace::FileDialogRequest& request) {
  const bool open = kind == FileDialogKind::Open;
  auto dialog = std::make_unique<QFileDialog>(
      owner, open ? QStringLiteral("Open") : QStringLiteral("Save As"),
      QFile::decodeName(request.initialFolder.c_str()), QString::fromStdString(request.filter));
  dialog->setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setOption(QFileDialog::DontConfirmOverwrite);
  // A desktop's own dialog may insist that an opened file exists.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setSizeGripEnabled(true);
  if (!request.fileName.empty()) dialog->selectFile(QFile::decodeName(request.fileName.c_str()));
  return dialog;
}

void TfMain::SetFileDialogPresenter(FileDialogPresenter presenter) {
  fileDialogs_ = presenter ? std::move(presenter) : FileDialogPresenter(&ToolkitFileDialog);
}

std::string TfMain::SelectedFileKind() const { return cbProgram->currentText().toStdString(); }

std::string TfMain::ApplicationFolder() const {
  return ProcFunc::ProgramIdentity().applicationFolder;
}

std::string TfMain::CommonAppDataFolder() const {
  return ProcFunc::GetSpecialFolderPath(ProcFunc::kCommonAppData);
}

std::optional<std::string> TfMain::ShowOpenDialog(const workspace::FileDialogRequest& request) {
  return fileDialogs_(this, FileDialogKind::Open, request);
}

std::optional<std::string> TfMain::ShowSaveDialog(const workspace::FileDialogRequest& request) {
  return fileDialogs_(this, FileDialogKind::Save, request);
}

void TfMain::ShowMessage(std::string_view text, unsigned style) {
  ProcFunc::MessageBox(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), style);
}

void TfMain::ShowSourceFileName(const std::string& fileName) {
  lblLoaded->setText(QFile::decodeName(fileName.c_str()));
  lblLoaded->adjustSize();
}

void TfMain::ChangeTable(const std::function<void()>& change) {
  ChangeWorkspace([&](workspace::Workspace&) { change(); });
}

void TfMain::ShowDestinationSaved() {
  bitSave->setText(QStringLiteral("Save"));
  sgPreklad->RepaintAll();
}
