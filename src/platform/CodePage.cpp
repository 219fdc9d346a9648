#include "platform/CodePage.h"

#include <locale.h>
#include <wctype.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "platform/Iconv.h"

namespace platform {
namespace {

constexpr CodePage kWesternCodePage = 1252;

// Languages whose Windows ANSI code page is not 1252. An entry with a
// modifier only matches locale names carrying that "@modifier"; entries are
// searched in order, so a language's script variants precede its default.
struct LanguageCodePage {
  std::string_view language;
  std::string_view modifier;
  CodePage codePage;
};

constexpr LanguageCodePage kLanguageCodePages[] = {
    {"sr", "latin", 1250},    {"sr", "", 1251},
    {"az", "cyrillic", 1251}, {"az", "", 1254},
    {"uz", "cyrillic", 1251}, {"uz", "", 1254},
    {"bs", "cyrillic", 1251}, {"bs", "", 1250},

    {"cs", "", 1250},  {"sk", "", 1250},  {"pl", "", 1250},  {"hu", "", 1250},
    {"sl", "", 1250},  {"hr", "", 1250},  {"ro", "", 1250},  {"sq", "", 1250},
    {"tk", "", 1250},

    {"ru", "", 1251},  {"uk", "", 1251},  {"be", "", 1251},  {"bg", "", 1251},
    {"mk", "", 1251},  {"kk", "", 1251},  {"ky", "", 1251},  {"tt", "", 1251},
    {"mn", "", 1251},  {"ba", "", 1251},  {"sah", "", 1251}, {"tg", "", 1251},
    {"cv", "", 1251},  {"os", "", 1251},

    {"el", "", 1253},
    {"tr", "", 1254},
    {"he", "", 1255},  {"iw", "", 1255},  {"yi", "", 1255},

    {"ar", "", 1256},  {"fa", "", 1256},  {"ur", "", 1256},  {"ps", "", 1256},
    {"ug", "", 1256},  {"ckb", "", 1256}, {"sd", "", 1256},  {"prs", "", 1256},

    {"lt", "", 1257},  {"lv", "", 1257},  {"et", "", 1257},
    {"vi", "", 1258},
    {"th", "", 874},
};

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// "sr_RS.UTF-8@latin" has language "sr" and modifier "latin".
std::string LanguageOf(std::string_view localeName) {
  return AsciiLower(localeName.substr(0, localeName.find_first_of("_.@")));
}

std::string ModifierOf(std::string_view localeName) {
  const auto at = localeName.find('@');
  return at == std::string_view::npos ? std::string()
                                      : AsciiLower(localeName.substr(at + 1));
}

bool IsSupported(CodePage codePage) {
  return codePage == 874 || (codePage >= 1250 && codePage <= 1258);
}

// Owns the locale whose LC_CTYPE gives the Unicode simple case mapping,
// independent of whatever locale the process runs in.
class UnicodeLocale {
 public:
  UnicodeLocale() : handle_(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {}
  ~UnicodeLocale() {
    if (handle_ != locale_t{}) freelocale(handle_);
  }
  UnicodeLocale(const UnicodeLocale&) = delete;
  UnicodeLocale& operator=(const UnicodeLocale&) = delete;

  bool IsOpen() const { return handle_ != locale_t{}; }
  wchar_t ToUpper(wchar_t c) const {
    return static_cast<wchar_t>(towupper_l(static_cast<wint_t>(c), handle_));
  }

 private:
  locale_t handle_;
};

// The ASCII half is the same in every supported code page, and must fold
// even when the C library lacks the converters or the Unicode locale.
CaseTable AsciiUpperCaseTable() {
  CaseTable table{};
  for (int byte = 0; byte < 256; ++byte) {
    table[byte] = static_cast<unsigned char>(
        byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte);
  }
  return table;
}

// The upper-case form of the single byte `byte`, if the code page defines the
// byte, Unicode gives it an upper-case form and that form is one byte again.
std::optional<unsigned char> UpperCaseByte(unsigned char byte, Iconv& decoder,
                                           Iconv& encoder,
                                           const UnicodeLocale& unicode) {
  const auto decoded = decoder.Convert(std::string(1, static_cast<char>(byte)));
  if (!decoded || decoded->size() != sizeof(wchar_t)) return std::nullopt;
  wchar_t character;
  decoded->copy(reinterpret_cast<char*>(&character), sizeof character);

  const wchar_t upper = unicode.ToUpper(character);
  const auto encoded = encoder.Convert(
      std::string_view(reinterpret_cast<const char*>(&upper), sizeof upper));
  if (!encoded || encoded->size() != 1) return std::nullopt;
  return static_cast<unsigned char>(encoded->front());
}

CaseTable BuildUpperCaseTable(CodePage codePage) {
  CaseTable table = AsciiUpperCaseTable();
  const std::string charset = "CP" + std::to_string(codePage);
  Iconv decoder("WCHAR_T", charset);
  Iconv encoder(charset, "WCHAR_T");
  const UnicodeLocale unicode;
  if (!decoder.IsOpen() || !encoder.IsOpen() || !unicode.IsOpen()) return table;

  for (int byte = 0x80; byte < 256; ++byte) {
    const auto b = static_cast<unsigned char>(byte);
    table[b] = UpperCaseByte(b, decoder, encoder, unicode).value_or(b);
  }
  return table;
}

using Utf8Table = std::array<std::string, 256>;

std::string Utf8Of(char32_t c) {
  std::string bytes;
  if (c < 0x80) {
    bytes += static_cast<char>(c);
  } else if (c < 0x800) {
    bytes += static_cast<char>(0xC0 | (c >> 6));
    bytes += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    bytes += static_cast<char>(0xE0 | (c >> 12));
    bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    bytes += static_cast<char>(0x80 | (c & 0x3F));
  }
  return bytes;
}

Utf8Table BuildUtf8Table(CodePage codePage) {
  Utf8Table table;
  Iconv decoder("UTF-8", "CP" + std::to_string(codePage));
  for (int byte = 0; byte < 256; ++byte) {
    std::optional<std::string> decoded;
    if (byte >= 0x80 && decoder.IsOpen())
      decoded = decoder.Convert(std::string(1, static_cast<char>(byte)));
    table[static_cast<std::size_t>(byte)] =
        decoded && !decoded->empty() ? *decoded : Utf8Of(static_cast<char32_t>(byte));
  }
  return table;
}

CodePage& SystemCodePageOverride() {
  static CodePage codePage = 0;
  return codePage;
}

}  // namespace

CodePage SystemCodePage() {
  if (const CodePage overridden = SystemCodePageOverride(); overridden != 0)
    return overridden;
  // POSIX precedence; the first variable that is set and non-empty decides.
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return CodePageForLocale(value);
  }
  return CodePageForLocale("C");
}

void OverrideSystemCodePage(CodePage codePage) {
  SystemCodePageOverride() = codePage;
}

CodePage CodePageForLocale(std::string_view localeName) {
  const std::string language = LanguageOf(localeName);
  const std::string modifier = ModifierOf(localeName);
  for (const auto& entry : kLanguageCodePages) {
    if (entry.language == language &&
        (entry.modifier.empty() || entry.modifier == modifier))
      return entry.codePage;
  }
  return kWesternCodePage;
}

const CaseTable& UpperCaseTable(CodePage codePage) {
  static std::map<CodePage, CaseTable> cache;  // node-based: references stay valid
  const CodePage key = IsSupported(codePage) ? codePage : kWesternCodePage;
  auto found = cache.find(key);
  if (found == cache.end())
    found = cache.emplace(key, BuildUpperCaseTable(key)).first;
  return found->second;
}

std::string UpperCase(std::string_view text, CodePage codePage) {
  const CaseTable& table = UpperCaseTable(codePage);
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return upper;
}

std::string Utf8FromCodePage(std::string_view text, CodePage codePage) {
  static std::map<CodePage, Utf8Table> cache;
  const CodePage key = IsSupported(codePage) ? codePage : kWesternCodePage;
  auto found = cache.find(key);
  if (found == cache.end()) found = cache.emplace(key, BuildUtf8Table(key)).first;
  std::string utf8;
  utf8.reserve(text.size());
  for (const char c : text) utf8 += found->second[static_cast<unsigned char>(c)];
  return utf8;
}

}  // namespace platform
