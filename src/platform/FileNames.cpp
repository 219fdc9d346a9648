#include "platform/FileNames.h"

#include <langinfo.h>
#include <locale.h>
#include <wctype.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace platform {
namespace {

// The user's character type locale when it is a UTF-8 one, which file names
// are; else the plain Unicode one.
locale_t FoldingLocale() {
  static const locale_t locale = [] {
    locale_t user = newlocale(LC_CTYPE_MASK, "", locale_t{});
    if (user != locale_t{}) {
      const char* codeset = nl_langinfo_l(CODESET, user);
      if (codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0) return user;
      freelocale(user);
    }
    return newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  }();
  return locale;
}

constexpr char32_t kNotUtf8 = 0xFFFFFFFF;

// The next character of `text` from `at`, moving `at` past it; a byte that
// does not start a well-formed UTF-8 sequence comes back as kNotUtf8 + the
// byte, one byte at a time, so that only equal bytes match it.
std::uint64_t NextCharacter(std::string_view text, std::size_t& at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  int length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3
                                                     : (byte >> 3) == 0x1E ? 4 : 0;
  char32_t c = length == 1 ? byte : length == 2 ? byte & 0x1F : length == 3 ? byte & 0x0F
                                                                            : byte & 0x07;
  bool wellFormed = length > 0 && at + length <= text.size();
  for (int i = 1; wellFormed && i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    wellFormed = (next & 0xC0) == 0x80;
    c = (c << 6) | (next & 0x3F);
  }
  if (!wellFormed) {
    ++at;
    return std::uint64_t{kNotUtf8} + byte;
  }
  at += static_cast<std::size_t>(length);
  return c;
}

std::uint64_t Folded(std::uint64_t c) {
  if (c >= kNotUtf8) return c;
  const locale_t locale = FoldingLocale();
  if (locale == locale_t{}) return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
  return towupper_l(static_cast<wint_t>(c), locale);
}

}  // namespace

bool SameFileNameIgnoringCase(std::string_view first, std::string_view second) {
  if (first == second) return true;
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < first.size() && j < second.size()) {
    if (Folded(NextCharacter(first, i)) != Folded(NextCharacter(second, j))) return false;
  }
  return i == first.size() && j == second.size();
}

std::string WithResolvedFolder(const std::string& name) {
  if (name.empty()) return name;
  const std::string::size_type slash = name.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : name.substr(0, slash);
  // The "/." makes realpath refuse a folder that is really a file.
  const std::unique_ptr<char, decltype(&std::free)> resolved(
      realpath((folder + "/.").c_str(), nullptr), &std::free);
  if (!resolved) return name;
  std::string result = resolved.get();
  if (result.back() != '/') result += '/';
  return result + name.substr(slash == std::string::npos ? 0 : slash + 1);
}

std::string_view ExtensionOf(std::string_view fileName) {
  const std::size_t dot = fileName.find_last_of("./");
  if (dot == std::string_view::npos || fileName[dot] != '.') return {};
  return fileName.substr(dot);
}

}  // namespace platform
