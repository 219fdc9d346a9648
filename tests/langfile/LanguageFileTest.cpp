// The language-file layout: percent wrapping, the pad routine, the header
// block and its author keys.

#include <gtest/gtest.h>

#include "langfile/LanguageFile.h"
#include "langfile/ProcFunc.h"

namespace {

using namespace std::chrono;
using langfile::LanguageHeader;

constexpr year_month_day kFifthOfMarch2009{year{2009}, March, day{5}};

TEST(PercentWrapping, StoredFormsAndWhatTheyReadBackAs) {
  struct Case {
    std::string text, stored;
  };
  for (const Case& c : std::vector<Case>{{"Save", "%Save%"},
                                         {" OK ", "% OK %"},
                                         {"", ""},
                                         {"%d items", "%%d items%"},
                                         {"50%", "%50%%"},
                                         {"%", "%%%"},
                                         {"%%", "%%%%"},
                                         {"100 % sure", "%100 % sure%"}}) {
    EXPECT_EQ(ProcFunc::Wrap(c.text), c.stored) << c.text;
    EXPECT_EQ(ProcFunc::Unwrap(c.stored), c.text) << "the round trip must give back " << c.text;
  }
}

TEST(PercentWrapping, UnwrapReadsExistingFilesAsBefore) {
  struct Case {
    std::string stored, text;
  };
  for (const Case& c : std::vector<Case>{{"%Save%", "Save"},
                                         {"Save", "Save"},
                                         {"%%", ""},
                                         {"%", ""},
                                         {"", ""},
                                         {"%50%", "50"},
                                         {"%d items%", "d items"},
                                         {"% OK %", " OK "}}) {
    EXPECT_EQ(ProcFunc::Unwrap(c.stored), c.text) << c.stored;
  }
}

TEST(PadRoutine, PadsAndCutsByMode) {
  struct Case {
    std::string text;
    char mode;
    int width;
    std::string padded;
  };
  for (const Case& c : std::vector<Case>{{"7", 'R', 2, "-7"},
                                         {"7", 'L', 3, "7--"},
                                         {"7", 'C', 4, "-7--"},
                                         {"ab", 'C', 5, "-ab--"},
                                         {"7", 'x', 3, "--7"},
                                         {"12", 'R', 2, "12"},
                                         {"123", 'R', 2, "23"},
                                         {"123", 'L', 2, "12"},
                                         {"abcde", 'C', 2, "bc"},
                                         {"abcdef", 'C', 3, "bcd"},
                                         {"abc", 'C', 0, ""},
                                         {"abc", 'R', -1, ""}}) {
    EXPECT_EQ(ProcFunc::Pad(c.text, '-', c.mode, c.width), c.padded)
        << c.text << " " << c.mode << c.width;
  }
}

TEST(AuthorKeys, NamesHaveAtLeastTwoDigitsAndAreNeverCut) {
  EXPECT_EQ(langfile::AuthorKeyName(0), "autor01");
  EXPECT_EQ(langfile::AuthorKeyName(8), "autor09");
  EXPECT_EQ(langfile::AuthorKeyName(98), "autor99");
  EXPECT_EQ(langfile::AuthorKeyName(99), "autor100");
  EXPECT_EQ(langfile::AuthorKeyName(100), "autor101");
}

TEST(ReadingTheHeader, ValuesAsStoredAndAuthorsInKeyOrder) {
  TMemIniFile document = TMemIniFile::FromText(
      "[-MAIN-]\ntag=ignored\n"
      "[-main-]\n"
      "tag=sk\nname=Sloven\xE8ina\nProgramVersion=%3.2%\n"
      "autorka=Eva\nautor1=Jane\nautor2=\nAutor01=Not an author\nxautor=Adam\n"
      "autor1=Jane again\n");
  LanguageHeader header = langfile::ReadHeader(document);
  EXPECT_EQ(header.tag, "sk");
  EXPECT_EQ(header.name, "Sloven\xE8ina");
  EXPECT_EQ(header.programVersion, "%3.2%") << "header values are never unwrapped";
  EXPECT_EQ(header.translationVersion, "");
  // Keys are listed in order and each is looked up, so a repeated key shows
  // its last value at every place it stands.
  EXPECT_EQ(header.authors,
            (std::vector<std::string>{"Eva", "Jane again", "Adam", "Jane again"}));
  EXPECT_EQ(langfile::ContentSections(document), std::vector<std::string>{"-MAIN-"});
}

TEST(ReadingTheHeader, AMissingHeaderBlockReadsAsEmpty) {
  TMemIniFile document = TMemIniFile::FromText("[Form]\nBtn=%OK%\n");
  EXPECT_EQ(langfile::ReadHeader(document), LanguageHeader{});
  EXPECT_EQ(langfile::ContentSections(document), std::vector<std::string>{"Form"});
}

TEST(WritingTheHeader, KeysInOrderAtTheEndOfAFileWithoutHeaderBlock) {
  TMemIniFile document = TMemIniFile::FromText("[Form]\nBtn=%OK%\n");
  LanguageHeader header{" sk", "Sloven\xE8ina", "3.2", "3.2.1", {"A", "", "B"}};
  langfile::WriteHeader(document, header, kFifthOfMarch2009);
  EXPECT_EQ(document.Text(),
            "[Form]\r\nBtn=%OK%\r\n\r\n"
            "[-main-]\r\ntag= sk\r\nname=Sloven\xE8ina\r\nProgramVersion=3.2\r\n"
            "TranslationVersion=3.2.1\r\ndate=2009-03-05\r\nautor01=A\r\nautor03=B\r\n\r\n");
}

TEST(WritingTheHeader, ExistingKeysAreReplacedInPlaceAndOtherAuthorsStay) {
  TMemIniFile document = TMemIniFile::FromText(
      "[-main-]\nautor1=Jane\nautor2=\ndate=1999-01-01\nautor03=Old third\ntag=cs\n");
  langfile::WriteHeader(document, {"sk", "", "", "", {"Jane"}}, kFifthOfMarch2009);
  EXPECT_EQ(document.Text(),
            "[-main-]\r\nautor1=Jane\r\nautor2=\r\ndate=2009-03-05\r\nautor03=Old third\r\n"
            "tag=sk\r\nname=\r\nProgramVersion=\r\nTranslationVersion=\r\nautor01=Jane\r\n\r\n");
}

TEST(WritingTheHeader, HundredAndOneAuthorsKeepTheirOwnKeys) {
  LanguageHeader header;
  for (int i = 1; i <= 101; ++i) header.authors.push_back("Author " + std::to_string(i));
  TMemIniFile document = TMemIniFile::FromText("");
  langfile::WriteHeader(document, header, kFifthOfMarch2009);
  EXPECT_EQ(document.GetValue("-main-", "autor01", ""), "Author 1");
  EXPECT_EQ(document.GetValue("-main-", "autor100", ""), "Author 100");
  EXPECT_EQ(document.GetValue("-main-", "autor101", ""), "Author 101");
  EXPECT_EQ(langfile::ReadHeader(document).authors, header.authors);
}

TEST(WritingTheHeader, DateIsYearMonthDayWithHyphens) {
  EXPECT_EQ(langfile::FormatDate(kFifthOfMarch2009), "2009-03-05");
  EXPECT_EQ(langfile::FormatDate(year_month_day{year{987}, December, day{31}}), "0987-12-31");
}

}  // namespace
