// The INI document against the disk: what creation reads, what WriteBack
// writes, and that no failure ever changes or loses the file.

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "langfile/TMemIniFile.h"
#include "platform/FileSystem.h"
#include "support/TestSupport.h"

namespace {

using testsupport::As;
using testsupport::ModeOf;
using testsupport::ReadFile;
using testsupport::RunInChild;
using testsupport::TempDir;
using testsupport::WriteFile;

constexpr char kOriginal[] = "; translator's notes\r\n[-main-]\r\ntag=sk\r\n[Form]\r\nBtn=%OK%\r\n";

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

template <typename Error>
std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "(no error)";
}

TEST(IniOnDisk, NothingToReadGivesAnEmptyDocumentThatWriteBackCreates) {
  TempDir dir;
  WriteFile(dir / "zero.lng", "");
  for (const std::string& name : {dir / "missing.lng", std::string(), dir.path(), dir / "zero.lng"}) {
    TMemIniFile document(name);
    TStringList sections;
    document.GetSections(sections);
    EXPECT_TRUE(sections.empty()) << name;
    EXPECT_EQ(document.GetValue("-main-", "tag", "fallback"), "fallback") << name;
  }

  TMemIniFile empty(dir / "missing.lng");
  empty.WriteBack();
  EXPECT_EQ(ReadFile(dir / "missing.lng"), "");

  TMemIniFile created(dir / "new.lng");
  created.SetValue("A", "k", "v");
  created.WriteBack();
  EXPECT_EQ(ReadFile(dir / "new.lng"), "[A]\r\nk=v\r\n\r\n");
}

TEST(IniOnDisk, ReadThenWriteBackNormalisesTheFile) {
  TempDir dir;
  WriteFile(dir / "a.lng", kOriginal);
  TMemIniFile document(dir / "a.lng");
  document.SetValue("-main-", "name", "Sloven\xE8ina");
  document.WriteBack();
  EXPECT_EQ(ReadFile(dir / "a.lng"),
            "[-main-]\r\ntag=sk\r\nname=Sloven\xE8ina\r\n\r\n[Form]\r\nBtn=%OK%\r\n\r\n");
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"a.lng"}) << "no temporary file left";
}

TEST(IniOnDisk, ReplacementKeepsPermissionBitsAndFollowsSymbolicLinks) {
  TempDir dir;
  WriteFile(dir / "real.lng", kOriginal);
  ASSERT_EQ(chmod((dir / "real.lng").c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.lng", (dir / "link.lng").c_str()), 0);

  TMemIniFile document(dir / "link.lng");
  document.SetValue("-main-", "tag", "cs");
  document.WriteBack();

  struct stat link {};
  ASSERT_EQ(lstat((dir / "link.lng").c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode)) << "the link must stay a link";
  EXPECT_EQ(document.GetValue("-main-", "tag", ""), "cs");
  EXPECT_NE(ReadFile(dir / "real.lng").find("tag=cs"), std::string::npos);
  EXPECT_EQ(ModeOf(dir / "real.lng"), 0640u);
}

// A group's shared file, saved by one member: the others must still be able
// to write it. Only root can set up such a file for another user.
TEST(IniOnDisk, ReplacementKeepsTheGroupOfASharedFile) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand the file to other users";
  TempDir dir;
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  WriteFile(dir / "shared.lng", kOriginal);
  ASSERT_EQ(chown((dir / "shared.lng").c_str(), 3000, 1234), 0);
  ASSERT_EQ(chmod((dir / "shared.lng").c_str(), 0664), 0);
  int code = RunInChild([&] {
    gid_t member[] = {1234};
    if (setgroups(1, member) != 0 || setgid(2000) != 0 || setuid(2000) != 0) return 2;
    TMemIniFile document(dir / "shared.lng");
    document.SetValue("-main-", "tag", "cs");
    document.WriteBack();
    return 0;
  });
  ASSERT_EQ(code, 0);
  struct stat info {};
  ASSERT_EQ(stat((dir / "shared.lng").c_str(), &info), 0);
  EXPECT_EQ(info.st_gid, 1234u);
  EXPECT_EQ(info.st_mode & 07777, 0664u);
}

TEST(IniOnDisk, FilesThatCannotBeReadRaiseEFOpenErrorWithTheFullPath) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "fifo.lng").c_str(), 0644), 0);
  EXPECT_EQ(MessageOf<EFOpenError>([&] { TMemIniFile document(dir / "fifo.lng"); }),
            "Cannot open file \"" + dir / "fifo.lng" + "\". Not a regular file");
  EXPECT_EQ(MessageOf<EFOpenError>([] { TMemIniFile document("/dev/zero"); }),
            "Cannot open file \"/dev/zero\". Not a regular file");

  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string socketName = dir / "socket.lng";
  ASSERT_LT(socketName.size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, socketName.c_str());
  int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_NE(MessageOf<EFOpenError>([&] { TMemIniFile document(socketName); }), "(no error)");
  close(listener);

  // A relative name is reported as the full path it stands for.
  WriteFile(dir / "secret.lng", kOriginal);
  ASSERT_EQ(chmod((dir / "secret.lng").c_str(), 0200), 0);
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  int code = RunInChild([&] {
    if (chdir(dir.path().c_str()) != 0) return 2;
    std::string message = MessageOf<EFOpenError>([] { TMemIniFile document("./sub/../secret.lng"); });
    return message == "Cannot open file \"" + dir / "secret.lng" + "\". Permission denied" ? 0 : 1;
  }, As::Unprivileged);
  EXPECT_EQ(code, 0);
}

TEST(IniOnDisk, RefusedWriteBackRaisesEFCreateErrorAndChangesNothing) {
  TempDir dir;
  auto failingWriteBack = [](const std::string& name) {
    return MessageOf<EFCreateError>([&] {
      TMemIniFile document(name);
      document.SetValue("-main-", "tag", "changed");
      document.WriteBack();
    });
  };

  // No write bit at all: read-only for everybody, root included.
  WriteFile(dir / "readonly.lng", kOriginal);
  ASSERT_EQ(chmod((dir / "readonly.lng").c_str(), 0444), 0);
  EXPECT_EQ(failingWriteBack(dir / "readonly.lng"),
            "Cannot create file \"" + dir / "readonly.lng" + "\". Permission denied");
  EXPECT_EQ(ReadFile(dir / "readonly.lng"), kOriginal);

  EXPECT_EQ(failingWriteBack(dir / "no/such/folder.lng"),
            "Cannot create file \"" + dir / "no/such/folder.lng" + "\". No such file or directory");

  ASSERT_EQ(mkdir((dir / "folder.lng").c_str(), 0755), 0);
  EXPECT_EQ(failingWriteBack(dir / "folder.lng"),
            "Cannot create file \"" + dir / "folder.lng" + "\". Is a directory");

  ASSERT_EQ(mkfifo((dir / "fifo.lng").c_str(), 0644), 0);
  EXPECT_EQ(MessageOf<EFCreateError>([&] {
              TMemIniFile document = TMemIniFile::FromText("[A]\n", dir / "fifo.lng");
              document.WriteBack();
            }),
            "Cannot create file \"" + dir / "fifo.lng" + "\". Not a regular file");

  // A file this user may not write, in a folder the user may write: the
  // rename that replaces files must not get round the file's own bits.
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  int code = RunInChild([&] {
    WriteFile(dir / "theirs.lng", kOriginal);
    if (chmod((dir / "theirs.lng").c_str(), 0464) != 0) return 2;  // group may write, owner not
    std::string message = failingWriteBack(dir / "theirs.lng");
    bool refused = message == "Cannot create file \"" + dir / "theirs.lng" + "\". Permission denied";
    return refused && ReadFile(dir / "theirs.lng") == kOriginal ? 0 : 1;
  }, As::Unprivileged);
  EXPECT_EQ(code, 0);

  std::vector<std::string> left = FilesIn(dir.path());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"fifo.lng", "folder.lng", "readonly.lng", "theirs.lng"}));
}

TEST(IniOnDisk, DocumentIsUnchangedByARefusedWriteBack) {
  TempDir dir;
  WriteFile(dir / "a.lng", kOriginal);
  TMemIniFile document(dir / "a.lng");
  document.SetValue("Form", "Btn", "%Cancel%");
  ASSERT_EQ(chmod((dir / "a.lng").c_str(), 0444), 0);
  EXPECT_THROW(document.WriteBack(), EFCreateError);
  ASSERT_EQ(chmod((dir / "a.lng").c_str(), 0644), 0);
  document.WriteBack();
  EXPECT_EQ(ReadFile(dir / "a.lng"), "[-main-]\r\ntag=sk\r\n\r\n[Form]\r\nBtn=%Cancel%\r\n\r\n");
}

// A write that stops halfway, as on a full disk: here the process may write
// no more than 1000 bytes into any file.
TEST(IniOnDisk, WriteThatFailsHalfwayLeavesTheOldFileByteForByte) {
  TempDir dir;
  WriteFile(dir / "a.lng", kOriginal);
  int code = RunInChild([&] {
    rlimit limit{1000, 1000};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    TMemIniFile document(dir / "a.lng");
    for (int i = 0; i < 1000; ++i) document.SetValue("Form", "Key" + std::to_string(i), "%text%");
    std::string message = MessageOf<EWriteError>([&] { document.WriteBack(); });
    return message == "Stream write error" ? 0 : 1;
  });
  EXPECT_EQ(code, 0) << "the child must survive the limit and report a write error";
  EXPECT_EQ(ReadFile(dir / "a.lng"), kOriginal);
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"a.lng"}) << "no temporary file left";
}

// Large enough that WriteBack writes block after block, with a text longer
// than a block among them; the file must be Text() byte for byte.
TEST(IniOnDisk, AWriteBackOfManyBlocksIsTheTextByteForByte) {
  TempDir dir;
  WriteFile(dir / "big.lng", kOriginal);
  TMemIniFile document(dir / "big.lng");
  for (int i = 0; i < 60000; ++i) {
    document.SetValue("Form" + std::to_string(i % 3), "Key" + std::to_string(i),
                      "%text " + std::to_string(i) + "%");
  }
  document.SetValue("Form1", "Long", std::string(3 << 20, 'x'));
  const std::string text = document.Text();
  ASSERT_GT(text.size(), std::size_t{4} << 20);
  document.WriteBack();
  EXPECT_TRUE(ReadFile(dir / "big.lng") == text);
}

// A write that fails after the first blocks reached the temporary file.
TEST(IniOnDisk, WriteThatFailsAfterSomeBlocksLeavesTheOldFileByteForByte) {
  TempDir dir;
  WriteFile(dir / "a.lng", kOriginal);
  int code = RunInChild([&] {
    rlimit limit{(5 << 20) / 2, (5 << 20) / 2};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
    TMemIniFile document(dir / "a.lng");
    for (int i = 0; i < 100000; ++i) {
      document.SetValue("Form", "Key" + std::to_string(i), "%a text of some forty bytes%");
    }
    std::string message = MessageOf<EWriteError>([&] { document.WriteBack(); });
    return message == "Stream write error" ? 0 : 1;
  });
  EXPECT_EQ(code, 0) << "the child must survive the limit and report a write error";
  EXPECT_EQ(ReadFile(dir / "a.lng"), kOriginal);
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"a.lng"}) << "no temporary file left";
}

}  // namespace

namespace {

// Large files are read and parsed piece by piece. Whatever falls on the
// border of two pieces (a CR LF pair, a line, the NUL that ends the text)
// must read exactly as the same bytes read at once.
TEST(IniOnDisk, AFileReadInPiecesReadsAsItsBytesReadAtOnce) {
  std::mt19937 random(7);
  const char* const kBreaks[] = {"\r\n", "\n", "\r", "\n\r"};
  auto lines = [&](std::size_t bytes) {
    std::string text;
    while (text.size() < bytes) {
      if (random() % 50 == 0) text += "[Sect" + std::to_string(random() % 30) + "]";
      else text += " key" + std::to_string(random() % 5000) + " = " + std::string(random() % 90, 'v');
      text += kBreaks[random() % 4];
    }
    return text;
  };
  std::vector<std::string> files;
  for (int i = 0; i < 6; ++i) files.push_back((i % 2 ? "\xEF\xBB\xBF" : "") + lines(700'000));
  // Every line-break pair split between two pieces, whatever their size.
  std::string split = "[S]\r\n";
  while (split.size() < 3'000'000) split += "k=" + std::to_string(split.size()) + "\r\n";
  files.push_back(split);
  // Lines that end in CR alone are cut between pieces at a CR too.
  std::string crOnly = "[S]\r";
  while (crOnly.size() < 1'000'000) crOnly += "k" + std::to_string(crOnly.size()) + "=v\r";
  files.push_back(crOnly);
  std::string nul = lines(900'000);
  nul[600'000] = '\0';
  files.push_back(nul);

  TempDir dir;
  for (std::size_t i = 0; i < files.size(); ++i) {
    WriteFile(dir / "f.lng", files[i]);
    TMemIniFile read(dir / "f.lng");
    EXPECT_EQ(read.Text(), TMemIniFile::FromText(files[i]).Text()) << "file " << i;
  }
}

}  // namespace
