// Throwaway stand-in until the real speller lands.
#include "workspace/Spelling.h"

#include <hunspell/hunspell.hxx>

#include <cctype>
#include <filesystem>

namespace workspace {
namespace {

class HunspellSpeller : public Speller {
 public:
  HunspellSpeller(const std::string& aff, const std::string& dic, platform::CodePage cp) : hunspell_(aff.c_str(), dic.c_str()), cp_(cp) {}
  std::vector<WordSpan> Misspelled(std::string_view text, std::string_view source) const override {
    std::vector<WordSpan> spans;
    std::size_t i = 0;
    auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0xC0 || c == '\x9D' || c == '\x9E' || c == '\x9A' || c == '\x8A' || c == '\x8D' || c == '\x8E'; };
    while (i < text.size()) {
      if (!letter(text[i])) { ++i; continue; }
      std::size_t start = i;
      while (i < text.size() && letter(text[i])) ++i;
      if (start > 0 && text[start - 1] == '%') continue;
      const std::string word(text.substr(start, i - start));
      if (source.find(word) != std::string_view::npos) continue;
      if (!const_cast<Hunspell&>(hunspell_).spell(platform::Utf8FromCodePage(word, cp_))) spans.push_back({start, i - start});
    }
    return spans;
  }
 private:
  Hunspell hunspell_;
  platform::CodePage cp_;
};

}  // namespace

std::unique_ptr<Speller> Speller::ForTag(std::string_view tag, platform::CodePage codePage) {
  std::string name;
  if (tag == "sk") name = "sk_SK";
  else if (tag == "cs") name = "cs_CZ";
  else if (tag == "en") name = "en_US";
  else return nullptr;
  const std::string base = "/usr/share/hunspell/" + name;
  if (!std::filesystem::exists(base + ".dic")) return nullptr;
  return std::make_unique<HunspellSpeller>(base + ".aff", base + ".dic", codePage);
}

void Speller::Check(std::string_view source, std::string_view translation,
                    std::vector<Finding>& findings) const {
  for (const WordSpan& word : Misspelled(translation, source))
    findings.push_back({CheckKind::Spelling, "unknown word: " + std::string(translation.substr(word.offset, word.length))});
}

}  // namespace workspace
