// Reading, lookups and changes of the INI document, in memory.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "langfile/TMemIniFile.h"
#include "langfile/ViewList.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace {

using namespace std::string_literals;

std::vector<std::string> Listed(const TStringList& list) { return {list.begin(), list.end()}; }

std::vector<std::string> Sections(const TMemIniFile& document) {
  TStringList names;
  document.GetSections(names);
  return Listed(names);
}

std::vector<std::string> Keys(const TMemIniFile& document, std::string_view section) {
  TStringList keys;
  document.GetKeys(section, keys);
  return Listed(keys);
}

// What a file reads as, shown as the bytes a write-back makes of it.
struct NormalisingCase {
  const char* what;
  std::string input;
  std::string written;
};

void PrintTo(const NormalisingCase& c, std::ostream* out) { *out << c.what; }

class Normalising : public testing::TestWithParam<NormalisingCase> {};

TEST_P(Normalising, WriteBackBytes) {
  EXPECT_EQ(TMemIniFile::FromText(GetParam().input).Text(), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    ReadThenWrite, Normalising,
    testing::Values(
        NormalisingCase{"empty file", "", ""},
        NormalisingCase{"one entry is twelve bytes", "[A]\nk=v", "[A]\r\nk=v\r\n\r\n"},
        NormalisingCase{"blanks inside brackets", "[ sect ]\r\n", "[sect]\r\n\r\n"},
        NormalisingCase{"blanks and tabs around name and value",
                        "[A]\r\n \t key \t=\t value \t\r\n", "[A]\r\nkey=value\r\n\r\n"},
        NormalisingCase{"only the first = splits", "[A]\nx = y = z\n", "[A]\r\nx=y = z\r\n\r\n"},
        NormalisingCase{"entries without = stay in place",
                        "[A]\na=1\n  just words  \nb=2\n", "[A]\r\na=1\r\njust words\r\nb=2\r\n\r\n"},
        NormalisingCase{"empty name and empty value", "[A]\n= x\nkey =\n", "[A]\r\n=x\r\nkey=\r\n\r\n"},
        NormalisingCase{"comments go, number signs stay",
                        "; top\n[A]\n;k=1\n  ; indented\n#k=2\nk=v ; note\n",
                        "[A]\r\n#k=2\r\nk=v ; note\r\n\r\n"},
        NormalisingCase{"quotes are ordinary bytes", "[A]\nk=\" v \"\n", "[A]\r\nk=\" v \"\r\n\r\n"},
        NormalisingCase{"CR LF, LF, CR and LF CR end lines alike",
                        "[A]\r\na=1\nb=2\rc=3\n\rd=4", "[A]\r\na=1\r\nb=2\r\nc=3\r\nd=4\r\n\r\n"},
        NormalisingCase{"nothing after the first NUL", "[A]\na=1\0b=2\n[B]\n"s,
                        "[A]\r\na=1\r\n\r\n"},
        NormalisingCase{"control bytes trimmed, byte 160 kept",
                        "[A]\n\x01k\x1f=\x0b\xA0v\xA0\x7f\x02\n",
                        "[A]\r\nk=\xA0v\xA0\x7f\r\n\r\n"},
        NormalisingCase{"a header with a note is an entry of the current section",
                        "[A]\na=1\n[B] ; note\nb=2\n", "[A]\r\na=1\r\n[B] ; note\r\nb=2\r\n\r\n"},
        NormalisingCase{"a bracketed line with = is a header", "[a=b]\nk=v\n",
                        "[a=b]\r\nk=v\r\n\r\n"},
        NormalisingCase{"lines ahead of the first header are dropped",
                        "k=v\nwords\n[\n[A]\n", "[A]\r\n\r\n"},
        NormalisingCase{"a lone [ inside a section is an entry", "[A]\n[\n", "[A]\r\n[\r\n\r\n"},
        NormalisingCase{"empty brackets name an empty section", "[]\nk=v\n", "[]\r\nk=v\r\n\r\n"},
        NormalisingCase{"repeated sections stay apart", "[A]\na=1\n[B]\n[a]\na=2\n",
                        "[A]\r\na=1\r\n\r\n[B]\r\n\r\n[a]\r\na=2\r\n\r\n"},
        NormalisingCase{"a UTF-8 byte-order mark is kept, not read as text",
                        "\xEF\xBB\xBF[A]\r\nk=v\r\n", "\xEF\xBB\xBF[A]\r\nk=v\r\n\r\n"},
        NormalisingCase{"a file of a mark alone keeps it", "\xEF\xBB\xBF", "\xEF\xBB\xBF"},
        NormalisingCase{"a mark later on is ordinary text", "[A]\n\xEF\xBB\xBFk=v\n",
                        "[A]\r\n\xEF\xBB\xBFk=v\r\n\r\n"}),
    [](const testing::TestParamInfo<NormalisingCase>& info) {
      std::string name;
      for (const char* c = info.param.what; *c; ++c) name += std::isalnum(*c) ? *c : '_';
      return name;
    });

TEST(TMemIniFileLookup, FindsNamesInAnyLetterCaseAndKeepsTheStoredCase) {
  TMemIniFile document = TMemIniFile::FromText("[Main]\nKey=1\n");
  EXPECT_EQ(document.GetValue("MAIN", "KEY", "-"), "1");
  document.SetValue("main", "KEY", "2");
  EXPECT_EQ(document.Text(), "[Main]\r\nKEY=2\r\n\r\n");
}

TEST(TMemIniFileLookup, LastDuplicateWinsAndEarlierOnesSurvive) {
  TMemIniFile document = TMemIniFile::FromText("[S]\na=1\nb=x\nA=2\n[t]\nc=3\n[s]\na=4\n");
  EXPECT_EQ(document.GetValue("s", "a", "-"), "4");
  EXPECT_EQ(document.GetValue("S", "b", "-"), "-") << "the earlier section is out of reach";
  EXPECT_EQ(Sections(document), (std::vector<std::string>{"S", "t", "s"}));

  TMemIniFile duplicates = TMemIniFile::FromText("[S]\na=1\nA=2\n");
  EXPECT_EQ(duplicates.GetValue("S", "a", "-"), "2");
  duplicates.SetValue("S", "a", "3");
  EXPECT_EQ(Keys(duplicates, "S"), (std::vector<std::string>{"a", "a"}));
  EXPECT_EQ(duplicates.Text(), "[S]\r\na=1\r\na=3\r\n\r\n");
}

TEST(TMemIniFileLookup, ValuesNamesAndFallbacks) {
  TMemIniFile document =
      TMemIniFile::FromText("[A]\nempty=\n=x\nplain words\nk=v=w\n k2 = \" q \" \n");
  EXPECT_EQ(document.GetValue("A", "empty", "fallback"), "") << "present but empty";
  EXPECT_EQ(document.GetValue("A", "", "fallback"), "x");
  EXPECT_EQ(document.GetValue("A", "plain words", "fallback"), "fallback");
  EXPECT_EQ(document.GetValue("A", "k", "fallback"), "v=w");
  EXPECT_EQ(document.GetValue("A", "k2", "fallback"), "\" q \"");
  EXPECT_EQ(document.GetValue("A", " k2", "fallback"), "fallback") << "sought text is not trimmed";
  EXPECT_EQ(document.GetValue("A", "k=v", "fallback"), "fallback");
  EXPECT_EQ(document.GetValue("B", "k", "fallback"), "fallback");
  EXPECT_EQ(Keys(document, "A"), (std::vector<std::string>{"empty", "", "", "k", "k2"}));
}

TEST(TMemIniFileLookup, ListsAreEmptiedBeforeTheyAreFilled) {
  TMemIniFile document = TMemIniFile::FromText("[A]\nk=v\n");
  TStringList list;
  list.Add("stale");
  document.GetKeys("missing", list);
  EXPECT_TRUE(list.empty());
  list.Add("stale");
  document.GetSections(list);
  EXPECT_EQ(Listed(list), (std::vector<std::string>{"A"}));
}

TEST(TMemIniFileLookup, AccentedLettersFoldInTheSystemCodePage) {
  // windows-1250: "č" 0xE8 / "Č" 0xC8, "ľ" 0xBE / "Ľ" 0xBC, "ą" 0xB9 / "Ą" 0xA5.
  const std::string text = "[Sekcia \xE8]\n\xBE\x61\xB9=1\n";
  platform::OverrideSystemCodePage(1250);
  TMemIniFile centralEuropean = TMemIniFile::FromText(text);
  EXPECT_EQ(centralEuropean.GetValue("SEKCIA \xC8", "\xBC\x41\xA5", "-"), "1");
  EXPECT_EQ(centralEuropean.GetValue("sekcia \xE8", "\xBE\x61\xB9", "-"), "1");
  EXPECT_EQ(centralEuropean.GetValue("sekcia \xE8", "\xBE\x61", "-"), "-");

  // In windows-1252 the same bytes are "¾" "¼" "¹" "¥": no letters, no folding.
  platform::OverrideSystemCodePage(1252);
  TMemIniFile western = TMemIniFile::FromText(text);
  EXPECT_EQ(western.GetValue("SEKCIA \xC8", "\xBC\x41\xA5", "-"), "-");
  EXPECT_EQ(western.GetValue("SEKCIA \xC8", "\xBE\x41\xB9", "-"), "1");
  platform::OverrideSystemCodePage(0);
}

TEST(TMemIniFileChange, SetValueJoinsVerbatimAndAppendsWhatIsMissing) {
  TMemIniFile document = TMemIniFile::FromText("[A]\nk=1\n[B]\n");
  document.SetValue("A", " k", "2");
  document.SetValue("C", " new ", " spaced ");
  document.SetValue("A", "multi", "one\r\ntwo");
  EXPECT_EQ(document.Text(),
            "[A]\r\nk=1\r\n k=2\r\nmulti=one\r\ntwo\r\n\r\n"
            "[B]\r\n\r\n"
            "[C]\r\n new = spaced \r\n\r\n");

  // What was written verbatim is read back by the ordinary rules.
  TMemIniFile reread = TMemIniFile::FromText(document.Text());
  EXPECT_EQ(reread.GetValue("C", "new", "-"), "spaced");
  EXPECT_EQ(reread.GetValue("A", "multi", "-"), "one");
  EXPECT_EQ(Keys(reread, "A"), (std::vector<std::string>{"k", "k", "multi", ""}));
}

TEST(TMemIniFileChange, SetTextsAndReadTextsKeepTheirPlaces) {
  TMemIniFile document =
      TMemIniFile::FromText("\xEF\xBB\xBF[A]\na=1\n b = 2 \nwords\nc=3\n[B]\nd=4\n[ A ]\ne=5\n");
  document.SetValue("A", "c", "30");      // the later [A] has no c: appended there
  document.SetValue("B", "d", "40");      // replaced where it stands
  document.SetValue("b", "D", "41");      // and again, under another letter case
  document.SetValue("C", "f", "6");       // a new section at the end
  document.SetValue("B", "g", "7");
  EXPECT_EQ(document.Text(),
            "\xEF\xBB\xBF[A]\r\na=1\r\nb=2\r\nwords\r\nc=3\r\n\r\n"
            "[B]\r\nD=41\r\ng=7\r\n\r\n"
            "[A]\r\ne=5\r\nc=30\r\n\r\n"
            "[C]\r\nf=6\r\n\r\n");
  EXPECT_EQ(document.GetValue("a", "C", "-"), "30");
  EXPECT_EQ(document.GetValue("B", "d", "-"), "41");
  EXPECT_EQ(Keys(document, "b"), (std::vector<std::string>{"D", "g"}));
}

TEST(TMemIniFileChange, SettingWhatIsThereChangesNoByte) {
  const std::string text = "[Main]\r\nKey=1\r\nempty=\r\nx=a=b\r\n\r\n";
  TMemIniFile document = TMemIniFile::FromText(text);
  document.SetValue("main", "Key", "1");
  document.SetValue("MAIN", "empty", "");
  document.SetValue("Main", "x", "a=b");
  EXPECT_EQ(document.Text(), text);
  document.SetValue("Main", "KEY", "1");  // equal but for letter case is a change
  EXPECT_EQ(document.Text(), "[Main]\r\nKEY=1\r\nempty=\r\nx=a=b\r\n\r\n");
}

// As a save into a new file does it: every key is new, and the section's
// index grows again and again on the way.
TEST(TMemIniFileChange, ASectionFilledKeyByKeyFindsEveryKey) {
  TMemIniFile document = TMemIniFile::FromText("");
  std::string expected = "[S]\r\n";
  for (int i = 0; i < 3000; ++i) {
    document.SetValue("S", "key" + std::to_string(i), std::to_string(i));
    expected += "key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  }
  EXPECT_EQ(document.Text(), expected + "\r\n");
  for (int i = 2999; i >= 0; --i) {
    ASSERT_EQ(document.GetValue("s", "KEY" + std::to_string(i), "-"), std::to_string(i)) << i;
  }
  EXPECT_EQ(document.GetValue("S", "key3000", "-"), "-");
}

// The document against a plain model, through random changes and through
// lookups that walk sections forwards, backwards, across sections and at
// random: whatever the lookups remember of each other must never change an
// answer, with names repeated in some sections and unique in others.
TEST(TMemIniFileModel, AgreesWithALinearSearchWhicheverWayItIsWalked) {
  platform::OverrideSystemCodePage(1250);
  auto fold = [](std::string_view text) { return platform::UpperCase(text, 1250); };
  struct Section {
    std::string name;
    std::vector<std::string> entries;
  };
  std::vector<Section> model;
  auto nameOf = [](const std::string& entry) -> std::optional<std::string> {
    std::size_t equals = entry.find('=');
    if (equals == std::string::npos) return std::nullopt;
    return entry.substr(0, equals);
  };
  auto findSection = [&](std::string_view name) -> Section* {
    for (auto s = model.rbegin(); s != model.rend(); ++s) {
      if (fold(s->name) == fold(name)) return &*s;
    }
    return nullptr;
  };
  auto findEntry = [&](Section& section, std::string_view key) -> std::string* {
    for (auto e = section.entries.rbegin(); e != section.entries.rend(); ++e) {
      if (auto name = nameOf(*e); name && fold(*name) == fold(key)) return &*e;
    }
    return nullptr;
  };
  auto expected = [&](std::string_view section,
                      std::string_view key) -> std::optional<std::string> {
    Section* s = findSection(section);
    std::string* e = s ? findEntry(*s, key) : nullptr;
    if (e == nullptr) return std::nullopt;
    return e->substr(e->find('=') + 1);
  };

  std::mt19937 random(2024);
  auto pick = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
  };
  const std::vector<std::string> sectionNames = {"S0", "s0", "S1", "\xE8", "\xC8", "S2"};
  const std::vector<std::string> keys = {"k0", "K0", "k1", "k2", "\xBE", "\xBC", "k3", "", "k4"};

  // Sections 0 and 2 have no repeated names; section 1 has, and an entry
  // without a name.
  std::string text;
  for (int s = 0; s < 3; ++s) {
    model.push_back({"S" + std::to_string(s), {}});
    for (int k = 0; k < 40; ++k)
      model.back().entries.push_back("k" + std::to_string(k) + "=" + std::to_string(s));
  }
  model[1].entries[10] = "K3=repeated";
  model[1].entries[11] = "no name";
  for (const Section& s : model) {
    text += "[" + s.name + "]\r\n";
    for (const std::string& e : s.entries) text += e + "\r\n";
    text += "\r\n";
  }
  TMemIniFile document = TMemIniFile::FromText(text);

  for (int step = 0; step < 3000; ++step) {
    const std::string section = sectionNames[pick(sectionNames.size())];
    switch (pick(6)) {
      case 0: {  // one entry set, or a run of them at once, as a save sets them
        std::vector<std::string> runKeys, runValues;
        const std::size_t length = pick(2) == 0 ? 1 : 1 + pick(40);
        std::size_t inOrder = pick(40);
        for (std::size_t i = 0; i < length; ++i) {
          switch (pick(4)) {
            case 0: runKeys.push_back(keys[pick(keys.size())]); break;
            case 1: runKeys.push_back("new" + std::to_string(pick(200))); break;
            case 2: runKeys.push_back(pick(8) == 0 ? "k1=named k1" : "k" + std::to_string(pick(45))); break;
            default: runKeys.push_back("k" + std::to_string(inOrder++)); break;
          }
          runValues.push_back(pick(4) == 0 ? std::string() : std::to_string(pick(5)));
        }
        if (length == 1) {
          document.SetValue(section, runKeys[0], runValues[0]);
        } else {
          std::vector<TMemIniFile::Setting> run;
          for (std::size_t i = 0; i < length; ++i) run.push_back({runKeys[i], runValues[i]});
          document.SetValues(section, run);
        }
        Section* s = findSection(section);
        if (s == nullptr) s = &model.emplace_back(Section{section, {}});
        for (std::size_t i = 0; i < length; ++i) {
          if (std::string* e = findEntry(*s, runKeys[i])) {
            *e = runKeys[i] + "=" + runValues[i];
          } else {
            s->entries.push_back(runKeys[i] + "=" + runValues[i]);
          }
        }
        break;
      }
      case 1:
      case 2: {  // walk a section forwards or backwards, key after key
        TStringList names;
        document.GetKeys(section, names);
        std::vector<std::string> walk(names.begin(), names.end());
        if (pick(2) == 0) std::reverse(walk.begin(), walk.end());
        for (const std::string& key : walk) {
          ASSERT_EQ(document.FindValue(section, key), expected(section, key))
              << "step " << step << " [" << section << "] " << key;
        }
        break;
      }
      case 3: {  // two sections in turn
        const std::string other = sectionNames[pick(sectionNames.size())];
        for (int k = 0; k < 40; ++k) {
          const std::string& sought = k % 2 == 0 ? section : other;
          std::string key = "k" + std::to_string(k / 2);
          ASSERT_EQ(document.FindValue(sought, key), expected(sought, key)) << "step " << step;
        }
        break;
      }
      default: {
        std::string key = pick(3) == 0 ? keys[pick(keys.size())] : "k" + std::to_string(pick(45));
        ASSERT_EQ(document.FindValue(section, key), expected(section, key))
            << "step " << step << " [" << section << "] " << key;
      }
    }
  }
  std::string written;
  for (const Section& s : model) {
    written += "[" + s.name + "]\r\n";
    for (const std::string& e : s.entries) written += e + "\r\n";
    written += "\r\n";
  }
  EXPECT_EQ(document.Text(), written);
  platform::OverrideSystemCodePage(0);
}

// The hashed list against a plain linear search, through random changes:
// indexes that are kept in step must always agree with a fresh look.
// A document read again from the start (its file grew while it was read)
// empties its lists; an emptied list must answer like a new one, also when
// nothing is added to it again.
TEST(ViewListClear, LeavesAListThatFindsNothingAndTakesTextsAgain) {
  const platform::CaseTable& upper = platform::UpperCaseTable(1250);
  langfile::ViewList list(langfile::KeyKind::Name, upper, std::pmr::get_default_resource());
  list.Add("a=1");
  list.Add("b=2");
  list.Clear();
  EXPECT_EQ(list.size(), 0u);
  EXPECT_EQ(list.Find("a"), langfile::NameIndex::kNotFound);
  list.Add("B=3");
  EXPECT_EQ(list.Find("b"), 0);
}

TEST(THashedStringListModel, AgreesWithALinearSearchThroughRandomChanges) {
  const platform::CaseTable& upper = platform::UpperCaseTable(1250);
  auto fold = [&](std::string_view text) { return platform::UpperCase(text, 1250); };
  const std::vector<std::string> names = {"a", "A", "b", "\xE8", "\xC8", "", "key", "KEY"};

  std::mt19937 random(12345);
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
  auto randomText = [&] {
    switch (pick(3)) {
      case 0: return names[pick(names.size())];  // no "=": a whole text
      case 1: return names[pick(names.size())] + "=" + std::to_string(pick(10));
      default: return names[pick(names.size())] + "=" + names[pick(names.size())] + "=x";
    }
  };

  THashedStringList list(upper);
  for (int step = 0; step < 20000; ++step) {
    switch (pick(10)) {
      case 0:
        if (pick(20) == 0) list.Clear();
        break;
      case 1:
      case 2:
        if (!list.empty()) list.Put(pick(list.size()), randomText());
        break;
      default:
        list.Add(randomText());
    }
    std::string sought = names[pick(names.size())];
    std::ptrdiff_t lastText = -1;
    std::ptrdiff_t lastName = -1;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (fold(list[i]) == fold(sought)) lastText = static_cast<std::ptrdiff_t>(i);
      std::size_t equals = list[i].find('=');
      if (equals != std::string::npos && fold(list[i].substr(0, equals)) == fold(sought)) {
        lastName = static_cast<std::ptrdiff_t>(i);
      }
    }
    ASSERT_EQ(list.IndexOf(sought), lastText) << "step " << step;
    ASSERT_EQ(list.IndexOfName(sought), lastName) << "step " << step;
  }
}


// ---------------------------------------------------------------------------
// The same documents read from disk.

// A file is read in pieces of a quarter mebibyte, and a line may run on over
// any number of them.
TEST(TMemIniFileOnDisk, LinesLongerThanAReadPieceStayWhole) {
  const std::string long1(300'000, 'a'), long2(1'100'000, 'b');
  const std::string text = "[" + long1 + "]\r\nk=" + long2 + "\r\n" + long1 + "\n[S]\rv=" + long1 +
                           long2 + "\r\nlast=1";
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "long.ini", text);
  TMemIniFile read(dir / "long.ini");
  EXPECT_TRUE(read.Text() == TMemIniFile::FromText(text).Text());
  EXPECT_EQ(Keys(read, long1), (std::vector<std::string>{"k", ""}));
  EXPECT_EQ(read.GetValue("S", "v", "").size(), long1.size() + long2.size());
}

// Whatever follows a NUL byte is not read, so writing the document back
// would cut the file short there: it is refused, and nothing changes.
TEST(TMemIniFileOnDisk, ADocumentCutShortAtANulIsNeverWrittenBack) {
  std::string farNul = "[A]\r\n";
  while (farNul.size() < 600'000) farNul += "k" + std::to_string(farNul.size()) + "=v\r\n";
  farNul += "tail\0more=1\r\n"s;
  const std::string files[] = {
      "[A]\r\na=1\0b=2\r\n[B]\r\nc=3\r\n"s,
      "[A]\r\na=1\r\n\0"s,    // a NUL that ends the file is a byte the write would drop too
      "\xFF\xFE[\0A\0]\0"s,  // UTF-16
      farNul,                  // beyond the first piece read
  };
  testsupport::TempDir dir;
  const std::string name = dir / "a.ini";
  const std::string refusal =
      "Cannot create file \"" + platform::FullPathName(name) + "\". The file holds a NUL byte";
  for (const std::string& bytes : files) {
    testsupport::WriteFile(name, bytes);
    TMemIniFile document(name);
    document.SetValue("A", "a", "changed");
    const std::string text = document.Text();
    try {
      document.WriteBack();
      ADD_FAILURE() << "written back: " << bytes.substr(0, 20);
    } catch (const EFCreateError& error) {
      EXPECT_EQ(error.what(), refusal);
    }
    EXPECT_EQ(testsupport::ReadFile(name), bytes);
    EXPECT_EQ(document.Text(), text);
  }
  // Bytes given as text are held to the same rule; no file is made.
  TMemIniFile fromText = TMemIniFile::FromText("[A]\na=1\0"s, dir / "new.ini");
  EXPECT_THROW(fromText.WriteBack(), EFCreateError);
  EXPECT_FALSE(platform::FileExists(dir / "new.ini"));
}

}  // namespace

namespace {

// Lines as the parser splits them, so that a warning's "FILE:LINE" lands on
// the entry a lookup reads, also where several sections or entries share a
// name and lines hold no entry at all.
TEST(TMemIniFileLines, LinesOfGiveTheLineOfTheEntryALookupReaches) {
  const std::string text =
      "\xEF\xBB\xBF" "before=none\r\n"  // 1: ahead of any section
      "[A]\r\n"                         // 2
      "; note=no entry\r\n"             // 3
      "\r\n"                            // 4
      "one=1\r"                         // 5: a lone CR ends a line too
      "lone line\n"                     // 6: an entry, without a name
      "  two  =  2\n"                   // 7: blanks around "=" make a copy
      "[b]\n"                           // 8
      "one=b1\n"                        // 9
      "[a]\n"                           // 10: lookups of "A" reach this one
      "ONE=last\n"                      // 11
      "one=later\n";                    // 12: the last of a name wins
  const TMemIniFile document = TMemIniFile::FromText(text);
  const std::size_t a = *document.SectionPosition("A");
  const std::size_t first = 0;
  const TMemIniFile::EntryPlace places[] = {
      {a, "one"}, {first, "two"}, {first, "ONE"}, {first, "lone line"}, {1, "one"},
      {first, "missing"}, {9, "one"}, {first, "before"},
  };
  EXPECT_EQ(document.FindValueAt(a, "one"), "later");
  EXPECT_EQ(document.LinesOf(places),
            (std::vector<std::size_t>{12, 7, 5, 0, 9, 0, 0, 0}));
}

}  // namespace
