#include "app/ProcFunc.h"

#include <QApplication>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
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

std::optional<std::uint16_t> VersionNumber(const QString& text) {
  if (text.isEmpty() || text.size() > 5) return std::nullopt;
  for (QChar c : text)
    if (c < u'0' || c > u'9') return std::nullopt;
  const uint value = text.toUInt();
  if (value > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

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

std::optional<ProductVersion> ProductVersionFromRecord(const QByteArray& record) {
  const QJsonDocument document = QJsonDocument::fromJson(record);
  if (!document.isObject()) return std::nullopt;
  const QJsonValue field = document.object().value(QStringLiteral("productVersion"));
  if (!field.isString()) return std::nullopt;
  const QStringList parts = field.toString().split(u'.');
  if (parts.size() != 4) return std::nullopt;
  std::uint16_t numbers[4];
  for (int i = 0; i < 4; ++i) {
    const auto number = VersionNumber(parts[i]);
    if (!number) return std::nullopt;
    numbers[i] = *number;
  }
  return ProductVersion{numbers[0], numbers[1], numbers[2], numbers[3]};
}

QString FormatVersion(const ProductVersion& version) {
  return QStringLiteral("%1.%2%3 (build %4)")
      .arg(version.major)
      .arg(version.minor)
      .arg(version.release)
      .arg(version.build);
}

QString VersionStringOf(const std::string& fileName) {
  const auto record = platform::ReadElfNote(fileName, platform::kPackageMetadataOwner,
                                            platform::kPackageMetadataType);
  if (!record) return {};
  const auto version =
      ProductVersionFromRecord(QByteArray(record->data(), static_cast<qsizetype>(record->size())));
  return version ? FormatVersion(*version) : QString();
}

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
