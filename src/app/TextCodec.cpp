#include "app/TextCodec.h"

#include <QSet>
#include <QStringDecoder>
#include <map>
#include <memory>

TextCodec::TextCodec(platform::CodePage codePage) : codePage_(codePage) {
  // The tables come from the toolkit's converter, byte by byte. Most bytes
  // a code page leaves undefined come out as the control character of the
  // same number; the rest come out as the replacement character, which would
  // lose the byte, so they get a private-use character instead.
  const QByteArray name = "windows-" + QByteArray::number(codePage);
  // A Qt built without this code page still shows every byte as some
  // character and gives it back unchanged: as Latin-1.
  const bool known = QStringDecoder(name.constData()).isValid();
  bytes_.reserve(256);
  for (int byte = 0; byte < 256; ++byte) {
    QStringDecoder decoder(known ? name.constData() : "ISO-8859-1", QStringConverter::Flag::Stateless);
    const char raw = static_cast<char>(byte);
    const QString decoded = decoder.decode(QByteArrayView(&raw, 1));
    char16_t character = decoded.size() == 1 ? decoded[0].unicode() : char16_t{0xFFFD};
    if (character == 0xFFFD || decoder.hasError() || bytes_.contains(character))
      character = static_cast<char16_t>(kUndefinedByteBase + byte);
    characters_[static_cast<std::size_t>(byte)] = character;
    bytes_.insert(character, static_cast<unsigned char>(byte));
  }
}

QString TextCodec::Decode(std::string_view bytes) const {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char byte : bytes) *out++ = QChar(characters_[static_cast<unsigned char>(byte)]);
  return text;
}

std::optional<std::string> TextCodec::Encode(const QString& text) const {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) {
    const auto found = bytes_.constFind(c.unicode());
    if (found == bytes_.cend()) return std::nullopt;
    bytes.push_back(static_cast<char>(*found));
  }
  return bytes;
}

bool TextCodec::CanEncode(const QString& text) const {
  for (const QChar c : text)
    if (!bytes_.contains(c.unicode())) return false;
  return true;
}

QStringList TextCodec::Unencodable(const QString& text) const {
  QStringList found;
  QSet<QString> seen;  // a long paste may hold thousands of them
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (bytes_.contains(text[i].unicode())) continue;
    // Both halves of a surrogate pair are unencodable; naming them apart
    // would show two broken halves instead of the one character typed.
    const bool pair =
        text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    const QString character = text.mid(i, pair ? 2 : 1);
    if (!seen.contains(character)) {
      seen.insert(character);
      found.append(character);
    }
    if (pair) ++i;
  }
  return found;
}

const TextCodec& TextCodec::System() {
  // Kept for the whole run, one per code page, so a reference handed out
  // stays good when the code page changes under it.
  static std::map<platform::CodePage, std::unique_ptr<TextCodec>> codecs;
  std::unique_ptr<TextCodec>& codec = codecs[platform::SystemCodePage()];
  if (!codec) codec = std::make_unique<TextCodec>(platform::SystemCodePage());
  return *codec;
}
