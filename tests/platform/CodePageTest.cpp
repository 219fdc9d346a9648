#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

namespace platform {
namespace {

constexpr CodePage kCodePages[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

TEST(CodePageForLocale, MapsLanguageAndScriptToAnsiCodePage) {
  const struct { const char* locale; CodePage expected; } cases[] = {
      {"sk_SK.UTF-8", 1250}, {"cs_CZ", 1250},         {"PL_pl", 1250},
      {"ru_RU.UTF-8", 1251}, {"sr_RS", 1251},         {"sr_RS@latin", 1250},
      {"sr_RS.UTF-8@Latin", 1250}, {"az_AZ", 1254},   {"az_AZ@cyrillic", 1251},
      {"uz_UZ.UTF-8@cyrillic", 1251}, {"el_GR", 1253}, {"tr_TR", 1254},
      {"he_IL", 1255},       {"iw_IL", 1255},         {"ar_EG", 1256},
      {"fa_IR.UTF-8", 1256}, {"lt_LT", 1257},         {"vi_VN", 1258},
      {"th_TH", 874},        {"de_DE", 1252},         {"ja_JP.UTF-8", 1252},
      {"C", 1252},           {"C.UTF-8", 1252},       {"POSIX", 1252},
      {"", 1252},            {"en_US.UTF-8", 1252},
  };
  for (const auto& c : cases) EXPECT_EQ(CodePageForLocale(c.locale), c.expected) << c.locale;
}

// Starts each test with no locale variables and puts the caller's back afterwards.
class SystemCodePageTest : public testing::Test {
 protected:
  static constexpr const char* kVariables[] = {"LC_ALL", "LC_CTYPE", "LANG"};
  SystemCodePageTest() {
    for (const char* name : kVariables) {
      if (const char* value = std::getenv(name)) saved_[name] = value;
      unsetenv(name);
    }
  }
  ~SystemCodePageTest() override {
    OverrideSystemCodePage(0);
    for (const char* name : kVariables) unsetenv(name);
    for (const auto& [name, value] : saved_) setenv(name.c_str(), value.c_str(), 1);
  }
  std::map<std::string, std::string> saved_;
};

TEST_F(SystemCodePageTest, FollowsPosixPrecedenceUnlessOverridden) {
  EXPECT_EQ(SystemCodePage(), 1252);
  setenv("LANG", "ru_RU.UTF-8", 1);
  EXPECT_EQ(SystemCodePage(), 1251);
  setenv("LC_CTYPE", "el_GR.UTF-8", 1);
  setenv("LC_ALL", "", 1);  // empty counts as unset
  EXPECT_EQ(SystemCodePage(), 1253);
  setenv("LC_ALL", "sk_SK.UTF-8", 1);
  EXPECT_EQ(SystemCodePage(), 1250);

  OverrideSystemCodePage(1256);
  EXPECT_EQ(SystemCodePage(), 1256);
  setenv("LC_ALL", "tr_TR.UTF-8", 1);
  EXPECT_EQ(SystemCodePage(), 1256);
  OverrideSystemCodePage(0);
  EXPECT_EQ(SystemCodePage(), 1254);
}

TEST(UpperCaseTable, MapsKnownBytes) {
  const struct { CodePage codePage; unsigned char from, to; } cases[] = {
      {1250, 0xE8, 0xC8}, {1250, 0x9A, 0x8A}, {1250, 0x9E, 0x8E}, {1250, 0xF4, 0xD4},
      {1250, 0xB9, 0xA5}, {1250, 0xBE, 0xBC}, {1250, 0xDF, 0xDF},  // ß has no capital here
      {1250, 0xA0, 0xA0}, {1250, 0xC8, 0xC8}, {1250, '7', '7'},   {1250, ';', ';'},
      {1250, 0x81, 0x81}, {1250, 0x83, 0x83}, {1250, 0x88, 0x88}, {1250, 0x90, 0x90},
      {1250, 0x98, 0x98},  // undefined in 1250
      {1252, 0xFF, 0x9F}, {1252, 0xE9, 0xC9}, {1252, 0xB5, 0xB5}, {1252, 0xD7, 0xD7},
      {1251, 0xE0, 0xC0}, {1251, 0xB8, 0xA8}, {1253, 0xE1, 0xC1}, {1253, 0xF2, 0xD3},
      {1253, 0xDC, 0xA2}, {1254, 0xFD, 'I'},  {1257, 0xE8, 0xC8}, {1258, 0xF0, 0xD0},
      {1258, 0xFD, 0xDD}, {12345, 0xFF, 0x9F},  // unknown code pages fold like 1252
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UpperCaseTable(c.codePage)[c.from], c.to)
        << c.codePage << " byte 0x" << std::hex << int{c.from};
  }
}

// Properties that hold for every byte of every code page: folding is stable,
// and plain ASCII letters fold even where the code page has no other letters.
TEST(UpperCaseTable, FoldsOnceAndAlwaysFoldsAscii) {
  for (CodePage cp : kCodePages) {
    const CaseTable& table = UpperCaseTable(cp);
    for (int b = 0; b < 256; ++b) {
      EXPECT_EQ(table[table[b]], table[b]) << cp << " byte " << b << " folds twice";
    }
    for (int b = 'a'; b <= 'z'; ++b) EXPECT_EQ(table[b], b - 'a' + 'A') << cp;
  }
}

TEST(UpperCase, FoldsTextBytewise) {
  // "žluťoučký kůň" / "ŽLUŤOUČKÝ KŮŇ" in code page 1250.
  EXPECT_EQ(UpperCase("\x9Elu\x9Dou\xE8k\xFD k\xF9\xF2", 1250), "\x8ELU\x8DOU\xC8K\xDD K\xD9\xD2");
  EXPECT_EQ(UpperCase("", 1252), "");
  EXPECT_EQ(&UpperCaseTable(1250), &UpperCaseTable(1250));
}

}  // namespace
}  // namespace platform
