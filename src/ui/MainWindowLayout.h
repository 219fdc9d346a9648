#pragma once

// The main window's controls, by the names the rest of the program knows
// them by, and where they stand: the top panel with the file kind, Open and
// Save, the header fields of the translation and the source's and the
// destination's paths, and the grid below.

#include <QSize>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;
class TComboBox;
class TDateEdit;
class TGroupBox;
class TMemo;
class TranslationGrid;

struct MainWindowControls {
  QWidget* Panel1 = nullptr;
  QLabel* Label1 = nullptr;
  TComboBox* cbProgram = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label11 = nullptr;
  QPushButton* bitOpen = nullptr;
  QPushButton* bitSave = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* lblLoaded = nullptr;
  QLabel* lblDestination = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* eLngTag = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* eLngName = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* eProgramVersion = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* eTranslateVersion = nullptr;
  QLabel* Label7 = nullptr;
  TDateEdit* eDate = nullptr;
  QLabel* Label8 = nullptr;
  TMemo* mAutors = nullptr;
  QLabel* Label6 = nullptr;
  TranslationGrid* sgPreklad = nullptr;
  // The menu only carries the Ctrl+S shortcut; it never opens.
  QMenu* PopupMenu1 = nullptr;
  QAction* Save1 = nullptr;
};

// The window's size while not maximised, its client area.
inline constexpr QSize kRestoredSize{699, 484};
// The whole window, frame included, is never smaller.
inline constexpr QSize kMinimumOuterSize{400, 400};

// Creates every control of `controls` in `window` at its place, with its
// texts, font, icons and focus order. Nothing is connected yet; the grid
// has no model.
void BuildMainWindow(QWidget& window, MainWindowControls& controls);

// Puts the translator's own widgets around the grid: the find bar above it,
// the source pane below it (the border between the two can be dragged) and
// the status line at the bottom. The grid keeps its columns and look.
void PlaceTranslatorView(QWidget& window, MainWindowControls& controls, QWidget* findBar,
                         QWidget* sourcePane, QWidget* statusLine);
