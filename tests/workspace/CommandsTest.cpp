// The Open and Save commands under a scripted user: which dialogs they ask
// for, which messages they show, and what they leave on disk.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "langfile/FileErrors.h"
#include "support/TestSupport.h"
#include "platform/MessageStyle.h"
#include "workspace/Commands.h"

namespace {

using namespace std::chrono;
using testsupport::ReadFile;
using testsupport::ScopedEnvironment;
using testsupport::TempDir;
using testsupport::WriteFile;
using workspace::Commands;
using workspace::FileDialogRequest;
using workspace::RowKind;
using workspace::Workspace;

constexpr const char* kInterface = "[Farnel] - program interface";
const std::pair<std::string, unsigned> kSelectDestination{
    std::string(workspace::kSelectDestinationMessage), platform::kMessageInformation};
const std::pair<std::string, unsigned> kSelectSource{
    std::string(workspace::kSelectSourceMessage), platform::kMessageInformation};
const std::pair<std::string, unsigned> kSameFile{std::string(workspace::kSameFileMessage),
                                                 platform::kMessageWarning};

platform::LocalDateTime FixedNow() { return local_days{2009y / March / 5} + 12h; }

// Plays the user: answers each dialog from a script and keeps everything
// the commands showed.
class ScriptedHost : public workspace::CommandHost {
 public:
  std::string SelectedFileKind() const override { return kind; }
  std::string ApplicationFolder() const override { return applicationFolder; }
  std::string CommonAppDataFolder() const override { return commonAppData; }

  std::optional<std::string> ShowOpenDialog(const FileDialogRequest& request) override {
    openRequests.push_back(request);
    return Next(openAnswers, "open");
  }
  std::optional<std::string> ShowSaveDialog(const FileDialogRequest& request) override {
    saveRequests.push_back(request);
    return Next(saveAnswers, "save");
  }
  void ShowMessage(std::string_view text, unsigned style) override {
    messages.emplace_back(std::string(text), style);
  }
  void ShowMessageLater(std::string text, unsigned style) override {
    messages.emplace_back(std::move(text), style);
  }
  void ShowSourceFileName(const std::string& fileName) override { shownSource = fileName; }
  void ChangeTable(const std::function<void()>& change) override {
    ++tableChanges;
    change();
  }
  void ShowDestinationSaved() override { ++destinationsSaved; }
  std::size_t Ask(std::string_view question, const std::vector<std::string_view>& answers,
                  std::size_t escape) override {
    questions.emplace_back(question);
    if (questionAnswers.empty()) {
      ADD_FAILURE() << "unexpected question " << question;
      return escape;
    }
    const auto answer = std::find(answers.begin(), answers.end(), questionAnswers.front());
    questionAnswers.pop_front();
    EXPECT_NE(answer, answers.end());
    return static_cast<std::size_t>(answer - answers.begin());
  }
  void ShowDestinationFileName(const std::string& fileName) override {
    shownDestinations.push_back(fileName);
  }
  std::string DocumentsFolder() const override { return documentsFolder; }

  std::string kind = kInterface;
  std::string applicationFolder = "/opt/orvane-translator/";
  std::string commonAppData;
  std::string documentsFolder = "/home/translator/Documents/";
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<std::string_view> questionAnswers;
  std::vector<std::string> questions;

  std::vector<FileDialogRequest> openRequests;
  std::vector<FileDialogRequest> saveRequests;
  std::vector<std::pair<std::string, unsigned>> messages;
  std::string shownSource;
  std::vector<std::string> shownDestinations;
  int tableChanges = 0;
  int destinationsSaved = 0;

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers,
                                         const char* dialog) {
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected " << dialog << " dialog";
      return std::nullopt;
    }
    auto answer = std::move(answers.front());
    answers.pop_front();
    return answer;
  }
};

const std::string kSource =
    "[-main-]\r\ntag=en\r\nname=English\r\n[Form1]\r\nCaption=%Main window%\r\nBtn=%OK%\r\n";
const std::string kSourceSaved =
    "[-main-]\r\ntag=en\r\nname=English\r\nProgramVersion=\r\nTranslationVersion=\r\n"
    "date=2009-03-05\r\n\r\n[Form1]\r\nCaption=%Main window%\r\nBtn=%OK%\r\n\r\n";

class CommandsTest : public ::testing::Test {
 protected:
  CommandsTest() : ws(FixedNow), commands(ws, host) {
    WriteFile(dir / "en.lng", kSource);
    ws.SetModified(true);
  }

  std::vector<std::string> UntranslatedKeys() const {
    std::vector<std::string> keys;
    for (std::size_t row = 0; row < ws.Table().RowCount(); ++row)
      if (ws.Table().Kind(row) == RowKind::Key && ws.IsUntranslated(row))
        keys.emplace_back(ws.Table().Key(row));
    return keys;
  }

  TempDir dir;
  ScriptedHost host;
  Workspace ws;
  Commands commands;
};

TEST_F(CommandsTest, OpeningWithANewDestinationCreatesItAsACopyAndSavesIt) {
  host.openAnswers = {dir / "en.lng"};
  host.saveAnswers = {dir / "sk"};
  commands.Open();

  EXPECT_EQ(host.shownSource, dir / "en.lng");
  ASSERT_EQ(host.saveRequests.size(), 1u);
  EXPECT_EQ(host.saveRequests[0].initialFolder, dir / "");  // the program's is under /opt
  EXPECT_EQ(host.saveRequests[0].filter, "Language file (*.lng)");
  EXPECT_EQ(host.saveRequests[0].fileName, "[Farnel] - program interface en");
  EXPECT_EQ(host.messages, (std::vector{kSelectDestination}));

  // The extension was added, the copy made, merged and saved.
  EXPECT_EQ(ws.DestinationFileName(), dir / "sk.lng");
  EXPECT_EQ(ReadFile(dir / "sk.lng"), kSourceSaved);
  EXPECT_EQ(ReadFile(dir / "en.lng"), kSource);
  EXPECT_EQ(UntranslatedKeys(), (std::vector<std::string>{"Caption", "Btn"}));
  EXPECT_EQ(host.tableChanges, 2);  // the load and the merge
  EXPECT_EQ(host.destinationsSaved, 1);
  EXPECT_EQ(host.shownDestinations, (std::vector<std::string>{"", dir / "sk.lng"}));
  EXPECT_FALSE(ws.Modified());

  // From now on Save writes straight into the destination.
  ws.Table().SetTranslation(3, "Hlavné okno");
  ws.SetModified(true);
  commands.Save();
  EXPECT_EQ(host.saveRequests.size(), 1u);
  EXPECT_NE(ReadFile(dir / "sk.lng").find("Caption=%Hlavné okno%\r\n"), std::string::npos);
  EXPECT_FALSE(ws.Modified());
  EXPECT_EQ(host.destinationsSaved, 1);
}

TEST_F(CommandsTest, AnExistingDestinationIsMergedAndKeepsWhatItHas) {
  const std::string existing =
      "[-main-]\r\ntag=sk\r\nname=Slovensky\r\n[Form1]\r\nCaption=%Hlavné okno%\r\n"
      "[Extra]\r\nKept=1\r\n";
  WriteFile(dir / "sk.lng", existing);
  host.openAnswers = {dir / "en.lng"};
  host.saveAnswers = {dir / "sk.lng"};
  commands.Open();

  EXPECT_EQ(ws.Header().tag, "sk");
  EXPECT_EQ(ws.Table().Translation(3), "Hlavné okno");
  EXPECT_EQ(UntranslatedKeys(), std::vector<std::string>{"Btn"});
  EXPECT_EQ(ReadFile(dir / "sk.lng"),
            "[-main-]\r\ntag=sk\r\nname=Slovensky\r\nProgramVersion=\r\nTranslationVersion=\r\n"
            "date=2009-03-05\r\n\r\n[Form1]\r\nCaption=%Hlavné okno%\r\nBtn=%OK%\r\n\r\n"
            "[Extra]\r\nKept=1\r\n\r\n");
}

TEST_F(CommandsTest, TheChosenNameGetsTheSourcesExtensionUnlessItHasItInAnyCase) {
  const std::pair<std::string, std::string> cases[] = {
      {"sk.txt", "sk.txt.lng"}, {"sk", "sk.lng"}, {"sk.LNG", "sk.LNG"}, {"sk.lng", "sk.lng"}};
  for (const auto& [chosen, expected] : cases) {
    ws.SetSourceFileName(dir / "en.lng");
    ws.SetDestinationFileName({});
    host.saveAnswers = {dir / chosen};
    commands.Save();
    EXPECT_EQ(ws.DestinationFileName(), dir / expected) << chosen;
    EXPECT_TRUE(std::filesystem::exists(dir / expected)) << chosen;
  }

  // A source without an extension asks for any file and adds nothing.
  WriteFile(dir / "english", kSource);
  ws.SetSourceFileName(dir / "english");
  ws.SetDestinationFileName({});
  host.saveAnswers = {dir / "slovak.txt"};
  commands.Save();
  EXPECT_EQ(host.saveRequests.back().filter, "Language file (*)");
  EXPECT_EQ(ws.DestinationFileName(), dir / "slovak.txt");
}

TEST_F(CommandsTest, TheSourceIsRefusedAsDestinationUnderAnyOfItsNames) {
  std::filesystem::create_directories(dir / "sub");
  ASSERT_EQ(symlink((dir / "en.lng").c_str(), (dir / "link.lng").c_str()), 0);
  ASSERT_EQ(link((dir / "en.lng").c_str(), (dir / "hard.lng").c_str()), 0);
  ASSERT_EQ(symlink(dir.path().c_str(), (dir / "sub/linked").c_str()), 0);
  ws.LoadSource(dir / "en.lng");
  ws.SetSourceFileName(dir / "en.lng");
  const std::string sourceBytes = ReadFile(dir / "en.lng");

  for (const std::string& name : {dir / "EN.LNG", dir / "En", dir / "link.lng",
                                  dir / "hard.lng", dir / "sub/../en.lng",
                                  dir / "sub/linked/en.lng", dir / "sub/linked/EN.LNG"}) {
    host.messages.clear();
    host.saveAnswers = {name, std::nullopt};
    commands.Save();
    EXPECT_EQ(host.messages, (std::vector{kSameFile})) << name;
    EXPECT_EQ(ws.DestinationFileName(), "") << name;
    EXPECT_EQ(ws.Reference(), nullptr) << name;
  }
  EXPECT_EQ(ReadFile(dir / "en.lng"), sourceBytes);
  EXPECT_EQ(host.destinationsSaved, 0);

  // Each refusal leaves the destination to be chosen again.
  host.saveAnswers = {dir / "sk.lng"};
  commands.Save();
  EXPECT_EQ(host.saveRequests.size(), 15u);
  EXPECT_EQ(ws.DestinationFileName(), dir / "sk.lng");
}

TEST_F(CommandsTest, AfterRefusingTheSourceTheDialogOpensAgainUntilAnotherFileOrCancel) {
  std::filesystem::create_directories(dir / "sub");
  ASSERT_EQ(symlink(dir.path().c_str(), (dir / "sub/linked").c_str()), 0);
  ws.LoadSource(dir / "en.lng");
  ws.SetSourceFileName(dir / "en.lng");

  host.saveAnswers = {dir / "EN.LNG", std::nullopt};
  commands.Save();
  EXPECT_EQ(host.messages, (std::vector{kSameFile}));
  EXPECT_EQ(host.saveRequests.size(), 2u);
  EXPECT_EQ(ws.DestinationFileName(), "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
  EXPECT_EQ(host.shownDestinations, std::vector<std::string>{""});
  EXPECT_EQ(host.destinationsSaved, 0);

  // Each time again where the user just was, with the same name proposed.
  host.messages.clear();
  host.saveRequests.clear();
  host.saveAnswers = {dir / "sub/linked/en.lng", dir / "en", dir / "sub/sk"};
  commands.Save();
  EXPECT_EQ(host.messages, (std::vector{kSameFile, kSameFile}));
  ASSERT_EQ(host.saveRequests.size(), 3u);
  EXPECT_EQ(host.saveRequests[1].initialFolder, dir / "sub/linked/");
  EXPECT_EQ(host.saveRequests[2].initialFolder, dir / "");
  EXPECT_EQ(host.saveRequests[2].fileName, host.saveRequests[0].fileName);
  EXPECT_EQ(ws.DestinationFileName(), dir / "sub/sk.lng");
  EXPECT_EQ(ReadFile(dir / "sub/sk.lng"), kSourceSaved);
  EXPECT_EQ(ReadFile(dir / "en.lng"), kSource);
  EXPECT_EQ(host.shownDestinations, (std::vector<std::string>{"", "", dir / "sub/sk.lng"}));
  EXPECT_EQ(host.destinationsSaved, 1);
}

TEST_F(CommandsTest, TheSaveDialogStartsInTheFirstOfTheProgramsSourcesAndDocumentsFolders) {
  std::filesystem::create_directories(dir / "app");
  ASSERT_EQ(symlink("/usr/bin", (dir / "linked").c_str()), 0);
  const std::string source = dir / "en.lng";
  const std::string documents = host.documentsFolder;
  // Only folders that are missing, are no folders or lie among the
  // system's are refused, so that root and any other user see the same.
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {dir / "app/", source, dir / "app/"},  // unpacked among the user's files
      {"/usr/bin/", source, dir / ""},       // installed system-wide
      {"/usr/local/bin/", source, dir / ""},
      {"/opt/orvane-translator/", source, dir / ""},
      {"/usr", source, dir / ""},
      {dir / "linked/", source, dir / ""},  // a link into /usr
      {dir / "app/../linked/", source, dir / ""},
      {dir / "en.lng/", source, dir / ""},  // a file, no folder
      {dir / "gone/", source, dir / ""},
      {"", source, dir / ""},
      {"/", source, dir / ""},
      {dir / "gone/", dir / "gone/en.lng", documents},
      {dir / "gone/", dir / "en.lng/en.lng", documents},
      {dir / "gone/", "/en.lng", documents},
      {"/usr/bin/", "/usr/share/orvane/en.lng", documents},
      {"/opt/orvane-translator/", "/opt/farnel/Languages/en.lng", documents},
      {"/opt/orvane-translator/", dir / "linked/en.lng", documents},
  };
  for (const auto& [program, sourceName, expected] : cases) {
    host.applicationFolder = program;
    ws.SetSourceFileName(sourceName);
    ws.SetDestinationFileName({});
    host.saveAnswers = {std::nullopt};
    commands.Save();
    EXPECT_EQ(host.saveRequests.back().initialFolder, expected) << program << ", " << sourceName;
  }
}

TEST_F(CommandsTest, CancellingTheDialogsChangesNothing) {
  // Nothing opened yet: two messages and no save dialog.
  host.openAnswers = {std::nullopt};
  commands.Open();
  EXPECT_EQ(host.messages, (std::vector{kSelectDestination, kSelectSource}));
  EXPECT_EQ(host.tableChanges, 0);
  EXPECT_TRUE(host.saveRequests.empty());
  EXPECT_FALSE(ws.Modified());  // every Open clears the indicator

  // A cancelled destination leaves the source's texts and writes nothing.
  host.openAnswers = {dir / "en.lng"};
  host.saveAnswers = {std::nullopt};
  commands.Open();
  EXPECT_EQ(ws.DestinationFileName(), "");
  EXPECT_EQ(ws.Table().Translation(3), "Main window");
  EXPECT_EQ(std::filesystem::directory_iterator(dir.path())->path(), dir / "en.lng");
  EXPECT_EQ(host.destinationsSaved, 0);

  // A cancelled source reloads the previous one and asks for a destination
  // again, also after one was chosen.
  host.saveAnswers = {dir / "sk.lng"};
  commands.Save();
  ws.Table().SetTranslation(3, "edited");
  host.openAnswers = {std::nullopt};
  host.saveAnswers = {std::nullopt};
  commands.Open();
  EXPECT_EQ(ws.SourceFileName(), dir / "en.lng");
  EXPECT_EQ(ws.Table().Translation(3), "Main window");
  EXPECT_EQ(ws.DestinationFileName(), "");
  EXPECT_EQ(host.saveRequests.size(), 3u);
}

TEST_F(CommandsTest, ADestinationThatIsNoPlainFileIsNeverReplacedByAnything) {
  // A dangling link: the copy lands where it points, and it stays a link.
  ASSERT_EQ(symlink((dir / "target.lng").c_str(), (dir / "link.lng").c_str()), 0);
  host.openAnswers = {dir / "en.lng"};
  host.saveAnswers = {dir / "link.lng"};
  commands.Open();
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.lng"));
  EXPECT_EQ(ReadFile(dir / "target.lng"), kSourceSaved);

  // A FIFO cannot be read as a translation; it is neither waited on nor
  // replaced, the first time or the next.
  ASSERT_EQ(mkfifo((dir / "pipe.lng").c_str(), 0600), 0);
  host.openAnswers = {dir / "en.lng"};
  host.saveAnswers = {dir / "pipe.lng"};
  EXPECT_THROW(commands.Open(), EFOpenError);
  EXPECT_THROW(commands.Save(), EFOpenError);
  EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe.lng"));
  EXPECT_EQ(host.destinationsSaved, 1);
}

TEST_F(CommandsTest, AMissingSourceLoadsEmptyAndItsDestinationGetsOnlyTheHeader) {
  host.openAnswers = {dir / "typed.lng"};
  host.saveAnswers = {dir / "sk.lng"};
  commands.Open();
  EXPECT_EQ(ws.Table().RowCount(), 2u);
  EXPECT_EQ(ws.Header().tag, "");
  EXPECT_EQ(host.saveRequests[0].fileName, "[Farnel] - program interface ");
  EXPECT_EQ(ReadFile(dir / "sk.lng"),
            "[-main-]\r\ntag=\r\nname=\r\nProgramVersion=\r\nTranslationVersion=\r\n"
            "date=2009-03-05\r\n\r\n");
}

TEST_F(CommandsTest, AFailedSaveKeepsTheDestinationAndTheMarkedIndicator) {
  std::filesystem::create_directories(dir / "sk.lng");  // cannot be replaced
  host.openAnswers = {dir / "en.lng"};
  host.saveAnswers = {dir / "sk.lng"};
  EXPECT_THROW(commands.Open(), EFCreateError);
  EXPECT_EQ(ws.DestinationFileName(), dir / "sk.lng");
  EXPECT_EQ(host.destinationsSaved, 0);

  ws.SetModified(true);
  EXPECT_THROW(commands.Save(), EFCreateError);
  EXPECT_TRUE(ws.Modified());
  EXPECT_EQ(host.saveRequests.size(), 1u);
}

// A logout asks before the window closes, and may still be called off by
// another program: the answer holds for the close that follows, not for
// changes made after it.
TEST_F(CommandsTest, ALogoutsAnswerHoldsForItsCloseButNotForLaterChanges) {
  host.openAnswers = {dir / "en.lng"};
  host.saveAnswers = {dir / "sk.lng"};
  commands.Open();
  ws.Edit({workspace::EditField::Tag, 0}, "sk");
  host.questionAnswers = {workspace::kDiscardAnswer};
  EXPECT_TRUE(commands.MayEndSession());
  EXPECT_TRUE(commands.Close());
  EXPECT_EQ(host.questions.size(), 1u);

  ws.Edit({workspace::EditField::Tag, 0}, "cs");
  host.questionAnswers = {workspace::kCancelAnswer};
  EXPECT_FALSE(commands.Close());
  EXPECT_EQ(host.questions.size(), 2u);
}

TEST_F(CommandsTest, TheProposedNameIsSpelledAsTheFileSystemSpellsIt) {
  platform::OverrideSystemCodePage(1250);
  WriteFile(dir / "cs.lng", "[-main-]\r\ntag=\xe8\x65\x9a\r\n");
  host.openAnswers = {dir / "cs.lng"};
  host.saveAnswers = {std::nullopt};
  commands.Open();
  platform::OverrideSystemCodePage(0);
  EXPECT_EQ(host.saveRequests[0].fileName, "[Farnel] - program interface češ");
}

// ---------------------------------------------------------------------------
// Where the open dialog starts.

class OpenDialogFolderTest : public CommandsTest {
 protected:
  OpenDialogFolderTest() : wine("WINEPREFIX", dir / "prefix") {
    std::filesystem::create_directories(dir / "prefix/drive_c/ProgramData/Orvane/Farnel/Data");
    host.commonAppData = dir / "prefix/drive_c/ProgramData/";
  }
  void Settings(const std::string& bytes) {
    WriteFile(dir / "prefix/drive_c/ProgramData/Orvane/Farnel/Data/settings.orv", bytes);
  }
  std::string Folder(std::string kind = kInterface) {
    host.kind = std::move(kind);
    return commands.OpenDialogFolder(workspace::FindFileKind(host.kind));
  }
  ScopedEnvironment wine;
};

TEST_F(OpenDialogFolderTest, IsTheSiblingsLanguagesFolderWhenItsSettingsSayWhere) {
  Settings("[Inst]\r\nlocation=/opt/farnel\r\n");
  EXPECT_EQ(Folder(), "/opt/farnel/Languages");
  EXPECT_EQ(Folder("[Farnel] - invoice"), "/opt/farnel/Languages");
  Settings("[inst]\r\nLOCATION=/opt/farnel/\r\n");
  EXPECT_EQ(Folder(), "/opt/farnel/Languages");

  // A Windows path is a folder in the Wine prefix.
  std::filesystem::create_directories(dir / "prefix/drive_c/Program Files/Orvane/Farnel");
  std::filesystem::create_directories(dir / "prefix/dosdevices");
  ASSERT_EQ(symlink("../drive_c", (dir / "prefix/dosdevices/c:").c_str()), 0);
  Settings("[Inst]\r\nlocation=C:\\PROGRAM FILES\\Orvane\\Farnel\r\n");
  EXPECT_EQ(Folder(), dir / "prefix/dosdevices/c:/Program Files/Orvane/Farnel/Languages");
  std::filesystem::create_directories(dir / "prefix/drive_c/Program Files/Orvane/Farnel/languages");
  Settings("[Inst]\r\nlocation=c:\\program files\\orvane\\farnel\\\r\n");
  EXPECT_EQ(Folder(), dir / "prefix/dosdevices/c:/Program Files/Orvane/Farnel/languages");

  // A Linux path is the file system's bytes; a Windows one is code-page text.
  platform::OverrideSystemCodePage(1250);
  Settings("[Inst]\r\nlocation=/home/Jo\xc5\xbeo/Farnel\r\n");
  EXPECT_EQ(Folder(), "/home/Jo\xc5\xbeo/Farnel/Languages");
  std::filesystem::create_directories(dir / "prefix/drive_c/Jo\xc5\xbeo");
  Settings("[Inst]\r\nlocation=C:\\Jo\x9eo\r\n");
  EXPECT_EQ(Folder(), dir / "prefix/dosdevices/c:/Jo\xc5\xbeo/Languages");
  platform::OverrideSystemCodePage(0);
}

TEST_F(OpenDialogFolderTest, IsTheApplicationFolderWheneverTheSiblingCannotBeFound) {
  EXPECT_EQ(Folder(), host.applicationFolder);  // no settings file
  Settings("[Inst]\r\nplace=/opt/farnel\r\n");
  EXPECT_EQ(Folder(), host.applicationFolder);
  Settings("[Inst]\r\nlocation=\r\n");
  EXPECT_EQ(Folder(), host.applicationFolder);
  Settings("[Inst]\r\nlocation=/opt/farnel\r\n");
  EXPECT_EQ(Folder("[Quillom] - program interface"), host.applicationFolder);
  EXPECT_EQ(Folder("[Tobrin] - invoice"), host.applicationFolder);  // no Tobrin folder
  EXPECT_EQ(Folder("[Nobody] - invoice"), host.applicationFolder);
  host.commonAppData.clear();
  EXPECT_EQ(Folder(), host.applicationFolder);
}

TEST_F(OpenDialogFolderTest, OpensWithTheKindsFilterAndStopsOnUnreadableSettings) {
  Settings("[Inst]\r\nlocation=/opt/farnel\r\n");
  host.kind = "[Tobrin] - invoice";
  host.openAnswers = {std::nullopt};
  commands.Open();
  ASSERT_EQ(host.openRequests.size(), 1u);
  EXPECT_EQ(host.openRequests[0].filter, "Language files of invoices (*.ilng)");
  EXPECT_EQ(host.openRequests[0].initialFolder, host.applicationFolder);

  // A settings file that exists but cannot be read ends Open before any
  // dialog; a FIFO is unreadable even for root.
  const std::string settings = dir / "prefix/drive_c/ProgramData/Orvane/Farnel/Data/settings.orv";
  std::filesystem::remove(settings);
  ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
  host.kind = kInterface;
  host.messages.clear();
  EXPECT_THROW(commands.Open(), EFOpenError);
  EXPECT_EQ(host.openRequests.size(), 1u);
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
