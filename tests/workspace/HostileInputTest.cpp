// Files nobody meant as language files, handed to the workspace as source or
// destination: random bytes, huge lines, huge counts, NUL bytes, UTF-16, odd
// line ends, FIFOs, devices, sockets, names too long for the system. Each
// must end in a clear result within a few seconds (a table, or a file error
// naming the file) and leave every file it was not meant to write byte for
// byte as it was.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "langfile/FileErrors.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"
#include "workspace/Commands.h"

namespace {

using namespace std::chrono;
using namespace std::string_literals;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
using workspace::Commands;
using workspace::TranslationTable;
using workspace::Workspace;

platform::LocalDateTime FixedNow() { return local_days{2009y / March / 5} + 12h; }

// What a save adds to a file without a header block.
const std::string kHeaderBlock =
    "[-main-]\r\ntag=\r\nname=\r\nProgramVersion=\r\nTranslationVersion=\r\n"
    "date=2009-03-05\r\n\r\n";
const std::string kSource = "[S]\r\na=%one%\r\n";

// Generous enough for a sanitizer build on a busy machine; what this guards
// against (a blocked read, work that grows with the square of the input)
// takes minutes.
constexpr double kSecondsAllowed = 20;

class Stopwatch {
 public:
  double Seconds() const { return duration<double>(steady_clock::now() - start_).count(); }

 private:
  steady_clock::time_point start_ = steady_clock::now();
};

std::string Row(const TranslationTable& table, std::size_t row) {
  static const char* const kKinds[] = {"header", "blank", "section", "key"};
  return std::string(kKinds[static_cast<int>(table.Kind(row))]) + " | " +
         std::string(table.Key(row)) + " | " + std::string(table.Translation(row));
}

std::vector<std::string> Rows(const TranslationTable& table) {
  std::vector<std::string> rows;
  for (std::size_t row = 0; row < table.RowCount(); ++row) rows.push_back(Row(table, row));
  return rows;
}

std::size_t Count(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

std::string Utf16(std::string_view ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) bytes += bigEndian ? "\0"s + c : c + "\0"s;
  return bytes;
}

// Raw generator output: the same bytes from every standard library.
std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// Plays the user through Open: picks the source, then the destination.
class ScriptedHost : public workspace::CommandHost {
 public:
  std::string SelectedFileKind() const override { return "[Farnel] - program interface"; }
  std::string ApplicationFolder() const override { return "/opt/orvane-translator/"; }
  std::string CommonAppDataFolder() const override { return {}; }
  std::optional<std::string> ShowOpenDialog(const workspace::FileDialogRequest&) override {
    return source;
  }
  std::optional<std::string> ShowSaveDialog(const workspace::FileDialogRequest&) override {
    return destination;
  }
  void ShowMessage(std::string_view, unsigned) override {}
  void ShowSourceFileName(const std::string&) override {}
  void ChangeTable(const std::function<void()>& change) override { change(); }
  void ShowDestinationSaved() override {}
  std::size_t Ask(std::string_view, const std::vector<std::string_view>&, std::size_t) override {
    ADD_FAILURE() << "unexpected question";
    return 0;
  }
  void ShowDestinationFileName(const std::string&) override {}
  void ShowMessageLater(std::string, unsigned) override {}
  std::string DocumentsFolder() const override { return "/home/translator/Documents/"; }

  std::optional<std::string> source;
  std::optional<std::string> destination;
};

// The message of the file error that `run` raises, or a note that none came.
template <typename Error>
std::string MessageOf(const std::function<void()>& run) {
  try {
    run();
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

// ---------------------------------------------------------------------------
// Odd but small: the table they give, and what a save makes of them.

struct OddFile {
  const char* name;
  std::string bytes;
  std::vector<std::string> rows;
  std::optional<std::string> saved;  // none: the save is refused
};

void PrintTo(const OddFile& c, std::ostream* out) { *out << c.name; }

const std::vector<std::string> kEmptyTable = {"header | name | translation", "blank |  | "};

std::vector<std::string> TableOf(std::vector<std::string> rows) {
  rows.insert(rows.begin(), kEmptyTable.begin(), kEmptyTable.end());
  return rows;
}

const OddFile kOddFiles[] = {
    {"CR only", "[S]\ra=%1%\rb=%2%\r",
     TableOf({"section | section - S | ", "key | a | 1", "key | b | 2", "blank |  | "}),
     "[S]\r\na=%1%\r\nb=%2%\r\n\r\n" + kHeaderBlock},
    {"mixed line ends", "[S]\r\na=%1%\nb=%2%\rc=%3%\n\rd=%4%",
     TableOf({"section | section - S | ", "key | a | 1", "key | b | 2", "key | c | 3",
              "key | d | 4", "blank |  | "}),
     "[S]\r\na=%1%\r\nb=%2%\r\nc=%3%\r\nd=%4%\r\n\r\n" + kHeaderBlock},
    {"a section name repeated in another letter case",
     "[S]\r\na=%1%\r\n[T]\r\nt=%x%\r\n[s]\r\nb=%2%\r\n",
     TableOf({"section | section - S | ", "key | b | 2", "blank |  | ", "section | section - T | ",
              "key | t | x", "blank |  | "}),
     "[S]\r\na=%1%\r\n\r\n[T]\r\nt=%x%\r\n\r\n[s]\r\nb=%2%\r\n\r\n" + kHeaderBlock},
    {"a NUL byte, after which nothing is read", "[S]\r\na=%1%\r\nb=%2\0%\r\n[T]\r\nc=%3%\r\n"s,
     TableOf({"section | section - S | ", "key | a | 1", "key | b | 2", "blank |  | "}),
     std::nullopt},
    {"UTF-16 with its byte-order mark", Utf16("[S]\r\na=%1%\r\n", false), kEmptyTable,
     std::nullopt},
};

class OddFileTest : public ::testing::TestWithParam<OddFile> {};

TEST_P(OddFileTest, LoadsAsTheDocumentReadsItAndSavesOrIsRefused) {
  const OddFile& c = GetParam();
  TempDir dir;
  WriteFile(dir / "source.lng", c.bytes);
  WriteFile(dir / "dest.lng", c.bytes);
  Workspace ws(FixedNow);

  ws.LoadSource(dir / "source.lng");
  EXPECT_EQ(Rows(ws.Table()), c.rows);
  ws.MergeDestination(dir / "dest.lng");
  EXPECT_EQ(Rows(ws.Table()), c.rows);
  ws.SetModified(true);
  if (c.saved) {
    ws.Save(dir / "dest.lng");
    EXPECT_EQ(ReadFile(dir / "dest.lng"), *c.saved);
  } else {
    EXPECT_THROW(ws.Save(dir / "dest.lng"), EFCreateError);
    EXPECT_EQ(ReadFile(dir / "dest.lng"), c.bytes);
    EXPECT_TRUE(ws.Modified());
  }
  EXPECT_EQ(ReadFile(dir / "source.lng"), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(HostileInput, OddFileTest, ::testing::ValuesIn(kOddFiles),
                         [](const ::testing::TestParamInfo<OddFile>& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c; ++c) {
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           }
                           return name;
                         });

// ---------------------------------------------------------------------------
// A destination whose text ends at a NUL byte: the save would cut the file
// short there, so it is refused with the file named, whatever the file is.

TEST(HostileDestination, TextCutShortAtANulIsRefusedByEverySaveAndKeptByteForByte) {
  std::string random = RandomBytes(1 << 20, 11);
  random[1000] = '\0';  // whatever the seed gave: the text ends within the first kilobyte
  const std::pair<const char*, std::string> destinations[] = {
      {"stray NUL", "[S]\r\na=%eins%\r\n\0\r\n[T]\r\nkept=%after the NUL%\r\n"s},
      {"UTF-16 little-endian", Utf16("[S]\r\na=%eins%\r\n", false)},
      {"UTF-16 big-endian", Utf16("[S]\r\na=%eins%\r\n", true)},
      {"random bytes", random},
  };
  for (const auto& [what, bytes] : destinations) {
    SCOPED_TRACE(what);
    TempDir dir;
    WriteFile(dir / "en", kSource);
    WriteFile(dir / "dest", bytes);
    Workspace ws(FixedNow);
    ScriptedHost host;
    Commands commands(ws, host);
    host.source = dir / "en";
    host.destination = dir / "dest";
    const std::string refusal = "Cannot create file \"" + platform::FullPathName(dir / "dest") +
                                "\". The file holds a NUL byte";

    EXPECT_EQ(MessageOf<EFCreateError>([&] { commands.Open(); }), refusal);
    // What stands before the NUL was merged all the same.
    if (bytes.starts_with("[S]")) {
      EXPECT_EQ(ws.Table().Translation(3), "eins");
    }
    ws.SetModified(true);
    EXPECT_EQ(MessageOf<EFCreateError>([&] { commands.Save(); }), refusal);
    EXPECT_TRUE(ws.Modified());
    EXPECT_EQ(ReadFile(dir / "dest"), bytes);
    EXPECT_EQ(ReadFile(dir / "en"), kSource);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
  }
}

TEST(HostileSource, RandomBytesGiveWhatTheirTextBeforeTheFirstNulGives) {
  TempDir dir;
  for (unsigned seed : {1u, 2u, 3u}) {
    const std::string bytes = RandomBytes(1 << 20, seed);
    WriteFile(dir / "random.lng", bytes);
    WriteFile(dir / "cut.lng", bytes.substr(0, bytes.find('\0')));
    Workspace random(FixedNow), cut(FixedNow);
    random.LoadSource(dir / "random.lng");
    cut.LoadSource(dir / "cut.lng");
    EXPECT_EQ(Rows(random.Table()), Rows(cut.Table())) << seed;
    EXPECT_EQ(random.Header(), cut.Header()) << seed;
    EXPECT_EQ(ReadFile(dir / "random.lng"), bytes);
  }
}

// Random text without NUL bytes, made of the bytes that give a file its
// shape: whatever table it gives, a save of that table into it must give the
// same table back when read and merged again.
TEST(HostileDestination, RandomTextSavedIntoItselfReadsBackAsTheTable) {
  const std::string_view pieces[] = {"[",    "]",    "=",    "%",    ";",      " ", "\t",
                                     "\r",   "\n",   "\r\n", "a",    "A",      "b", "k",
                                     "\xE1", "\xC1", "\x01", "\xA0", "[S]\r\n"};
  TempDir dir;
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    std::string bytes;
    while (bytes.size() < 20'000) bytes += pieces[random() % std::size(pieces)];
    WriteFile(dir / "source.lng", bytes);
    WriteFile(dir / "dest.lng", bytes);
    Workspace ws(FixedNow);
    ws.LoadSource(dir / "source.lng");
    ws.MergeDestination(dir / "dest.lng");
    ws.Save(dir / "dest.lng");

    // (A merge empties the rows of nameless entries, which nothing saves.)
    Workspace again(FixedNow);
    again.LoadSource(dir / "dest.lng");
    again.MergeDestination(dir / "dest.lng");
    ASSERT_EQ(Rows(again.Table()), Rows(ws.Table())) << "seed " << seed;
    EXPECT_EQ(ReadFile(dir / "source.lng"), bytes);
  }
}

// ---------------------------------------------------------------------------
// Large inputs: the table they give, within the time allowed.

TEST(HostileInput, ALineOf50MegabytesWithoutABreakIsOneSectionName) {
  TempDir dir;
  const std::string name(50 << 20, 'n');
  WriteFile(dir / "one-line.lng", "[" + name + "]");
  WriteFile(dir / "source.lng", kSource);
  Stopwatch watch;
  Workspace ws(FixedNow);

  ws.LoadSource(dir / "one-line.lng");
  ASSERT_EQ(ws.Table().RowCount(), 4u);
  EXPECT_TRUE(ws.Table().SectionName(2) == name);

  // As destination it keeps its section and gains the source's.
  ws.LoadSource(dir / "source.lng");
  ws.MergeDestination(dir / "one-line.lng");
  ws.Save(dir / "one-line.lng");
  const std::string saved = ReadFile(dir / "one-line.lng");
  EXPECT_TRUE(saved == "[" + name + "]\r\n\r\n" + kHeaderBlock + kSource + "\r\n");
  EXPECT_LT(watch.Seconds(), kSecondsAllowed);
}

// A line longer than the pieces a file is read in must stay one line, and a
// long section name must not be compared once for every key it holds.
TEST(HostileInput, TenMegabyteLinesAmongOrdinaryOnesStayWhole) {
  TempDir dir;
  const std::string big(10 << 20, 'v');
  const std::string longValue = "[S]\r\nBefore=%b%\r\nBig=%" + big + "%\r\nAfter=%a%\r\n";
  std::string longName = "[" + big + "]\r\n";
  for (int i = 0; i < 50'000; ++i)
    longName += "k" + std::to_string(i) + "=%" + std::to_string(i) + "%\r\n";
  WriteFile(dir / "value.lng", longValue);
  WriteFile(dir / "name.lng", longName);
  WriteFile(dir / "name-dest.lng", longName);
  Stopwatch watch;
  Workspace ws(FixedNow);

  ws.LoadSource(dir / "value.lng");
  ASSERT_EQ(ws.Table().RowCount(), 7u);
  EXPECT_EQ(Row(ws.Table(), 3), "key | Before | b");
  EXPECT_TRUE(ws.Table().Translation(4) == big);
  EXPECT_EQ(Row(ws.Table(), 5), "key | After | a");
  ws.MergeDestination(dir / "value.lng");
  ws.Table().SetTranslation(3, "B");
  ws.Save(dir / "value.lng");
  EXPECT_TRUE(ReadFile(dir / "value.lng") ==
              "[S]\r\nBefore=%B%\r\nBig=%" + big + "%\r\nAfter=%a%\r\n\r\n" + kHeaderBlock);

  ws.LoadSource(dir / "name.lng");
  ASSERT_EQ(ws.Table().RowCount(), 50'004u);
  EXPECT_EQ(Row(ws.Table(), 50'002), "key | k49999 | 49999");
  ws.MergeDestination(dir / "name-dest.lng");
  ws.Table().SetTranslation(3, "zero");
  ws.Save(dir / "name-dest.lng");
  std::string expected = longName;
  expected.replace(expected.find("k0=%0%"), 6, "k0=%zero%");
  EXPECT_TRUE(ReadFile(dir / "name-dest.lng") == expected + "\r\n" + kHeaderBlock);
  EXPECT_EQ(ReadFile(dir / "name.lng"), longName);
  EXPECT_LT(watch.Seconds(), kSecondsAllowed);
}

TEST(HostileInput, AHundredThousandSectionsOrDuplicateKeysStayLinear) {
  TempDir dir;
  std::string sections, duplicates = "[S]\r\n";
  for (int i = 0; i < 100'000; ++i) {
    sections += "[S" + std::to_string(i) + "]\r\nk=%" + std::to_string(i) + "%\r\n";
    duplicates += "K=%" + std::to_string(i) + "%\r\n";
  }
  WriteFile(dir / "sections.lng", sections);
  WriteFile(dir / "duplicates.lng", duplicates);
  Stopwatch watch;
  Workspace ws(FixedNow);

  ws.LoadSource(dir / "sections.lng");
  ASSERT_EQ(ws.Table().RowCount(), 2 + 3 * 100'000u);
  EXPECT_EQ(Row(ws.Table(), 299'999), "section | section - S99999 | ");
  EXPECT_EQ(Row(ws.Table(), 300'000), "key | k | 99999");
  ws.MergeDestination(dir / "sections.lng");
  ws.Table().SetTranslation(300'000, "last");
  ws.Save(dir / "sections.lng");
  const std::string saved = ReadFile(dir / "sections.lng");
  EXPECT_EQ(Count(saved, "\r\n\r\n[S"), 99'999u);
  EXPECT_TRUE(saved.ends_with("[S99999]\r\nk=%last%\r\n\r\n" + kHeaderBlock));

  // A repeated key is one row, showing the value a lookup finds, the last,
  // and what is typed into it is saved there.
  ws.LoadSource(dir / "duplicates.lng");
  ASSERT_EQ(ws.Table().RowCount(), 2 + 1 + 1 + 1u);
  EXPECT_EQ(Row(ws.Table(), 3), "key | K | 99999");
  ws.MergeDestination(dir / "duplicates.lng");
  ws.Save(dir / "duplicates.lng");
  EXPECT_EQ(ReadFile(dir / "duplicates.lng"), duplicates + "\r\n" + kHeaderBlock);
  ws.Table().SetTranslation(3, "typed");
  ws.Save(dir / "duplicates.lng");
  const std::string typed = ReadFile(dir / "duplicates.lng");
  EXPECT_TRUE(typed.starts_with(duplicates.substr(0, duplicates.size() - 11)));
  EXPECT_NE(typed.find("\r\nK=%99998%\r\nK=%typed%\r\n\r\n"), std::string::npos);
  EXPECT_LT(watch.Seconds(), kSecondsAllowed);
}

// A long value that many rows show, the last of a repeated key or the
// value of the empty name that lines without one show, is held once: a
// copy a row would make a file of a few kilobytes need gigabytes.
TEST(HostileInput, ALongValueShownByManyRowsIsHeldOnce) {
  TempDir dir;
  const std::string longValue(1 << 20, 'v');
  std::string bytes = "[S]\r\n";
  for (int i = 0; i < 500; ++i) bytes += "K=\r\nno name\r\n";
  bytes += "K=" + longValue + "\r\n=" + longValue + "\r\n";
  WriteFile(dir / "long.lng", bytes);
  Workspace ws(FixedNow);
  ws.LoadSource(dir / "long.lng");
  EXPECT_EQ(ws.Table().RowCount(), 2 + 1 + 1 + 500 + 1 + 1u);
  EXPECT_EQ(ws.Table().Translation(3), longValue);
  EXPECT_EQ(ws.Table().Translation(504), longValue);
  EXPECT_LT(ws.Table().Store()->size(), 3u << 20);
}

// Lookups reach only the last section of a name, so the table lists the
// name once, at its first place, with that section's keys; listing every
// copy multiplied the rows (n copies of k keys gave n*k rows).
TEST(HostileInput, ASectionNameRepeatedThousandsOfTimesIsListedOnce) {
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 2'000; ++i)
    bytes += (i % 2 ? "[s]\r\n" : "[S]\r\n") + "old=%"s + std::to_string(i) + "%\r\n";
  const std::string earlier = bytes;
  bytes += "[S]\r\n";
  for (int i = 0; i < 1'000; ++i)
    bytes += "k" + std::to_string(i) + "=%" + std::to_string(i) + "%\r\n";
  WriteFile(dir / "source.lng", bytes);
  Workspace ws(FixedNow);

  ws.LoadSource(dir / "source.lng");
  ASSERT_EQ(ws.Table().RowCount(), 2 + 1 + 1'000u + 1);
  EXPECT_EQ(Row(ws.Table(), 2), "section | section - S | ");
  EXPECT_EQ(Row(ws.Table(), 3), "key | k0 | 0");
  EXPECT_EQ(Row(ws.Table(), 1'002), "key | k999 | 999");

  // Merge and save reach the same section: its text is merged in, the typed
  // one saved there, and the earlier copies stay as they were.
  WriteFile(dir / "dest.lng", earlier + "[S]\r\nk0=%nula%\r\n");
  ws.MergeDestination(dir / "dest.lng");
  EXPECT_EQ(Row(ws.Table(), 3), "key | k0 | nula");
  ws.Table().SetTranslation(4, "jedna");
  ws.Save(dir / "dest.lng");
  const std::string saved = ReadFile(dir / "dest.lng");
  EXPECT_EQ(saved.substr(0, 14), "[S]\r\nold=%0%\r\n");
  EXPECT_EQ(Count(saved, "old="), 2'000u);
  EXPECT_EQ(Count(saved, "k0=%nula%\r\nk1=%jedna%\r\nk2=%2%\r\n"), 1u);
  EXPECT_EQ(Count(saved, "k0="), 1u);
}

// ---------------------------------------------------------------------------
// Names that are not regular files, or too long for the system.

TEST(HostileInput, FifosDevicesAndSocketsAreRefusedAtOnceAndLeftAsTheyAre) {
  TempDir dir;
  WriteFile(dir / "en", kSource);
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  const std::string socketName = dir / "socket";
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(socketName.size(), sizeof address.sun_path) << "TMPDIR too long for a socket";
  socketName.copy(address.sun_path, socketName.size());
  const int listening = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(listening, 0);
  ASSERT_EQ(bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listening, 1), 0);
  Stopwatch watch;

  for (const std::string& name : {dir / "fifo", socketName, "/dev/null"s, "/dev/zero"s}) {
    SCOPED_TRACE(name);
    struct stat before {};
    ASSERT_EQ(stat(name.c_str(), &before), 0);
    const std::string refusal =
        "Cannot open file \"" + platform::FullPathName(name) + "\". Not a regular file";
    Workspace ws(FixedNow);
    ScriptedHost host;
    Commands commands(ws, host);

    EXPECT_EQ(MessageOf<EFOpenError>([&] { ws.LoadSource(name); }), refusal);
    EXPECT_EQ(Rows(ws.Table()), kEmptyTable);

    // As destination (the source has no extension, so the name is taken as
    // it stands): the merge is refused, and so is every later save.
    host.source = dir / "en";
    host.destination = name;
    EXPECT_EQ(MessageOf<EFOpenError>([&] { commands.Open(); }), refusal);
    EXPECT_EQ(MessageOf<EFOpenError>([&] { commands.Save(); }), refusal);

    struct stat after {};
    ASSERT_EQ(stat(name.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
  }
  close(listening);
  EXPECT_EQ(ReadFile(dir / "en"), kSource);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
  EXPECT_LT(watch.Seconds(), kSecondsAllowed);
}

// A chain of folders under `top` that makes a path of exactly `length`
// bytes ending in a file of `bytes`; made and removed through descriptors,
// since such a path may be too long for the system to take whole.
class DeepFile {
 public:
  DeepFile(const std::string& top, std::size_t length, const std::string& bytes) : path_(top) {
    int folder = open(top.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    folders_.push_back(folder);
    // Folder names of up to 200 bytes, leaving a file name of 100 to 255.
    while (length - path_.size() - 1 > 255) {
      std::string name(std::min<std::size_t>(200, length - path_.size() - 102), 'd');
      mkdirat(folder, name.c_str(), 0700);
      folder = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      folders_.push_back(folder);
      names_.push_back(name);
      path_ += "/" + name;
    }
    names_.push_back(std::string(length - path_.size() - 5, 'f') + ".lng");
    path_ += "/" + names_.back();
    int file =
        openat(folder, names_.back().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (write(file, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
      path_.clear();
    close(file);
  }
  DeepFile(const DeepFile&) = delete;
  DeepFile& operator=(const DeepFile&) = delete;
  ~DeepFile() {
    for (std::size_t i = names_.size(); i-- > 0;) {
      unlinkat(folders_[i], names_[i].c_str(), i + 1 == names_.size() ? 0 : AT_REMOVEDIR);
      close(folders_[i]);
    }
  }

  const std::string& path() const { return path_; }
  // The file's bytes, read through the descriptor of its folder.
  std::string Bytes() const {
    int file = openat(folders_.back(), names_.back().c_str(), O_RDONLY | O_CLOEXEC);
    std::string bytes(1 << 16, '\0');
    ssize_t got = read(file, bytes.data(), bytes.size());
    close(file);
    return bytes.substr(0, got < 0 ? 0 : static_cast<std::size_t>(got));
  }

 private:
  std::string path_;
  std::vector<int> folders_;
  std::vector<std::string> names_;
};

TEST(HostileInput, NamesAtAndBeyondPathMaxEndInAResultNotACrash) {
  TempDir dir;
  const std::string bytes = "[S]\r\na=%deep%\r\n";

  // The longest name the system takes reads as any other.
  DeepFile longest(dir.path(), PATH_MAX - 1, bytes);
  ASSERT_EQ(longest.path().size(), PATH_MAX - 1u);
  Workspace ws(FixedNow);
  ws.LoadSource(longest.path());
  EXPECT_EQ(Row(ws.Table(), 3), "key | a | deep");

  // Longer ones cannot even be looked up, which is not the same as missing:
  // read as a source or as a destination, they fail with the system's reason.
  for (std::size_t length : {std::size_t{PATH_MAX}, std::size_t{PATH_MAX} + 1}) {
    SCOPED_TRACE(length);
    DeepFile deep(dir.path(), length, bytes);
    ASSERT_EQ(deep.path().size(), length);
    Workspace session(FixedNow);
    EXPECT_EQ(MessageOf<EFOpenError>([&] { session.LoadSource(deep.path()); }),
              "Cannot open file \"" + platform::FullPathName(deep.path()) +
                  "\". File name too long");
    EXPECT_EQ(Rows(session.Table()), kEmptyTable);

    WriteFile(dir / "en.lng", kSource);
    ScriptedHost host;
    Commands commands(session, host);
    host.source = dir / "en.lng";
    host.destination = deep.path();
    EXPECT_EQ(
        MessageOf<EFOpenError>([&] { commands.Open(); }),
        "Cannot open file \"" + platform::FullPathName(deep.path()) + "\". File name too long");
    EXPECT_EQ(deep.Bytes(), bytes);
    EXPECT_EQ(ReadFile(dir / "en.lng"), kSource);
  }
}

}  // namespace
