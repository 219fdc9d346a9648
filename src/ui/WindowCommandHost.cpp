#include "ui/WindowCommandHost.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

#include "app/ProcFunc.h"
#include "app/TextCodec.h"
#include "platform/MessageStyle.h"
#include "platform/FileSystem.h"
#include "platform/SpecialFolders.h"
#include "ui/Controls.h"
#include "ui/TranslationGrid.h"
#include "ui/WindowDialogs.h"

namespace {

// A full path as the translator knows it: what lies in the Wine prefix by
// its Windows name, as the sibling programs show it.
QString ShownPath(const std::string& fileName) {
  return FileNameText(platform::DisplayPath(fileName));
}

void ShowPath(QLabel& label, const std::string& fileName) {
  label.setText(ShownPath(fileName));
  label.adjustSize();
}

QString Utf8Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

WindowCommandHost::WindowCommandHost(QWidget& window, const MainWindowControls& controls,
                                     WindowDialogs& dialogs, TableChanger changeTable)
    : window_(window), controls_(controls), dialogs_(dialogs), changeTable_(std::move(changeTable)) {}

std::string WindowCommandHost::SelectedFileKind() const {
  return controls_.cbProgram->currentText().toStdString();
}

std::string WindowCommandHost::ApplicationFolder() const {
  return ProcFunc::ProgramIdentity().applicationFolder;
}

std::string WindowCommandHost::CommonAppDataFolder() const {
  return ProcFunc::GetSpecialFolderPath(ProcFunc::kCommonAppData);
}

std::optional<std::string> WindowCommandHost::ShowOpenDialog(
    const workspace::FileDialogRequest& request) {
  return dialogs_.ChooseFile(&window_, FileDialogKind::Open, request);
}

std::optional<std::string> WindowCommandHost::ShowSaveDialog(
    const workspace::FileDialogRequest& request) {
  return dialogs_.ChooseFile(&window_, FileDialogKind::Save, request);
}

void WindowCommandHost::ShowMessage(std::string_view text, unsigned style) {
  ProcFunc::MessageBox(Utf8Text(text), style, dialogs_);
}

void WindowCommandHost::ShowSourceFileName(const std::string& fileName) {
  ShowPath(*controls_.lblLoaded, fileName);
}

void WindowCommandHost::ChangeTable(const std::function<void()>& change) { changeTable_(change); }

void WindowCommandHost::ShowDestinationSaved() {
  controls_.bitSave->setText(QStringLiteral("Save"));
  controls_.sgPreklad->RepaintAll();
}

std::size_t WindowCommandHost::Ask(std::string_view question,
                                   const std::vector<std::string_view>& answers,
                                   std::size_t escape) {
  ProcFunc::MessageBoxRequest request{&window_, ProcFunc::ProgramIdentity().programTitle,
                                      Utf8Text(question), platform::kMessageWarning};
  for (std::string_view answer : answers) request.buttons.append(Utf8Text(answer));
  request.escapeButton = static_cast<int>(escape);
  const int answer = dialogs_.Show(request);
  return answer >= 0 && static_cast<std::size_t>(answer) < answers.size()
             ? static_cast<std::size_t>(answer)
             : escape;
}

void WindowCommandHost::ShowMessageLater(std::string text, unsigned style) {
  QMetaObject::invokeMethod(
      &window_,
      [this, text = std::move(text), style] { ShowMessage(text, style); },
      Qt::QueuedConnection);
}

void WindowCommandHost::ShowDestinationFileName(const std::string& fileName) {
  ShowPath(*controls_.lblDestination, fileName);
}

std::string WindowCommandHost::DocumentsFolder() const {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  // A documents folder the user never made (or deleted) is no place to start.
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  std::string name = QFile::encodeName(folder).toStdString();
  if (name.back() != '/') name += '/';
  return name;
}
