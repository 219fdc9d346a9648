#pragma once

// The program's identity and the routines that every part of the window
// shares: message boxes, the version string, the special folder and the
// drop-down width. The text routines of the language files (Wrap, Unwrap,
// Pad) belong to the same module and come with it.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/VersionRecord.h"
#include "langfile/ProcFunc.h"

class QComboBox;
class QWidget;

namespace ProcFunc {

// Values fixed once, while the main window is created, and only read after.
struct Identity {
  QString programTitle;   // "Orvane translator"
  QString versionString;  // "1.00 (build 2)", or empty without a version record
  QString versionText;    // "v " and the version string
  std::string applicationFolder;  // the executable's folder, one trailing '/'
};

inline constexpr std::string_view kProgramTitle = "Orvane translator";

const Identity& ProgramIdentity();

// Fills the identity from `executableFile` (the running executable in the
// program; another file in tests) and captions `mainWindow` with
// "<title> [<version text>]".
void SetUpIdentity(QWidget& mainWindow, const std::string& executableFile);

// The application's own title, which captions the error box. Set at start-up
// before any window exists.
void SetApplicationTitle(const QString& title);
const QString& ApplicationTitle();

// What a message box shows. Styles are the platform's kMessage* values.
struct MessageBoxRequest {
  QWidget* owner = nullptr;
  QString caption;
  QString text;
  unsigned style = 0;
  // A question's answers, the first the default one; none for a box with
  // one OK button. Esc and closing the box press `escapeButton`.
  QStringList buttons = {};
  int escapeButton = 0;
};

// Where message boxes go: the toolkit's modal boxes in the program, a
// recorder in tests, handed to whatever shows boxes, so no test waits on a
// modal loop and none sees another's boxes.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows `request` and returns the code of the button pressed; for a
  // question, the index of the answer.
  virtual int Show(const MessageBoxRequest& request) = 0;
};

// The toolkit's modal boxes; the other windows wait for each.
MessageBoxes& ModalMessageBoxes();

// The message box routine: `text` in a box captioned with the program title,
// owned by the active window, shown through `boxes`. Returns the code of the
// button pressed, which callers may ignore.
int MessageBox(const QString& text, unsigned style, MessageBoxes& boxes);

// The folder for a platform folder id, ending in '/', or empty text. Only 35,
// the common application-data folder, is known: the sibling programs keep
// their settings there.
inline constexpr int kCommonAppData = 35;
std::string GetSpecialFolderPath(int folderId);

// Sets the width of the open list of `list` so that its widest item fits
// (item text plus 24 pixels), never below the control's own width, and
// returns it. The list takes it, frame included, when it next opens; it is
// kept in the control's property kDroppedWidthProperty.
inline constexpr char kDroppedWidthProperty[] = "droppedWidth";
int SetDropDownWidth(QComboBox& list);

}  // namespace ProcFunc
