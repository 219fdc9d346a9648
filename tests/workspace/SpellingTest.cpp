// Spelling against the installed sk_SK, cs_CZ and en_US dictionaries. Texts
// are windows-1250 bytes, as a Slovak or Czech language file holds them.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "workspace/Spelling.h"

namespace {

using testsupport::ScopedEnvironment;
using testsupport::TempDir;
using workspace::Speller;

std::vector<std::string> MisspelledWords(const Speller& speller, std::string_view text,
                                         std::string_view source = {}) {
  std::vector<std::string> words;
  for (const auto& span : speller.Misspelled(text, source))
    words.emplace_back(text.substr(span.offset, span.length));
  return words;
}

TEST(SpellingTest, ReportsUnknownWordsOfSlovakTextsAsWritten) {
  const auto speller = Speller::ForTag("sk", 1250);
  ASSERT_NE(speller, nullptr) << "hunspell-sk is not installed";
  const struct {
    std::string text, source;
    std::vector<std::string> misspelled;
  } cases[] = {
      {"Ulo\x9ei\x9d s\xfa" "bor", "", {}},                   // Uložiť súbor
      {"ULO\x8eI\x8d S\xda" "BOR", "", {}},                   // ULOŽIŤ SÚBOR
      {"Sbuor a okeinko", "", {"Sbuor", "okeinko"}},
      {"Ulo&\x9ei\x9d &S\xfa" "bor", "", {}},                 // the "&" does not split a word
      {"&Sbuor, Oke&inko", "", {"&Sbuor", "Oke&inko"}},
      {"%d s\xfa" "borov, %1 okien, %1$s %-5.2f {0} {1:yyyy} %0:s %%", "", {}},
      {"%s%d%ld: Sbuor", "", {"Sbuor"}},
      {"50 % okien", "", {}},                              // a percentage, not "% o"
      {"Otvori\x9d Zentrix", "Open Zentrix", {}},         // the source names the product
      {"Otvori\x9d Zentrix", "", {"Zentrix"}},
      {"Otvori\x9d Zentrixu", "Open Zentrix", {"Zentrixu"}},
      {"MP3, x86 a 3D", "", {}},
      {"Prv\xfd riadok\\nDruh\xfd riadok", "", {}},           // "\n" marks a line break
      {"'okno' \x84okno\x93", "", {}},                     // quoted, 'okno' „okno“
      {"okno\x81okno\x83\x88\x90\x98", "", {}},            // bytes windows-1250 leaves undefined
      {"Sbuor", "", {"Sbuor"}},                            // once more, from the cache
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MisspelledWords(*speller, c.text, c.source), c.misspelled) << c.text;
  }
}

// Which installed dictionary a speller answers with, told by words that only
// one of them knows.
char LanguageOf(const Speller* speller) {
  if (speller == nullptr) return '-';
  const std::string slovak = "Otvori\x9d", czech = "Otev\xf8\xedt";  // Otvoriť, Otevřít
  const auto unknown = MisspelledWords(*speller, slovak + " " + czech + " Don't colour");
  if (unknown == std::vector<std::string>{czech, "Don't", "colour"}) return 's';
  if (unknown == std::vector<std::string>{slovak, "Don't", "colour"}) return 'c';
  if (unknown == std::vector<std::string>{slovak, czech, "colour"}) return 'e';
  return '?';
}

TEST(SpellingTest, FindsTheDictionaryForATranslatorsTag) {
  ScopedEnvironment noPath("DICPATH", std::nullopt);
  const struct {
    const char* tag;
    char language;
  } cases[] = {
      {"sk", 's'},     {"SK", 's'},   {"sk-SK", 's'},    {"sk_sk", 's'}, {" sk ", 's'},
      {"cs", 'c'},     {"CS-cz", 'c'}, {"en", 'e'},      {"en-GB", 'e'},  // no en_GB here
      {"xx", '-'},     {"", '-'},     {"../sk", '-'},    {"sk/..", '-'}, {"sk_SK.UTF-8", '-'},
      {"s", '-'},      {"/usr/share/hunspell/sk_SK", '-'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LanguageOf(Speller::ForTag(c.tag, 1250).get()), c.language) << c.tag;
  }
}

TEST(SpellingTest, LooksInDicpathFirstAndSurvivesBrokenDictionaries) {
  TempDir dir;
  for (const char* folder : {"own", "broken"}) ASSERT_EQ(mkdir((dir / folder).c_str(), 0755), 0);
  // Czech under the Slovak name takes the system's Slovak dictionary's place.
  for (const char* extension : {".aff", ".dic"}) {
    std::filesystem::copy_file(std::string("/usr/share/hunspell/cs_CZ") + extension,
                               dir / "own/sk_SK" + extension);
  }
  // A dictionary in ISO 8859-2 ("Uložit", "okno"): texts are converted for it.
  testsupport::WriteFile(dir / "own/cs_XY.aff", "SET ISO8859-2\n");
  testsupport::WriteFile(dir / "own/cs_XY.dic", "2\nUlo\xbeit\nokno\n");
  ASSERT_EQ(mkdir((dir / "broken/en_US.dic").c_str(), 0755), 0);
  testsupport::WriteFile(dir / "broken/pl_PL.dic", "1\nokno\n");  // no .aff beside it
  ScopedEnvironment path("DICPATH", ":" + dir / "missing" + "::" + dir / "own" + ":" + dir / "broken");

  EXPECT_EQ(LanguageOf(Speller::ForTag("sk", 1250).get()), 'c');
  const auto iso = Speller::ForTag("cs", 1250);
  ASSERT_NE(iso, nullptr);
  // "µm" has no form in ISO 8859-2, so it cannot be called wrong.
  EXPECT_EQ(MisspelledWords(*iso, "Ulo\x9eit okno \xb5m Ulo\x9ei\x9d"),
            std::vector<std::string>{"Ulo\x9ei\x9d"});
  EXPECT_EQ(Speller::ForTag("en", 1250), nullptr);
  EXPECT_EQ(Speller::ForTag("pl", 1250), nullptr);
}

TEST(SpellingTest, ChecksAddOneFindingPerUnknownWordInTheTextsBytes) {
  const auto speller = Speller::ForTag("sk", 1250);
  ASSERT_NE(speller, nullptr) << "hunspell-sk is not installed";
  std::vector<workspace::Finding> findings{{workspace::CheckKind::Edges, "kept"}};
  speller->Check("Open Zentrix", "Otvori\x9d Zentrix &Sbuor Otev\xf8\xedt", findings);
  const std::vector<workspace::Finding> expected{
      {workspace::CheckKind::Edges, "kept"},
      {workspace::CheckKind::Spelling, "unknown word: &Sbuor"},
      {workspace::CheckKind::Spelling, "unknown word: Otev\xf8\xedt"}};
  EXPECT_EQ(findings, expected);
}

}  // namespace
