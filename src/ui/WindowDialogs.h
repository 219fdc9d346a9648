#pragma once

// Everything modal the window shows: the open and save dialogs, message
// boxes and the error box. The program shows the toolkit's; a test hands
// its window a script instead, so a whole session runs without a modal loop
// and no test sees another's dialogs.

#include <memory>
#include <optional>
#include <string>

#include "app/ProcFunc.h"
#include "workspace/Commands.h"

class QFileDialog;
class QWidget;

enum class FileDialogKind { Open, Save };

class WindowDialogs : public ProcFunc::MessageBoxes {
 public:
  // The file chosen in a dialog owned by `owner`, a full path in the file
  // system's bytes, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFile(QWidget* owner, FileDialogKind kind,
                                                const workspace::FileDialogRequest& request) = 0;
};

WindowDialogs& ToolkitDialogs();

// The toolkit's file dialog set up for `request`, not yet shown.
std::unique_ptr<QFileDialog> NewFileDialog(QWidget* owner, FileDialogKind kind,
                                           const workspace::FileDialogRequest& request);
