#include "app/TextCodec.h"

#include <QFile>
#include <QScopeGuard>
#include <QStringDecoder>
#include <algorithm>
#include <map>
#include <memory>

TextCodec::TextCodec(platform::CodePage codePage)
    : codePage_(codePage), bytes_(std::size_t{1} << 16, kNoByte) {
  // The tables come from the toolkit's converter, byte by byte. Most bytes
  // a code page leaves undefined come out as the control character of the
  // same number; the rest come out as the replacement character, which would
  // lose the byte, so they get a private-use character instead.
  const QByteArray name = "windows-" + QByteArray::number(codePage);
  // A Qt built without this code page still shows every byte as some
  // character and gives it back unchanged: as Latin-1.
  const bool known = QStringDecoder(name.constData()).isValid();
  for (int byte = 0; byte < 256; ++byte) {
    QStringDecoder decoder(known ? name.constData() : "ISO-8859-1", QStringConverter::Flag::Stateless);
    const char raw = static_cast<char>(byte);
    const QString decoded = decoder.decode(QByteArrayView(&raw, 1));
    char16_t character = decoded.size() == 1 ? decoded[0].unicode() : char16_t{0xFFFD};
    if (character == 0xFFFD || decoder.hasError() || bytes_[character] != kNoByte)
      character = static_cast<char16_t>(kUndefinedByteBase + byte);
    characters_[static_cast<std::size_t>(byte)] = character;
    bytes_[character] = static_cast<std::int16_t>(byte);
  }
}

QString TextCodec::Decode(std::string_view bytes) const {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char byte : bytes) *out++ = QChar(characters_[static_cast<unsigned char>(byte)]);
  return text;
}

std::optional<std::string> TextCodec::Encode(const QString& text) const {
  std::string bytes(static_cast<std::size_t>(text.size()), '\0');
  char* out = bytes.data();
  for (const QChar c : text) {
    const std::int16_t byte = bytes_[c.unicode()];
    if (byte == kNoByte) return std::nullopt;
    *out++ = static_cast<char>(byte);
  }
  return bytes;
}

bool TextCodec::CanEncode(const QString& text) const {
  return std::all_of(text.cbegin(), text.cend(),
                     [this](QChar c) { return bytes_[c.unicode()] != kNoByte; });
}

QStringList TextCodec::Unencodable(const QString& text) const {
  QStringList found;
  // One mark for every character there is, since a long paste may hold
  // millions of different ones. Made once, not for every refusal a
  // keystroke may bring, and cleared of what this call marked however it
  // ends, so the next call starts clean.
  static thread_local std::vector<bool> seen(0x110000);
  std::vector<char32_t> marked;
  const auto unmark = qScopeGuard([&] {
    for (const char32_t character : marked) seen[character] = false;
  });
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (bytes_[text[i].unicode()] != kNoByte) continue;
    // Both halves of a surrogate pair are unencodable; naming them apart
    // would show two broken halves instead of the one character typed.
    const bool pair =
        text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    const char32_t character = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
    if (!seen[character]) {
      marked.push_back(character);
      seen[character] = true;
      found.append(text.mid(i, pair ? 2 : 1));
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

QString FileNameText(std::string_view fileName) {
  return QFile::decodeName(QByteArray(fileName.data(), static_cast<qsizetype>(fileName.size())));
}
