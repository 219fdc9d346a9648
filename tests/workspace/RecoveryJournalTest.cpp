// The recovery journal against real files: what a later session finds after
// a crash cut the file anywhere or the disk damaged a record, the files'
// privacy, and a journal that stays small however long the session.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/TestSupport.h"
#include "workspace/RecoveryJournal.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ModeOf;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
using workspace::EditField;
using workspace::JournalEdit;
using workspace::RecoveredEdits;
using workspace::RecoveryJournal;

const std::string kSource = "/home/ann/Farnel/English.lng";
const std::string kDestination = "/home/ann/Slovak.lng";

JournalEdit Translation(std::string section, std::string key, std::string text) {
  return {EditField::Translation, std::move(section), std::move(key), std::move(text)};
}

JournalEdit Field(EditField field, std::string text) { return {field, "", "", std::move(text)}; }

// Writes `edits` as one session of the pair kSource, kDestination would.
void Journal(const std::string& folder, const std::vector<JournalEdit>& edits) {
  RecoveryJournal journal(folder);
  journal.Start(kSource, kDestination);
  for (const JournalEdit& edit : edits) ASSERT_TRUE(journal.Record(edit)) << journal.Failure();
}

std::optional<RecoveredEdits> Found(const std::string& folder) {
  return RecoveryJournal::Find(folder, kSource, kDestination);
}

// What restoring `edits` in order leaves in each target.
std::map<std::tuple<EditField, std::string, std::string>, std::string> Restored(
    const std::vector<JournalEdit>& edits) {
  std::map<std::tuple<EditField, std::string, std::string>, std::string> targets;
  for (const JournalEdit& edit : edits) targets[{edit.field, edit.section, edit.key}] = edit.text;
  return targets;
}

TEST(RecoveryJournal, GivesBackEveryFieldAndAnyBytes) {
  using namespace std::string_literals;
  const std::string marker = "\x1EJR\x1F";
  std::string large(1 << 20, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 131 % 256);
  const std::vector<JournalEdit> edits = {
      Translation("Form1", "Caption", "Hlavn\xE9 okno"),
      Field(EditField::Tag, "sk"),
      Field(EditField::Name, "Slovensky"),
      Field(EditField::ProgramVersion, "3.1"),
      Field(EditField::TranslationVersion, "3.1.0"),
      Field(EditField::Date, "2009-03-05"),
      Field(EditField::Authors, "Jane\nAnn\n"),
      Translation("Form1", "Caption", ""),
      Translation("", "", ""),
      Translation("Sec\0tion"s, "K\ney"s, "a\0b\nc\r\n\0"s),
      Translation("Form1", "Marker", marker + marker + "\x01\0\0\0"s + marker),
      Translation(marker, marker, "\n"),
      Field(EditField::Name, std::string(1, '\xFF')),
      Translation("Big", "Text", large),
      Field(EditField::Authors, ""),
  };
  TempDir dir;
  const auto before = std::chrono::system_clock::now() - std::chrono::seconds(2);
  Journal(dir.path(), edits);
  std::optional<RecoveredEdits> found = Found(dir.path());
  ASSERT_TRUE(found);
  EXPECT_EQ(found->unreadable, 0u);
  EXPECT_TRUE(found->edits == edits);
  EXPECT_GE(found->written, before);
  EXPECT_LE(found->written, std::chrono::system_clock::now() + std::chrono::seconds(2));
}

// The crash may cut the file after any byte, and the disk may damage any
// byte: the intact records come back, and a cut or damaged one counts once.
TEST(RecoveryJournal, ACutOrDamagedRecordCostsOnlyItself) {
  TempDir dir;
  const std::vector<JournalEdit> edits = {
      Translation("Form1", "Caption", "Okno"),
      Translation("Form1", "Btn", "\x1EJR\x1F\x1EJR\x1F"),  // markers for resynchronising to skip
      Field(EditField::Date, "2009-03-05"),
  };
  const std::string file = RecoveryJournal::FileFor(dir.path(), kSource, kDestination);
  std::vector<std::size_t> ends;  // the file's size after each record
  {
    RecoveryJournal journal(dir.path());
    journal.Start(kSource, kDestination);
    for (const JournalEdit& edit : edits) {
      ASSERT_TRUE(journal.Record(edit));
      ends.push_back(fs::file_size(file));
    }
  }
  const std::string whole = ReadFile(file);
  bool headerWhole = false;
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    WriteFile(file, whole.substr(0, cut));
    std::optional<RecoveredEdits> found = Found(dir.path());
    const auto complete = std::upper_bound(ends.begin(), ends.end(), cut) - ends.begin();
    if (complete == 0) {
      // Within the header nothing is found; after it, the cut first record counts.
      EXPECT_TRUE(found ? found->edits.empty() && found->unreadable == 1 : !headerWhole) << cut;
      headerWhole = found.has_value();
      continue;
    }
    ASSERT_TRUE(found) << cut;
    EXPECT_EQ(found->edits, std::vector(edits.begin(), edits.begin() + complete)) << cut;
    EXPECT_EQ(found->unreadable, ends[complete - 1] == cut ? 0u : 1u) << cut;
  }
  EXPECT_TRUE(headerWhole);

  for (std::size_t at = ends[0]; at < ends[1]; ++at) {
    for (char flip : {'\x01', '\xFF'}) {
      std::string damaged = whole;
      damaged[at] ^= flip;
      WriteFile(file, damaged);
      std::optional<RecoveredEdits> found = Found(dir.path());
      ASSERT_TRUE(found) << at;
      EXPECT_EQ(found->edits, (std::vector{edits[0], edits[2]})) << at;
      EXPECT_EQ(found->unreadable, 1u) << at;
    }
  }
}

TEST(RecoveryJournal, KeepsItsFilesPrivateWhateverTheUmask) {
  struct UmaskFor {
    mode_t previous = umask(0);
    ~UmaskFor() { umask(previous); }
  } mask;
  TempDir dir;
  const std::string folder = dir / "state/orvane-translator/";
  const std::string file = RecoveryJournal::FileFor(folder, kSource, kDestination);
  {
    RecoveryJournal journal(folder);
    journal.Start(kSource, kDestination);
    EXPECT_FALSE(fs::exists(dir / "state"));  // not before the first record
    ASSERT_TRUE(journal.Record(Field(EditField::Tag, "sk")));
    EXPECT_EQ(ModeOf(dir / "state"), 0700u);
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(file), 0600u);

    // Programs the translator starts do not inherit the open journal.
    int journals = 0;
    for (const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd")) {
      std::error_code error;
      if (fs::read_symlink(fd.path(), error) != file) continue;
      ++journals;
      EXPECT_TRUE(fcntl(std::stoi(fd.path().filename()), F_GETFD) & FD_CLOEXEC);
    }
    EXPECT_EQ(journals, 1);
  }

  // A folder of ours that others could enter is closed to them.
  ASSERT_EQ(chmod(folder.c_str(), 0755), 0);
  Journal(folder, {Field(EditField::Tag, "cs")});
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_EQ(ModeOf(file), 0600u);
  EXPECT_EQ(Found(folder)->edits, std::vector{Field(EditField::Tag, "cs")});
}

TEST(RecoveryJournal, FindsOnlyAJournalOfThePair) {
  TempDir dir;
  EXPECT_FALSE(Found(dir.path()));
  EXPECT_FALSE(RecoveryJournal::Find("", kSource, kDestination));
  Journal(dir.path(), {Field(EditField::Tag, "sk")});
  ASSERT_TRUE(Found(dir.path()));
  EXPECT_FALSE(RecoveryJournal::Find(dir.path(), kSource, kDestination + "x"));
  EXPECT_FALSE(RecoveryJournal::Find(dir.path(), kDestination, kSource));

  // A pair whose name the hash shares: the header tells the journals apart.
  const std::string bytes = ReadFile(RecoveryJournal::FileFor(dir.path(), kSource, kDestination));
  const std::string other = RecoveryJournal::FileFor(dir.path(), kSource + "\0"[0], kDestination);
  WriteFile(other, bytes);
  EXPECT_FALSE(RecoveryJournal::Find(dir.path(), kSource + "\0"[0], kDestination));
  for (const std::string& notAJournal :
       {std::string(), std::string("[-main-]\r\ntag=sk\r\n"), std::string(1000, '\xFF')}) {
    WriteFile(other, notAJournal);
    EXPECT_FALSE(RecoveryJournal::Find(dir.path(), kSource + "\0"[0], kDestination));
  }
  EXPECT_NE(RecoveryJournal::FileFor("/s/", "a", "bc"), RecoveryJournal::FileFor("/s/", "ab", "c"));
}

// A crash must leave the journal; only Remove takes it away.
TEST(RecoveryJournal, StartAndRemoveTouchOnlyTheirOwnPairsFile) {
  TempDir dir;
  const std::string second = "/home/ann/Czech.lng";
  const std::string file = RecoveryJournal::FileFor(dir.path(), kSource, kDestination);
  Journal(dir.path(), {Field(EditField::Tag, "old")});  // left by an earlier session
  RecoveryJournal journal(dir.path());
  journal.Remove();  // no pair yet
  journal.Start(kSource, second);
  ASSERT_TRUE(journal.Record(Field(EditField::Tag, "cs")));
  journal.Start(kSource, kDestination);
  EXPECT_EQ(RecoveryJournal::Find(dir.path(), kSource, second)->edits,
            std::vector{Field(EditField::Tag, "cs")});
  EXPECT_EQ(Found(dir.path())->edits, std::vector{Field(EditField::Tag, "old")});
  ASSERT_TRUE(journal.Record(Field(EditField::Tag, "sk")));
  // Kept by a live journal (another window's, say), it is no crashed
  // session's to offer or to remove.
  EXPECT_FALSE(Found(dir.path()));
  {
    RecoveryJournal other(dir.path());
    other.Start(kSource, kDestination);
    other.Remove();
    EXPECT_FALSE(other.Record(Field(EditField::Tag, "cs")));
  }
  EXPECT_TRUE(fs::exists(file));

  journal.Remove();
  EXPECT_FALSE(fs::exists(file));
  journal.Remove();
  EXPECT_TRUE(RecoveryJournal::Find(dir.path(), kSource, second));
  ASSERT_TRUE(journal.Record(Field(EditField::Name, "Slovensky")));  // edits after a save
  journal.Start(kSource, second);  // as a crash ends it
  EXPECT_EQ(Found(dir.path())->edits, std::vector{Field(EditField::Name, "Slovensky")});
}

TEST(RecoveryJournal, GrowsWithTheEditsNotWithTheKeystrokes) {
  TempDir dir;
  const std::string file = RecoveryJournal::FileFor(dir.path(), kSource, kDestination);
  RecoveryJournal journal(dir.path());
  journal.Start(kSource, kDestination);
  std::vector<JournalEdit> written;
  std::uintmax_t largest = 0;
  std::string typed(2000, 'a');
  for (int keystroke = 0; keystroke < 20000; ++keystroke) {
    typed[keystroke % typed.size()] = static_cast<char>('a' + keystroke % 26);
    written.push_back(keystroke % 100 == 0
                          ? Translation("Form" + std::to_string(keystroke / 1000), "Key", typed)
                          : Translation("Form1", "Long", typed + std::to_string(keystroke)));
    ASSERT_TRUE(journal.Record(written.back())) << journal.Failure();
    largest = std::max(largest, fs::file_size(file));
  }
  // 40 MB were recorded; the latest records take 43 KB.
  EXPECT_LT(largest, (std::uintmax_t{3} << 19));
  EXPECT_EQ(ModeOf(file), 0600u);
  journal.Start(kSource, "/closed.lng");  // as a crash ends it
  std::optional<RecoveredEdits> found = Found(dir.path());
  ASSERT_TRUE(found);
  EXPECT_EQ(found->unreadable, 0u);
  EXPECT_EQ(Restored(found->edits), Restored(written));
}

TEST(RecoveryJournal, SaysWhyItCannotWriteAndDropsTheRestUntilTheNextStart) {
  TempDir dir;
  const std::string folder = dir / "file/journals/";
  const std::string file = RecoveryJournal::FileFor(folder, kSource, kDestination);
  WriteFile(dir / "file", "not a folder");
  RecoveryJournal journal(folder);
  EXPECT_FALSE(journal.Record(Field(EditField::Tag, "sk")));  // no pair yet
  journal.Start(kSource, kDestination);
  EXPECT_FALSE(journal.Record(Field(EditField::Tag, "sk")));
  EXPECT_EQ(journal.Failure(),
            "Cannot create the folder \"" + (dir / "file/journals") + "\". Not a directory");
  fs::remove(dir / "file");
  EXPECT_FALSE(journal.Record(Field(EditField::Tag, "sk")));  // dropped until the next Start
  journal.Start(kSource, kDestination);
  EXPECT_TRUE(journal.Record(Field(EditField::Tag, "sk")));
  EXPECT_EQ(journal.Failure(), "");

  RecoveryJournal homeless("");
  homeless.Start(kSource, kDestination);
  EXPECT_FALSE(homeless.Record(Field(EditField::Tag, "sk")));
  EXPECT_NE(homeless.Failure(), "");

  // A full disk, as far as the process can tell: a write beyond the limit
  // would kill it, and half a record would be counted later.
  int code = testsupport::RunInChild([&] {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0) return 1;
    limit.rlim_cur = fs::file_size(file) + 99;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    journal.Remove();
    if (!journal.Record(Field(EditField::Tag, "cs"))) return 3;
    if (journal.Record(Field(EditField::Authors, std::string(100, 'x')))) return 4;
    return journal.Failure() == "Cannot write the recovery journal \"" + file + "\". File too large"
               ? 0
               : 5;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Found(folder)->edits, std::vector{Field(EditField::Tag, "cs")});
  EXPECT_EQ(Found(folder)->unreadable, 0u);
}

}  // namespace
