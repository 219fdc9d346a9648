#include "app/VersionRecord.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include "platform/ExecutableFile.h"

namespace ProcFunc {

namespace {

std::optional<std::uint16_t> VersionNumber(const QString& text) {
  if (text.isEmpty() || text.size() > 5) return std::nullopt;
  for (QChar c : text)
    if (c < u'0' || c > u'9') return std::nullopt;
  const uint value = text.toUInt();
  if (value > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

}  // namespace

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

}  // namespace ProcFunc
