#include "LanguageFileGenerator.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace bench {

namespace {

// Words of a Central European interface in windows-1250: š 0x9A, č 0xE8,
// ž 0x9E, á 0xE1, í 0xED, é 0xE9, ý 0xFD, ô 0xF4, ľ 0xBE, ť 0x9D, ú 0xFA.
constexpr std::array<std::string_view, 24> kWords = {
    "Ulo\x9E" "i\x9D",  "Zru\x9Ai\x9D", "Otvori\x9D", "S\xFA" "bor",   "Fakt\xFAra",
    "Polo\x9Eka",       "Suma",         "D\xE1tum",   "Z\xE1kazn\xEDk", "Cena",
    "bez",              "DPH",          "spolu",      "\xE8\xEDslo",   "\xFA\xE8tu",
    "odbera\xBE",       "dodania",      "splatnosti", "zlava",         "tla\xE8i\x9D",
    "n\xE1h\xBE" "ad", "v\xFD" "ber",     "v\x9A" "etky", "\xF4sm\xE1"};

constexpr std::array<std::string_view, 8> kForms = {
    "frmInvoice", "frmOptions", "frmItems", "frmCustomer",
    "frmPrint",   "msgDialog",  "frmStock", "frmReports"};

constexpr std::array<std::string_view, 6> kControls = {"lbl", "btn", "chk", "edt", "cap", "hint"};

// A small fixed-seed mixer, so every run and every machine sees the same
// file without depending on a library's random engine.
std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

void AppendLine(std::string& text, std::string_view line) { text.append(line).append("\r\n"); }

}  // namespace

std::string GeneratedKey(std::size_t index) {
  std::uint64_t r = Mix(index);
  std::string key(kForms[r % kForms.size()]);
  key += '.';
  key += kControls[(r >> 8) % kControls.size()];
  key += std::to_string(index);
  return key;
}

std::string GeneratedValue(std::size_t index) {
  std::uint64_t r = Mix(index ^ 0xA5A5A5A5ull);
  const std::size_t words = 1 + r % 6;
  std::string value = "%";
  for (std::size_t w = 0; w < words; ++w) {
    r = Mix(r);
    if (w > 0) value += ' ';
    value += kWords[r % kWords.size()];
  }
  value += '%';
  return value;
}

std::string GenerateLanguageFile(std::size_t entries, std::size_t perSection) {
  std::string text;
  text.reserve(entries * 50 + 256);
  AppendLine(text, "[-main-]");
  AppendLine(text, "tag=sk");
  AppendLine(text, "name=Sloven\xE8ina");
  AppendLine(text, "ProgramVersion=4.12");
  AppendLine(text, "TranslationVersion=7");
  AppendLine(text, "date=2026-11-30");
  AppendLine(text, "autor01=Jana Nov\xE1kov\xE1");
  AppendLine(text, "");

  for (std::size_t i = 0; i < entries; ++i) {
    if (i % perSection == 0) {
      if (i > 0) AppendLine(text, "");
      AppendLine(text, "[Section" + std::to_string(i / perSection + 1) + "]");
    }
    text.append(GeneratedKey(i)).append(1, '=').append(GeneratedValue(i)).append("\r\n");
  }
  AppendLine(text, "");
  return text;
}

}  // namespace bench
