// The workspace against real files: what loading puts into the table and the
// header fields, what merging a destination changes, and the exact bytes that
// saving leaves on disk.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <cctype>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "langfile/FileErrors.h"
#include "support/TestSupport.h"
#include "workspace/Workspace.h"

namespace {

using namespace std::chrono;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
using workspace::RowKind;
using workspace::TranslationTable;
using workspace::Workspace;

// 5 March 2009, late in the evening: the date written must be that day.
platform::LocalDateTime FixedNow() {
  return local_days{2009y / March / 5} + 23h + 59min + 59s + 999ms;
}

// Language files on disk end their lines in CR LF; the tests write "\n".
std::string Crlf(std::string_view text) {
  std::string bytes;
  for (char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

// One text per row: its kind, key cell and translation cell.
std::vector<std::string> Rows(const TranslationTable& table) {
  static const char* const kKinds[] = {"header", "blank", "section", "key"};
  std::vector<std::string> rows;
  for (std::size_t row = 0; row < table.RowCount(); ++row) {
    rows.push_back(std::string(kKinds[static_cast<int>(table.Kind(row))]) + " | " +
                   std::string(table.Key(row)) + " | " + std::string(table.Translation(row)));
  }
  return rows;
}

std::vector<std::string> UntranslatedKeys(const Workspace& ws) {
  std::vector<std::string> keys;
  for (std::size_t row = 0; row < ws.Table().RowCount(); ++row) {
    if (ws.Table().Kind(row) == RowKind::Key && ws.IsUntranslated(row)) {
      keys.emplace_back(ws.Table().Key(row));
    }
  }
  return keys;
}

std::size_t RowOfKey(const TranslationTable& table, std::string_view key) {
  for (std::size_t row = 0; row < table.RowCount(); ++row) {
    if (table.Kind(row) == RowKind::Key && table.Key(row) == key) return row;
  }
  throw std::runtime_error("no row for key " + std::string(key));
}

// A header block, a section Form1 with two entries, a section Msgs with one.
const std::string kNineRowSource = Crlf(
    "; shipped with the program\n"
    "[-main-]\n"
    "tag=en\n"
    "name=English\n"
    "ProgramVersion=3.1\n"
    "TranslationVersion=3.1.0\n"
    "date=2008-01-01\n"
    "autor01=Jane Doe <jane@example.com>\n"
    "[Form1]\n"
    "Caption=%Main window%\n"
    "Btn=%OK%\n"
    "[Msgs]\n"
    "Err1=%Failed%\n");

// The same with a format string, whose own "%" must survive every step.
const std::string kSource = kNineRowSource + Crlf("Count=%%d items%\n");

std::vector<std::string> ReferenceTexts(const Workspace& ws) {
  std::vector<std::string> texts;
  for (std::size_t row = 0; row < ws.Reference()->RowCount(); ++row) {
    texts.emplace_back(ws.Reference()->Translation(row));
  }
  return texts;
}

TEST(LoadSource, GivesTheHeaderAndOneRowPerEntryBetweenSectionMarkers) {
  TempDir dir;
  WriteFile(dir / "en.lng", kNineRowSource);
  Workspace ws(FixedNow);
  ws.SetDestinationFileName(dir / "old.lng");

  ws.LoadSource(dir / "en.lng");

  EXPECT_EQ(Rows(ws.Table()), (std::vector<std::string>{
                                  "header | name | translation",
                                  "blank |  | ",
                                  "section | section - Form1 | ",
                                  "key | Caption | Main window",
                                  "key | Btn | OK",
                                  "blank |  | ",
                                  "section | section - Msgs | ",
                                  "key | Err1 | Failed",
                                  "blank |  | ",
                              }));
  const langfile::LanguageHeader& header = ws.Header();
  EXPECT_EQ(header.tag, "en");
  EXPECT_EQ(header.name, "English");
  EXPECT_EQ(header.programVersion, "3.1");
  EXPECT_EQ(header.translationVersion, "3.1.0");
  EXPECT_EQ(header.authors, std::vector<std::string>{"Jane Doe <jane@example.com>"});
  EXPECT_EQ(ws.Date(), FixedNow());
  EXPECT_EQ(ws.DestinationFileName(), "");
  EXPECT_EQ(ws.Reference(), nullptr);
  EXPECT_FALSE(ws.IsUntranslated(3));
}

TEST(LoadSource, ListsOddSectionsAndEntriesAsTheDocumentDoes) {
  TempDir dir;
  WriteFile(dir / "odd.lng", Crlf("[Empty]\n"
                                  "[Twice]\n"
                                  "A=%first%\n"
                                  "[Dup]\n"
                                  "K=%one%\n"
                                  "K=%two%\n"
                                  "no equals sign\n"
                                  "=%nameless%\n"
                                  "[Twice]\n"
                                  "A=%second%\n"
                                  "[-Main-]\n"
                                  "tag=xx\n"
                                  "[Old]\n"
                                  "Old section - 2=%kept a key%\n"));
  Workspace ws(FixedNow);
  ws.LoadSource(dir / "odd.lng");

  EXPECT_EQ(Rows(ws.Table()), (std::vector<std::string>{
                                  "header | name | translation",
                                  "blank |  | ",
                                  "section | section - Empty | ",
                                  "blank |  | ",
                                  // A repeated section is listed once, where it first
                                  // stands, with the later copy's entries: those that
                                  // merge and save reach.
                                  "section | section - Twice | ",
                                  "key | A | second",
                                  "blank |  | ",
                                  // So is a repeated key, with the value lookups give.
                                  "section | section - Dup | ",
                                  "key | K | two",
                                  // Nameless entries are rows with nothing to save under;
                                  // looking up the empty name finds "=%nameless%".
                                  "blank |  | nameless",
                                  "blank |  | nameless",
                                  "blank |  | ",
                                  "section | section - -Main- | ",
                                  "key | tag | xx",
                                  "blank |  | ",
                                  "section | section - Old | ",
                                  "key | Old section - 2 | kept a key",
                                  "blank |  | ",
                              }));
  // The header lookups ignore letter case, so "-Main-" also fills the header.
  EXPECT_EQ(ws.Header().tag, "xx");
}

TEST(LoadSource, ReplacesEverythingOfAnEarlierLoadButKeepsTheReference) {
  TempDir dir;
  WriteFile(dir / "long.lng", kSource);
  WriteFile(dir / "short.lng", Crlf("[S]\nOnly=%one%\n"));
  Workspace ws(FixedNow);
  ws.LoadSource(dir / "long.lng");
  ws.MergeDestination(dir / "long.lng");
  const workspace::ReferenceTable* reference = ws.Reference();
  ASSERT_NE(reference, nullptr);

  ws.LoadSource(dir / "short.lng");

  EXPECT_EQ(Rows(ws.Table()), (std::vector<std::string>{
                                  "header | name | translation",
                                  "blank |  | ",
                                  "section | section - S | ",
                                  "key | Only | one",
                                  "blank |  | ",
                              }));
  EXPECT_EQ(ws.Header().tag, "");
  EXPECT_TRUE(ws.Header().authors.empty());
  EXPECT_EQ(ws.Reference(), reference);
  // Its texts outlive the table they were merged into.
  EXPECT_EQ(reference->Translation(3), "Main window");
}

TEST(LoadSource, AFileThatCannotBeReadLeavesAResetTableAndTheHeaderAsItWas) {
  TempDir dir;
  WriteFile(dir / "en.lng", kSource);
  ASSERT_EQ(mkfifo((dir / "pipe.lng").c_str(), 0600), 0);
  Workspace ws(FixedNow);
  ws.LoadSource(dir / "en.lng");
  ws.SetDestinationFileName(dir / "sk.lng");

  EXPECT_THROW(ws.LoadSource(dir / "pipe.lng"), EFOpenError);

  EXPECT_EQ(Rows(ws.Table()),
            (std::vector<std::string>{"header | name | translation", "blank |  | "}));
  EXPECT_EQ(ws.DestinationFileName(), "");
  EXPECT_EQ(ws.Header().tag, "en");
}

TEST(MergeDestination, SettlesEveryRowAndStartsANewReferenceEachTime) {
  TempDir dir;
  WriteFile(dir / "source.lng", kSource);
  WriteFile(dir / "dest.lng", Crlf("[-main-]\ntag=sk\nautor01=Jan\n[Form1]\nCaption=\nBtn=%\n"));
  ASSERT_EQ(mkfifo((dir / "pipe.lng").c_str(), 0600), 0);
  int ticks = 0;
  Workspace ws([&] { return FixedNow() + seconds(++ticks); });
  ws.LoadSource(dir / "source.lng");
  EXPECT_EQ(ws.Date(), FixedNow() + 2s);
  ws.Table().SetTranslation(1, "typed in a blank row");
  ws.Table().SetTranslation(2, "typed in a marker row");

  ws.MergeDestination(dir / "dest.lng");

  EXPECT_EQ(ws.Date(), FixedNow() + 3s);
  EXPECT_EQ(ws.Header().tag, "sk");
  EXPECT_EQ(ws.Header().name, "");
  EXPECT_EQ(ws.Header().authors, std::vector<std::string>{"Jan"});
  const std::vector<std::string> merged = {
      "header | name | translation",
      "blank |  | ",
      "section | section - Form1 | ",
      // An empty value and a lone "%" both are the empty translation.
      "key | Caption | ",
      "key | Btn | ",
      "blank |  | ",
      "section | section - Msgs | ",
      "key | Err1 | Failed",
      "key | Count | %d items",
      "blank |  | ",
  };
  EXPECT_EQ(Rows(ws.Table()), merged);
  EXPECT_EQ(ReferenceTexts(ws),
            (std::vector<std::string>{"translation", "typed in a blank row", "typed in a marker row",
                                      "Main window", "OK", "", "", "Failed", "%d items", ""}));

  // A destination that is gone empties the header fields; every row keeps
  // its text and now counts as untranslated.
  ws.MergeDestination(dir / "gone.lng");
  EXPECT_EQ(ws.Header().tag, "");
  EXPECT_TRUE(ws.Header().authors.empty());
  EXPECT_EQ(Rows(ws.Table()), merged);
  EXPECT_EQ(ws.Reference()->RowCount(), ws.Table().RowCount());
  EXPECT_EQ(UntranslatedKeys(ws), (std::vector<std::string>{"Caption", "Btn", "Err1", "Count"}));

  // One that cannot be read leaves the header fields and the table alone.
  EXPECT_THROW(ws.MergeDestination(dir / "pipe.lng"), EFOpenError);
  EXPECT_EQ(ReferenceTexts(ws), std::vector<std::string>{"translation"});
  EXPECT_EQ(Rows(ws.Table()), merged);
}

// Open a source, merge a destination, let the translator work, save.
struct SessionCase {
  const char* name;
  std::string source;
  std::optional<std::string> destination;  // none: a plain copy of the source
  std::function<void(Workspace&)> beforeMerge;
  std::function<void(Workspace&)> beforeSave;
  std::vector<std::string> untranslatedAfterMerge;
  std::string saved;
};

void PrintTo(const SessionCase& c, std::ostream* out) { *out << c.name; }

const std::string kPlainCopySaved = Crlf(
    "[-main-]\n"
    "tag=en\n"
    "name=English\n"
    "ProgramVersion=3.1\n"
    "TranslationVersion=3.1.0\n"
    "date=2009-03-05\n"
    "autor01=Jane Doe <jane@example.com>\n"
    "\n"
    "[Form1]\n"
    "Caption=%Main window%\n"
    "Btn=%OK%\n"
    "\n"
    "[Msgs]\n"
    "Err1=%Failed%\n"
    "Count=%%d items%\n"
    "\n");

std::string WithLine(std::string text, std::string_view line, std::string_view replacement) {
  const std::string whole = Crlf(std::string(line) + "\n");
  text.replace(text.find(whole), whole.size(), Crlf(std::string(replacement) + "\n"));
  return text;
}

const SessionCase kSessions[] = {
    {"a plain copy of the source: every key untranslated", kSource, std::nullopt, nullptr, nullptr,
     {"Caption", "Btn", "Err1", "Count"}, kPlainCopySaved},

    {"an existing translation with its own extras, which all survive", kSource,
     Crlf("; translator's notes, lost on save\n"
          "[-main-]\n"
          "tag=sk\n"
          "name=Slovensky\n"
          "ProgramVersion=3.0\n"
          "TranslationVersion=3.0.2\n"
          "autor01=Jan\n"
          "autor02=Eva\n"
          "autor03=Old Contributor\n"
          "[Form1]\n"
          "Caption=%Hlavne okno%\n"
          "Btn=%OK%\n"
          "Extra=%Navyse%\n"
          "[Msgs]\n"
          "Err1=%Chyba%\n"
          "[Obsolete]\n"
          "Old = %Stare%\n"),
     // Typed before the destination was chosen: the destination's text wins.
     [](Workspace& ws) { ws.Table().SetTranslation(RowOfKey(ws.Table(), "Caption"), "early"); },
     [](Workspace& ws) {
       EXPECT_EQ(ws.Reference()->Translation(RowOfKey(ws.Table(), "Caption")), "early");
       ws.Header().authors = {"Jan", "Eva"};
     },
     // "Count" is missing from the destination and keeps its text whole.
     {"Btn", "Count"},
     Crlf("[-main-]\n"
          "tag=sk\n"
          "name=Slovensky\n"
          "ProgramVersion=3.0\n"
          "TranslationVersion=3.0.2\n"
          "autor01=Jan\n"
          "autor02=Eva\n"
          "autor03=Old Contributor\n"
          "date=2009-03-05\n"
          "\n"
          "[Form1]\n"
          "Caption=%Hlavne okno%\n"
          "Btn=%OK%\n"
          "Extra=%Navyse%\n"
          "\n"
          "[Msgs]\n"
          "Err1=%Chyba%\n"
          "Count=%%d items%\n"
          "\n"
          "[Obsolete]\n"
          "Old=%Stare%\n"
          "\n")},

    {"a destination lacking a section gets it appended with all its keys", kSource,
     Crlf("[-main-]\ntag=de\n[Form1]\nCaption=%Hauptfenster%\n"), nullptr, nullptr,
     {"Btn", "Err1", "Count"},
     Crlf("[-main-]\n"
          "tag=de\n"
          "name=\n"
          "ProgramVersion=\n"
          "TranslationVersion=\n"
          "date=2009-03-05\n"
          "\n"
          "[Form1]\n"
          "Caption=%Hauptfenster%\n"
          "Btn=%OK%\n"
          "\n"
          "[Msgs]\n"
          "Err1=%Failed%\n"
          "Count=%%d items%\n"
          "\n")},

    {"an empty translation is saved as an empty value", kSource, std::nullopt, nullptr,
     [](Workspace& ws) { ws.Table().SetTranslation(RowOfKey(ws.Table(), "Btn"), ""); },
     {"Caption", "Btn", "Err1", "Count"}, WithLine(kPlainCopySaved, "Btn=%OK%", "Btn=")},

    {"a key holding the marker text is merged and saved in its own section",
     Crlf("[-main-]\ntag=en\n[Old]\nOld section - 2=%Second%\nNext=%Third%\n"),
     Crlf("[-main-]\ntag=cs\n[Old]\nOld section - 2=%Druhy%\nNext=%Treti%\n"), nullptr, nullptr,
     {},
     Crlf("[-main-]\n"
          "tag=cs\n"
          "name=\n"
          "ProgramVersion=\n"
          "TranslationVersion=\n"
          "date=2009-03-05\n"
          "\n"
          "[Old]\n"
          "Old section - 2=%Druhy%\n"
          "Next=%Treti%\n"
          "\n")},
};

class Session : public ::testing::TestWithParam<SessionCase> {};

TEST_P(Session, MergeAndSaveGiveTheExpectedBytes) {
  const SessionCase& c = GetParam();
  TempDir dir;
  WriteFile(dir / "source.lng", c.source);
  WriteFile(dir / "dest.lng", c.destination.value_or(c.source));
  Workspace ws(FixedNow);

  ws.LoadSource(dir / "source.lng");
  if (c.beforeMerge) c.beforeMerge(ws);
  ws.MergeDestination(dir / "dest.lng");
  EXPECT_EQ(UntranslatedKeys(ws), c.untranslatedAfterMerge);
  if (c.beforeSave) c.beforeSave(ws);
  ws.SetModified(true);
  ws.Save(dir / "dest.lng");

  EXPECT_EQ(ReadFile(dir / "dest.lng"), c.saved);
  EXPECT_EQ(ReadFile(dir / "source.lng"), c.source);
  EXPECT_FALSE(ws.Modified());
}

INSTANTIATE_TEST_SUITE_P(Workspace, Session, ::testing::ValuesIn(kSessions),
                         [](const ::testing::TestParamInfo<SessionCase>& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c; ++c) {
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           }
                           return name;
                         });

// A key repeated in another letter case is one row; saving it untouched
// must leave the entry it sets, the last, spelled as it was.
TEST(Save, AnUntouchedKeyRepeatedInAnotherLetterCaseKeepsItsSpelling) {
  TempDir dir;
  const std::string bytes = Crlf("[s]\nKey=%a%\nKEY=%b%\n");
  WriteFile(dir / "t.lng", bytes);
  Workspace ws(FixedNow);
  ws.LoadSource(dir / "t.lng");
  ws.Save(dir / "t.lng", ws.MergeDestination(dir / "t.lng"));
  EXPECT_TRUE(ReadFile(dir / "t.lng").starts_with(bytes));
}

TEST(Save, AFailedWriteChangesNothingOnDiskAndStaysUnsaved) {
  TempDir dir;
  WriteFile(dir / "source.lng", kSource);
  WriteFile(dir / "dest.lng", kSource);
  Workspace ws(FixedNow);
  std::vector<bool> heard;
  ws.OnModifiedChanged([&](bool modified) { heard.push_back(modified); });
  ws.LoadSource(dir / "source.lng");
  ws.MergeDestination(dir / "dest.lng");
  ws.Table().SetTranslation(RowOfKey(ws.Table(), "Btn"), "Dobre");
  ws.SetModified(true);
  // No write bit: refused for every user, root included.
  ASSERT_EQ(chmod((dir / "dest.lng").c_str(), 0444), 0);

  EXPECT_THROW(ws.Save(dir / "dest.lng"), EFCreateError);
  EXPECT_EQ(ReadFile(dir / "dest.lng"), kSource);
  EXPECT_TRUE(ws.Modified());
  EXPECT_EQ(heard, std::vector<bool>{true});

  // The work is still there to be saved once the file can be written.
  ASSERT_EQ(chmod((dir / "dest.lng").c_str(), 0644), 0);
  ws.Save(dir / "dest.lng");
  EXPECT_NE(ReadFile(dir / "dest.lng").find("Btn=%Dobre%\r\n"), std::string::npos);
  EXPECT_FALSE(ws.Modified());
  EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

// Another program (or the translator in another editor) changes the
// destination after the merge: the save must build on the file as it is now.
TEST(Save, BuildsOnTheDestinationAsItIsNowWhenItChangedSinceTheMerge) {
  TempDir dir;
  WriteFile(dir / "source.lng", kSource);
  WriteFile(dir / "dest.lng", kSource);
  Workspace ws(FixedNow);
  ws.LoadSource(dir / "source.lng");
  ws.MergeDestination(dir / "dest.lng");
  ws.Save(dir / "dest.lng");

  WriteFile(dir / "dest.lng", ReadFile(dir / "dest.lng") + Crlf("[Theirs]\nKept=%yes%\n"));
  ws.Table().SetTranslation(RowOfKey(ws.Table(), "Btn"), "Dobre");
  ws.Save(dir / "dest.lng");

  const std::string saved = ReadFile(dir / "dest.lng");
  EXPECT_NE(saved.find("[Theirs]\r\nKept=%yes%\r\n"), std::string::npos);
  EXPECT_NE(saved.find("Btn=%Dobre%\r\n"), std::string::npos);
}

// A save that fails half-way has already changed the document it worked on;
// the next save must start again from the file, or an author line removed in
// between would come back from the failed attempt.
TEST(Save, AfterAFailedWriteTheNextSaveStartsAgainFromTheFile) {
  TempDir dir;
  WriteFile(dir / "source.lng", kSource);
  WriteFile(dir / "dest.lng",
            kSource + Crlf("[-main-]\nautor02=Ann\nautor03=Cy\n"));
  int code = testsupport::RunInChild([&] {
    Workspace ws(FixedNow);
    ws.LoadSource(dir / "source.lng");
    ws.MergeDestination(dir / "dest.lng");
    ws.Header().authors = {"Jane", "Ann", "Typed then removed"};
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    const rlim_t usual = limit.rlim_cur;
    limit.rlim_cur = 100;  // a full disk, as far as this process can tell
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
    try {
      ws.Save(dir / "dest.lng");
      return 4;
    } catch (const EWriteError&) {
    }
    limit.rlim_cur = usual;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 5;
    ws.Header().authors = {"Jane", "Ann"};
    ws.Save(dir / "dest.lng");
    return 0;
  });
  ASSERT_EQ(code, 0);
  const std::string saved = ReadFile(dir / "dest.lng");
  EXPECT_NE(saved.find("autor03=Cy\r\n"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("Typed then removed"), std::string::npos) << saved;
}

}  // namespace
