#include "ui/WindowDialogs.h"

#include <QFile>
#include <QFileDialog>

#include "app/TextCodec.h"

namespace {

class Toolkit : public WindowDialogs {
 public:
  std::optional<std::string> ChooseFile(QWidget* owner, FileDialogKind kind,
                                        const workspace::FileDialogRequest& request) override {
    const auto dialog = NewFileDialog(owner, kind, request);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
      return std::nullopt;
    return QFile::encodeName(dialog->selectedFiles().constFirst()).toStdString();
  }

  int Show(const ProcFunc::MessageBoxRequest& request) override {
    return ProcFunc::ModalMessageBoxes().Show(request);
  }
};

}  // namespace

WindowDialogs& ToolkitDialogs() {
  static Toolkit dialogs;
  return dialogs;
}

// The open dialog takes a name that does not exist, and the save dialog does
// not ask before an existing file is chosen, since choosing an existing
// translation is how work on it goes on.
std::unique_ptr<QFileDialog> NewFileDialog(QWidget* owner, FileDialogKind kind,
                                           const workspace::FileDialogRequest& request) {
  const bool open = kind == FileDialogKind::Open;
  auto dialog = std::make_unique<QFileDialog>(
      owner, open ? QStringLiteral("Open") : QStringLiteral("Save As"),
      FileNameText(request.initialFolder), QString::fromStdString(request.filter));
  dialog->setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setOption(QFileDialog::DontConfirmOverwrite);
  // A desktop's own dialog may insist that an opened file exists.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setSizeGripEnabled(true);
  if (!request.fileName.empty()) dialog->selectFile(FileNameText(request.fileName));
  return dialog;
}
