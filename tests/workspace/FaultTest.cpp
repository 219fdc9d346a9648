// Faults of the disk and of the files around a session. Each one must end
// the command with its message and lose nothing: every file stays byte for
// byte as it was, no temporary file is left behind, the work stays marked
// unsaved, and once the cause is gone the next save writes the right bytes.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "support/TestSupport.h"
#include "workspace/Commands.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono;
using platform::faults::Step;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
using workspace::RowKind;

platform::LocalDateTime FixedNow() { return local_days{2009y / March / 5} + 12h; }

const std::string kSource =
    "[-main-]\r\ntag=en\r\nname=English\r\n[Form1]\r\nCaption=%Main window%\r\nBtn=%OK%\r\n";
// A new destination made from kSource.
const std::string kSourceSaved =
    "[-main-]\r\ntag=en\r\nname=English\r\nProgramVersion=\r\nTranslationVersion=\r\n"
    "date=2009-03-05\r\n\r\n[Form1]\r\nCaption=%Main window%\r\nBtn=%OK%\r\n\r\n";
const std::string kDestination =
    "[-main-]\r\ntag=sk\r\nname=Slovensky\r\n[Form1]\r\nCaption=%Hlavné okno%\r\n"
    "[Extra]\r\nKept=1\r\n";
// kDestination merged and saved with "Btn" translated, and the same written
// into no file at all.
const std::string kSavedAfresh =
    "[-main-]\r\ntag=sk\r\nname=Slovensky\r\nProgramVersion=\r\nTranslationVersion=\r\n"
    "date=2009-03-05\r\n\r\n[Form1]\r\nCaption=%Hlavné okno%\r\nBtn=%Dobre%\r\n\r\n";
const std::string kSaved = kSavedAfresh + "[Extra]\r\nKept=1\r\n\r\n";

// Every name under `folder` and what it holds: a file's bytes, a link's
// target, the kind of anything else. Nothing is opened but plain files.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder);
    if (entry.is_symlink()) {
      entries[name] = "link to " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_regular_file()) {
      entries[name] = ReadFile(entry.path());
    } else {
      entries[name] = entry.is_directory() ? "folder" : "other";
    }
  }
  return entries;
}

// What the window's default error handler would show for `command`, or
// nothing when the command ends normally.
std::string ErrorOf(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& error) {
    return error.what();
  }
  return {};
}

// Makes one step of every replacement fail with `error` while it lives.
class InjectedFault {
 public:
  InjectedFault(Step step, int error) {
    platform::faults::SetInjector([=](Step at) { return at == step ? error : 0; });
  }
  InjectedFault(const InjectedFault&) = delete;
  InjectedFault& operator=(const InjectedFault&) = delete;
  ~InjectedFault() { platform::faults::SetInjector({}); }
};

// Answers the dialogs, either kind, from one script in turn.
class Host : public workspace::CommandHost {
 public:
  std::string SelectedFileKind() const override { return "[Farnel] - program interface"; }
  std::string ApplicationFolder() const override { return "/opt/orvane-translator/"; }
  std::string CommonAppDataFolder() const override { return commonAppData; }
  std::optional<std::string> ShowOpenDialog(const workspace::FileDialogRequest&) override {
    return Next();
  }
  std::optional<std::string> ShowSaveDialog(const workspace::FileDialogRequest&) override {
    return Next();
  }
  void ShowMessage(std::string_view text, unsigned) override { messages.emplace_back(text); }
  void ShowSourceFileName(const std::string&) override {}
  void ChangeTable(const std::function<void()>& change) override { change(); }
  void ShowDestinationSaved() override {}
  // Unsaved changes are let go whenever asked.
  std::size_t Ask(std::string_view, const std::vector<std::string_view>&, std::size_t) override {
    ++questions;
    return 1;
  }
  int questions = 0;
  void ShowDestinationFileName(const std::string&) override {}
  void ShowMessageLater(std::string, unsigned) override {}
  std::string DocumentsFolder() const override { return "/home/translator/Documents/"; }

  std::string commonAppData;
  std::deque<std::optional<std::string>> answers;
  int dialogs = 0;
  std::vector<std::string> messages;

 private:
  std::optional<std::string> Next() {
    ++dialogs;
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected dialog";
      return std::nullopt;
    }
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

// Which way a save goes: straight into the workspace, or the Save command.
enum class Via { Workspace, Command };

// A source in the folder and a destination in a folder below it.
struct Session {
  Session() {
    fs::create_directory(dir / "sub");
    WriteFile(source, kSource);
    WriteFile(destination, kDestination);
  }

  // Opens the source, merges the destination and saves it.
  void FirstSave(Via via) {
    if (via == Via::Command) {
      host.answers = {source, destination};
      commands.Open();
      return;
    }
    ws.SetSourceFileName(source);
    ws.LoadSource(source);
    ws.MergeDestination(destination);
    ws.SetDestinationFileName(destination);
    ws.Save(destination);
  }
  void SaveAgain(Via via) { via == Via::Command ? commands.Save() : ws.Save(destination); }

  void TranslateButton() {
    for (std::size_t row = 0; row < ws.Table().RowCount(); ++row) {
      if (ws.Table().Kind(row) == RowKind::Key && ws.Table().Key(row) == "Btn")
        ws.Table().SetTranslation(row, "Dobre");
    }
    ws.SetModified(true);
  }

  TempDir dir;
  const std::string source = dir / "en.lng";
  const std::string destination = dir / "sub/sk.lng";
  Host host;
  workspace::Workspace ws{FixedNow};
  workspace::Commands commands{ws, host};
};

TEST(Fault, AFailedStepOfASaveLosesNothingAndTheNextSaveWorks) {
  struct Case {
    Step step;
    int error;
    bool create;  // reported as a file that cannot be created, else as a failed write
    const char* reason;
  };
  const Case cases[] = {
      {Step::CreateTemporary, ENOSPC, true, "No space left on device"},
      {Step::Write, ENOSPC, false, ""},
      {Step::Sync, EIO, false, ""},
      {Step::Close, EIO, false, ""},
      {Step::Rename, EPERM, true, "Operation not permitted"},
  };
  for (const Case& c : cases) {
    auto message = [&](const std::string& name) {
      return c.create ? "Cannot create file \"" + name + "\". " + c.reason
                      : std::string("Stream write error");
    };
    for (Via via : {Via::Workspace, Via::Command}) {
      SCOPED_TRACE(testing::Message() << "step " << static_cast<int>(c.step) << " via "
                                      << static_cast<int>(via));
      Session s;
      s.FirstSave(via);
      s.TranslateButton();
      const auto before = Snapshot(s.dir.path());
      {
        InjectedFault fault(c.step, c.error);
        EXPECT_EQ(ErrorOf([&] { s.SaveAgain(via); }), message(s.destination));
      }
      EXPECT_EQ(Snapshot(s.dir.path()), before);
      EXPECT_TRUE(s.ws.Modified());

      s.SaveAgain(via);
      EXPECT_EQ(ReadFile(s.destination), kSaved);
      EXPECT_FALSE(s.ws.Modified());
    }

    // Open's own save of a new destination: neither the copy of the source
    // nor the save leaves a file, and the next save makes the destination
    // the copy would have made.
    SCOPED_TRACE(testing::Message() << "Open, step " << static_cast<int>(c.step));
    Session s;
    fs::remove(s.destination);
    const auto before = Snapshot(s.dir.path());
    s.host.answers = {s.source, s.destination};
    {
      InjectedFault fault(c.step, c.error);
      EXPECT_EQ(ErrorOf([&] { s.commands.Open(); }), message(s.destination));
    }
    EXPECT_EQ(Snapshot(s.dir.path()), before);
    EXPECT_EQ(s.ws.DestinationFileName(), s.destination);
    s.commands.Save();
    EXPECT_EQ(ReadFile(s.destination), kSourceSaved);
  }
}

TEST(Fault, ADestinationChangedBetweenSavesIsRefusedOrWrittenAnew) {
  struct Case {
    const char* change;
    std::function<void(Session&)> make, undo;
    const char* reason;  // nullptr: the save succeeds at once
    const std::string& saved;
  };
  const Case cases[] = {
      {"made read-only",
       [](Session& s) { ASSERT_EQ(chmod(s.destination.c_str(), 0444), 0); },
       [](Session& s) { ASSERT_EQ(chmod(s.destination.c_str(), 0644), 0); }, "Permission denied",
       kSaved},
      // The table holds the whole translation: it is written into a new file.
      {"deleted", [](Session& s) { fs::remove(s.destination); }, nullptr, nullptr, kSavedAfresh},
      {"replaced by a folder",
       [](Session& s) {
         fs::remove(s.destination);
         fs::create_directory(s.destination);
       },
       [](Session& s) { fs::remove(s.destination); }, "Is a directory", kSavedAfresh},
      {"gone with its folder", [](Session& s) { fs::remove_all(s.dir / "sub"); },
       [](Session& s) { fs::create_directory(s.dir / "sub"); }, "No such file or directory",
       kSavedAfresh},
  };
  for (const Case& c : cases) {
    for (Via via : {Via::Workspace, Via::Command}) {
      SCOPED_TRACE(testing::Message() << c.change << " via " << static_cast<int>(via));
      Session s;
      s.FirstSave(via);
      s.TranslateButton();
      c.make(s);
      if (c.reason != nullptr) {
        const auto before = Snapshot(s.dir.path());
        EXPECT_EQ(ErrorOf([&] { s.SaveAgain(via); }),
                  "Cannot create file \"" + s.destination + "\". " + c.reason);
        EXPECT_EQ(Snapshot(s.dir.path()), before);
        EXPECT_TRUE(s.ws.Modified());
        c.undo(s);
      }
      s.SaveAgain(via);
      EXPECT_EQ(ReadFile(s.destination), c.saved);
      EXPECT_FALSE(s.ws.Modified());
      EXPECT_EQ(ReadFile(s.source), kSource);
    }
  }
}

// The source is read at Open and never again, except to copy it into a new
// destination; a source that is gone or unreadable by then is neither
// written nor made again, and the destination still gets the translation.
TEST(Fault, ASourceGoneAfterOpenIsLeftAloneAndTheSaveStillWorks) {
  const std::pair<const char*, std::function<void(const std::string&)>> cases[] = {
      {"deleted", [](const std::string& source) { fs::remove(source); }},
      {"a FIFO",
       [](const std::string& source) {
         fs::remove(source);
         ASSERT_EQ(mkfifo(source.c_str(), 0600), 0);
       }},
      {"a loop of links",
       [](const std::string& source) {
         fs::remove(source);
         ASSERT_EQ(symlink(source.c_str(), source.c_str()), 0);
       }},
  };
  for (const auto& [change, make] : cases) {
    SCOPED_TRACE(change);
    {
      // Into the destination chosen at Open.
      Session s;
      s.FirstSave(Via::Command);
      s.TranslateButton();
      make(s.source);
      auto expected = Snapshot(s.dir.path());
      expected["sub/sk.lng"] = kSaved;
      EXPECT_EQ(ErrorOf([&] { s.commands.Save(); }), "");
      EXPECT_EQ(Snapshot(s.dir.path()), expected);
    }
    {
      // Into a new destination, chosen only now: it cannot be a copy of the
      // source any more, yet it holds what the source gave, header and all.
      Session s;
      s.host.answers = {s.source, std::nullopt};
      s.commands.Open();
      make(s.source);
      auto expected = Snapshot(s.dir.path());
      expected["sub/new.lng"] = kSourceSaved;
      s.host.answers = {s.dir / "sub/new.lng"};
      EXPECT_EQ(ErrorOf([&] { s.commands.Save(); }), "");
      EXPECT_EQ(Snapshot(s.dir.path()), expected);
      EXPECT_EQ(s.ws.Header().tag, "en");
    }
  }
}

// The sibling program's settings tell where the open dialog starts. A
// settings file that is there but cannot be read ends Open before the
// dialog, with the session as it was.
TEST(Fault, UnreadableSiblingSettingsEndOpenAndChangeNothing) {
  const std::pair<std::function<void(const std::string&)>, const char*> cases[] = {
      {[](const std::string& name) { ASSERT_EQ(mkfifo(name.c_str(), 0600), 0); },
       "Not a regular file"},
      {[](const std::string& name) { ASSERT_EQ(symlink(name.c_str(), name.c_str()), 0); },
       "Too many levels of symbolic links"},
  };
  for (const auto& [make, reason] : cases) {
    SCOPED_TRACE(reason);
    Session s;
    s.FirstSave(Via::Command);
    s.TranslateButton();
    s.host.commonAppData = s.dir / "ProgramData/";
    fs::create_directories(s.dir / "ProgramData/Orvane/Farnel/Data");
    const std::string settings = s.dir / "ProgramData/Orvane/Farnel/Data/settings.orv";
    make(settings);
    const auto before = Snapshot(s.dir.path());
    const int dialogs = s.host.dialogs;
    const auto messages = s.host.messages;

    EXPECT_EQ(ErrorOf([&] { s.commands.Open(); }),
              "Cannot open file \"" + settings + "\". " + reason);
    EXPECT_EQ(s.host.questions, 1);
    EXPECT_EQ(s.host.dialogs, dialogs);
    EXPECT_EQ(s.host.messages, messages);
    EXPECT_EQ(Snapshot(s.dir.path()), before);
    EXPECT_EQ(s.ws.SourceFileName(), s.source);
    EXPECT_EQ(s.ws.DestinationFileName(), s.destination);
    EXPECT_TRUE(s.ws.Modified());

    // The work goes on where it was.
    s.commands.Save();
    EXPECT_EQ(ReadFile(s.destination), kSaved);
  }
}

}  // namespace
