#pragma once

// The one bridge between the core's bytes and the window's Unicode texts.
// Files hold bytes in the system's 8-bit code page; the window shows them
// decoded and turns what the user types back into that code page. Every one
// of the 256 bytes decodes to its own character and encodes back to itself,
// so a text nobody touched survives a round trip, even bytes that the code
// page leaves undefined.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"

class TextCodec {
 public:
  explicit TextCodec(platform::CodePage codePage);

  platform::CodePage CodePage() const { return codePage_; }
  QString Decode(std::string_view bytes) const;
  // Absent when `text` holds a character the code page cannot hold.
  std::optional<std::string> Encode(const QString& text) const;
  bool CanEncode(const QString& text) const;
  // The characters of `text` the code page cannot hold, each once, in the
  // order they first appear; a character beyond the 16-bit range stays whole.
  QStringList Unencodable(const QString& text) const;

  // Where an undefined byte that the converters leave without a character
  // goes: a private-use character of its own, shown as a box.
  static constexpr char16_t kUndefinedByteBase = 0xF700;

  // The codec of the system's code page; valid for the whole run.
  static const TextCodec& System();

 private:
  platform::CodePage codePage_;
  std::array<char16_t, 256> characters_{};
  // The byte of every 16-bit character, or kNoByte. A field checks and
  // converts its whole text at every keystroke, so a text of millions of
  // characters must cost a table lookup a character, not a hash lookup.
  static constexpr std::int16_t kNoByte = -1;
  std::vector<std::int16_t> bytes_;
};

// A file name as the user reads it. Names are the file system's bytes, not
// code-page text; wherever one is shown, in a label or inside a message, it
// is decoded by this one rule.
QString FileNameText(std::string_view fileName);
