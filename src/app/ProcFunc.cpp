#include "app/ProcFunc.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

#include "platform/ExecutableFile.h"
#include "platform/MessageStyle.h"
#include "platform/SpecialFolders.h"

namespace ProcFunc {
namespace {

Identity& MutableIdentity() {
  static Identity identity;
  return identity;
}

QString& MutableApplicationTitle() {
  static QString title;
  return title;
}

QMessageBox::Icon IconFor(unsigned style) {
  switch (style & platform::kMessageIconMask) {
    case platform::kMessageError:
      return QMessageBox::Critical;
    case platform::kMessageWarning:
      return QMessageBox::Warning;
    case platform::kMessageInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

class ToolkitMessageBoxes : public MessageBoxes {
 public:
  int Show(const MessageBoxRequest& request) override {
    const bool question = !request.buttons.isEmpty();
    QMessageBox box(IconFor(request.style), request.caption, request.text,
                    question ? QMessageBox::NoButton : QMessageBox::Ok, request.owner);
    box.setWindowModality(Qt::ApplicationModal);
    // Buttons of our own, not the standard ones, whose texts differ from
    // desktop to desktop ("Discard", "Close without Saving").
    QList<QPushButton*> answers;
    for (const QString& text : request.buttons)
      answers.append(box.addButton(text, QMessageBox::ActionRole));
    if (question) {
      box.setDefaultButton(answers.front());
      box.setEscapeButton(answers.value(request.escapeButton, answers.back()));
    }
    box.exec();
    if (!question) return platform::kMessageOk;
    const auto pressed = answers.indexOf(static_cast<QPushButton*>(box.clickedButton()));
    return pressed >= 0 ? static_cast<int>(pressed) : request.escapeButton;
  }
};


}  // namespace

const Identity& ProgramIdentity() { return MutableIdentity(); }

void SetUpIdentity(QWidget& mainWindow, const std::string& executableFile) {
  Identity& identity = MutableIdentity();
  identity.versionString = VersionStringOf(executableFile);
  identity.versionText = QStringLiteral("v ") + identity.versionString;
  identity.programTitle = QString::fromLatin1(kProgramTitle);
  identity.applicationFolder = platform::FolderOf(executableFile);
  mainWindow.setWindowTitle(identity.programTitle + QStringLiteral(" [") + identity.versionText +
                            QStringLiteral("]"));
}

void SetApplicationTitle(const QString& title) { MutableApplicationTitle() = title; }
const QString& ApplicationTitle() { return MutableApplicationTitle(); }

MessageBoxes& ModalMessageBoxes() {
  static ToolkitMessageBoxes boxes;
  return boxes;
}

int MessageBox(const QString& text, unsigned style, MessageBoxes& boxes) {
  return boxes.Show({QApplication::activeWindow(), ProgramIdentity().programTitle, text, style});
}

std::string GetSpecialFolderPath(int folderId) {
  if (folderId != kCommonAppData) return {};
  return platform::CommonAppDataFolder();
}

int SetDropDownWidth(QComboBox& list) {
  const QFontMetrics metrics = list.fontMetrics();
  int best = 0;
  for (int i = 0; i < list.count(); ++i)
    best = std::max(best, metrics.horizontalAdvance(list.itemText(i)) + 24);
  best = std::max(best, list.width());
  // Like the platform's dropped width, a setting of the control that its
  // list takes each time it opens (see TComboBox::showPopup).
  list.setProperty(kDroppedWidthProperty, best);
  return best;
}

}  // namespace ProcFunc
