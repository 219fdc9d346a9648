#include "ui/MainWindowLayout.h"

#include <QAction>
#include <QFontDatabase>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "ui/Controls.h"
#include "ui/TranslationGrid.h"
#include "workspace/Commands.h"

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

void BuildPanel(QWidget& window, MainWindowControls& c) {
  c.Panel1 = new QWidget(&window);
  c.Panel1->setObjectName("Panel1");
  // A line below the group box for each of the two paths, each as wide as
  // the window: paths are long, and side by side one would cut off the other.
  c.Panel1->setFixedHeight(146);
  c.Panel1->setContextMenuPolicy(Qt::NoContextMenu);

  c.Label1 = NewLabel(c.Panel1, "Label1", QStringLiteral("Program "), 8, 8);
  c.cbProgram = new TComboBox(c.Panel1);
  c.cbProgram->setObjectName("cbProgram");
  c.cbProgram->setGeometry(8, 24, 169, 21);
  c.cbProgram->setEditable(false);
  c.cbProgram->setMaxVisibleItems(15);
  c.cbProgram->setItemDelegate(new FixedHeightItemDelegate(13, c.cbProgram));
  for (const workspace::FileKind& kind : workspace::kFileKinds)
    c.cbProgram->addItem(
        QString::fromLatin1(kind.entry.data(), static_cast<qsizetype>(kind.entry.size())));

  c.Label10 = NewLabel(c.Panel1, "Label10", QStringLiteral("Source"), 8, 52);
  c.Label11 = NewLabel(c.Panel1, "Label11", QStringLiteral("Destination"), 96, 52);

  c.bitOpen = new QPushButton(QStringLiteral("Open..."), c.Panel1);
  c.bitOpen->setObjectName("bitOpen");
  c.bitOpen->setGeometry(8, 64, 81, 33);
  c.bitOpen->setIcon(Glyph(QStringLiteral(":/glyphs/open.png")));
  c.bitOpen->setIconSize(QSize(16, 16));

  c.bitSave = new QPushButton(QStringLiteral("Save..."), c.Panel1);
  c.bitSave->setObjectName("bitSave");
  c.bitSave->setGeometry(96, 64, 83, 33);
  c.bitSave->setIcon(Glyph(QStringLiteral(":/glyphs/save.png")));
  c.bitSave->setIconSize(QSize(17, 17));

  c.Label9 = new QLabel(QStringLiteral("(Ctrl+S)"), c.Panel1);
  c.Label9->setObjectName("Label9");
  c.Label9->setGeometry(96, 96, 81, 13);
  c.Label9->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  c.lblLoaded = NewLabel(c.Panel1, "lblLoaded", QString(), 8, 115);
  c.lblDestination = NewLabel(c.Panel1, "lblDestination", QString(), 8, 130);

  c.Label6 = new QLabel(QStringLiteral("last number in TranslationVersion mean a version of "
                                       "translation - it is reseted when new version of program "
                                       "is released"),
                        c.Panel1);
  c.Label6->setObjectName("Label6");
  c.Label6->setGeometry(624, 12, 120, 101);
  c.Label6->setWordWrap(true);
  c.Label6->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
}

void BuildHeaderFields(MainWindowControls& c) {
  c.GroupBox1 = new TGroupBox(QStringLiteral("Information about translation"), c.Panel1);
  c.GroupBox1->setObjectName("GroupBox1");
  c.GroupBox1->setGeometry(192, 8, 425, 105);
  QWidget* box = c.GroupBox1;

  c.Label2 = NewRightAlignedLabel(box, "Label2", QStringLiteral("language TAG"), 111, 19);
  c.eLngTag = NewEdit(box, "eLngTag", {112, 16, 121, 21});
  c.Label3 = NewRightAlignedLabel(box, "Label3", QStringLiteral("language NAME"), 111, 39);
  c.eLngName = NewEdit(box, "eLngName", {112, 36, 121, 21});
  c.Label4 = NewRightAlignedLabel(box, "Label4", QStringLiteral("for ProgramVersion"), 111, 59);
  c.eProgramVersion = NewEdit(box, "eProgramVersion", {112, 56, 121, 21});
  c.Label5 = NewRightAlignedLabel(box, "Label5", QStringLiteral("TranslationVersion"), 111, 79);
  c.eTranslateVersion = NewEdit(box, "eTranslateVersion", {112, 76, 121, 21});

  c.Label7 = NewRightAlignedLabel(box, "Label7", QStringLiteral("date"), 279, 19);
  c.eDate = new TDateEdit(box);
  c.eDate->setObjectName("eDate");
  c.eDate->setGeometry(280, 16, 105, 21);
  c.eDate->setCalendarPopup(true);
  c.eDate->setDisplayFormat(ShortDateFormat());

  c.Label8 = NewRightAlignedLabel(box, "Label8", QStringLiteral("Autors"), 279, 42);
  c.mAutors = new TMemo(box);
  c.mAutors->setObjectName("mAutors");
  c.mAutors->setGeometry(280, 42, 137, 55);
  c.mAutors->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  c.mAutors->setTabChangesFocus(true);
}

void BuildShortcutMenu(QWidget& window, MainWindowControls& c) {
  c.PopupMenu1 = new QMenu(&window);
  c.PopupMenu1->setObjectName("PopupMenu1");
  c.Save1 = c.PopupMenu1->addAction(QStringLiteral("Save"));
  c.Save1->setObjectName("Save1");
  c.Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  c.Save1->setShortcutContext(Qt::WindowShortcut);
  window.addAction(c.Save1);
}

}  // namespace

void BuildMainWindow(QWidget& window, MainWindowControls& c) {
  InitResources();
  RegisterWindowFont();
  window.setObjectName("fMain");
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(11);
  window.setFont(font);
  window.setAutoFillBackground(true);
  window.setContextMenuPolicy(Qt::NoContextMenu);
  QIcon icon;
  for (int size : {16, 32, 48, 64})
    icon.addFile(QStringLiteral(":/icons/orvane-translator-%1.png").arg(size), QSize(size, size));
  window.setWindowIcon(icon);

  BuildPanel(window, c);
  BuildHeaderFields(c);
  c.sgPreklad = new TranslationGrid(&window);
  c.sgPreklad->setObjectName("sgPreklad");

  auto* layout = new QVBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(c.Panel1);
  layout->addWidget(c.sgPreklad, 1);

  BuildShortcutMenu(window, c);

  QWidget* const order[] = {c.cbProgram, c.bitOpen,           c.bitSave, c.eLngTag,
                            c.eLngName,  c.eProgramVersion,   c.eTranslateVersion,
                            c.eDate,     c.mAutors,           c.sgPreklad};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

  window.move(0, 0);
  window.resize(kRestoredSize);
}

void PlaceTranslatorView(QWidget& window, MainWindowControls& c, QWidget* findBar,
                         QWidget* sourcePane, QWidget* statusLine) {
  auto* layout = static_cast<QVBoxLayout*>(window.layout());
  auto* splitter = new QSplitter(Qt::Vertical, &window);
  splitter->setObjectName("GridSplitter");
  splitter->setChildrenCollapsible(false);
  // The layout hands back the grid's old item, which is the caller's.
  delete layout->replaceWidget(c.sgPreklad, splitter);
  splitter->addWidget(c.sgPreklad);
  splitter->addWidget(sourcePane);
  // The grid takes what the window gains; the pane keeps its height.
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 0);
  layout->setStretchFactor(splitter, 1);
  layout->insertWidget(1, findBar);
  layout->addWidget(statusLine);
}
