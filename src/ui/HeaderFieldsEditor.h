#pragma once

// Binds the window's header editors (tag, name, versions, date, authors) to
// the workspace. A field writes into the workspace as the user edits it, and
// only then, so a text nobody touched keeps its bytes exactly; showing the
// workspace writes nothing back.

#include <QObject>
#include <QString>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "ui/MainWindowLayout.h"
#include "workspace/Edit.h"

namespace ProcFunc {
class MessageBoxes;
}
namespace workspace {
class Workspace;
}

class HeaderFieldsEditor : public QObject {
  Q_OBJECT

 public:
  // A failure while storing an edit is shown through `errorBoxes`.
  HeaderFieldsEditor(const MainWindowControls& controls, workspace::Workspace& workspace,
                     ProcFunc::MessageBoxes& errorBoxes, QObject* parent = nullptr);
  ~HeaderFieldsEditor() override;

  // Puts the workspace's header fields into the editors.
  void Show();

 private:
  void StoreAuthors();
  void Store(workspace::EditField field, std::string value);

  const MainWindowControls& controls_;
  workspace::Workspace& workspace_;
  ProcFunc::MessageBoxes& errorBoxes_;
  bool showing_ = false;
  bool storing_ = false;  // an edit of the fields is going to the workspace
  std::size_t editListener_ = 0;
  // The author lines as the memo last got them from the workspace, shown
  // and stored, so a line the user did not change keeps its bytes.
  std::vector<std::pair<QString, std::string>> shownAuthors_;
};
