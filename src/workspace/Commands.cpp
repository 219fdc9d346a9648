#include "workspace/Commands.h"

#include "langfile/TMemIniFile.h"
#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/MessageStyle.h"
#include "platform/SpecialFolders.h"
#include "workspace/Recovery.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace workspace {

namespace {

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// The "Languages" folder of the installation that a sibling's settings
// name, as a Linux path; empty when the settings do not say.
std::string SiblingLanguagesFolder(const std::string& siblingFolder) {
  if (!platform::DirectoryExists(siblingFolder)) return {};
  std::string location;
  {
    const TMemIniFile settings(siblingFolder + "Data/settings.orv");
    location = settings.GetValue("Inst", "location", "");
  }
  if (location.empty()) return {};
  // A Linux path there is the file system's own bytes, used as they are.
  if (!platform::IsWindowsPath(location)) return WithTrailingSlash(location) + "Languages";
  // The sibling programs run under Wine and write Windows paths in their
  // code page; such a path is found in the prefix, "Languages" included,
  // whatever the letter case of its names on disk.
  location = platform::Utf8FromCodePage(location, platform::SystemCodePage());
  if (location.back() != '\\' && location.back() != '/') location += '\\';
  return platform::UnixPathOf(location + "Languages", platform::WinePrefixFolder());
}

// "%1" in `pattern` replaced by `value`.
std::string Filled(std::string_view pattern, std::string_view value) {
  std::string text(pattern);
  text.replace(text.find("%1"), 2, value);
  return text;
}

// The local date and time of `when`, to the minute.
std::string LocalTimeText(std::chrono::system_clock::time_point when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

// Whether the save dialog may start in `folder`: this user may write there,
// and it is none of the system's folders, which hold programs, not a
// translator's files, even where root may write. Resolved first, so that a
// link or ".." does not hide where it leads.
bool TakesFiles(const std::string& folder) {
  if (folder.empty()) return false;
  const std::string resolved = platform::WithResolvedFolder(WithTrailingSlash(folder));
  if (resolved == "/" || resolved.starts_with("/usr/") || resolved.starts_with("/opt/"))
    return false;
  return platform::IsWritableFolder(resolved);
}

// Where the save dialog starts: the program's own folder when it takes files
// (a copy unpacked among the user's files), else the source's, where the
// sibling translations are, else the user's documents.
std::string SaveDialogFolder(const CommandHost& host, const std::string& source) {
  std::string folder = host.ApplicationFolder();
  if (TakesFiles(folder)) return folder;
  folder = source.substr(0, source.rfind('/') + 1);
  if (!folder.empty() && TakesFiles(folder)) return folder;
  return host.DocumentsFolder();
}

}  // namespace

bool NamesTheSource(const std::string& destination, const std::string& source) {
  return platform::SameFileNameIgnoringCase(platform::WithResolvedFolder(destination),
                                            platform::WithResolvedFolder(source)) ||
         platform::SameFile(destination, source);
}


Commands::Commands(Workspace& workspace, CommandHost& host, std::string journalFolder)
    : workspace_(workspace), host_(host), journalFolder_(std::move(journalFolder)) {
  editListener_ = workspace_.OnEdited([this](const EditEvent& edit) { Journal(edit); });
}

Commands::~Commands() { workspace_.RemoveEditListener(editListener_); }

void Commands::Journal(const EditEvent& edit) {
  changesLetGo_ = false;
  const bool undestined = workspace_.DestinationFileName().empty();
  // Without a journal (none kept, or unoffered leftovers) there is nothing
  // to name the edit for.
  if (!journal_ && !undestined) return;
  const auto record = JournalEditOf(workspace_, edit);
  if (!record) return;
  if (!journal_) {
    undestined_[{record->field, record->section, record->key}] = record->text;
    return;
  }
  if (journal_->Record(*record) || journalFailureShown_) return;
  // Said once; typing goes on without the journal until the next
  // destination, and the journal's file still goes with the next save.
  journalFailureShown_ = true;
  host_.ShowMessageLater(Filled(kJournalFailedMessage, journal_->Failure()),
                         platform::kMessageWarning);
}

void Commands::DropJournal() {
  if (journal_) journal_->Remove();
  journal_.reset();
  undestined_.clear();
  changesLetGo_ = false;
}

void Commands::StartJournal(std::optional<RecoveredEdits> recovered, bool offer) {
  if (journalFolder_.empty()) return;
  // Unoffered, a killed session's edits stay in their file for the next
  // Open of the pair, and this one's go unjournaled rather than over them.
  if (recovered && !offer) return;
  journal_.emplace(journalFolder_);
  journalFailureShown_ = false;
  journal_->Start(platform::WithResolvedFolder(workspace_.SourceFileName()),
                  platform::WithResolvedFolder(workspace_.DestinationFileName()));
  if (!recovered) return;
  // Esc restores: restoring can be undone, while a journal thrown away is
  // gone for good.
  if (host_.Ask(Filled(kRestoreQuestion, LocalTimeText(recovered->written)),
                {kRestoreAnswer, kDiscardAnswer}, 0) != 0) {
    journal_->Remove();
    return;
  }
  const std::vector<std::string> missing = Restore(workspace_, recovered->edits);
  std::string report;
  if (!missing.empty()) {
    report = Filled(kMissingKeysMessage, std::to_string(missing.size()));
    // A box taller than the screen would hide its own button.
    constexpr std::size_t kListed = 20;
    for (std::size_t i = 0; i < std::min(missing.size(), kListed); ++i) report += "\n" + missing[i];
    if (missing.size() > kListed)
      report += "\n" + Filled(kMoreKeysLine, std::to_string(missing.size() - kListed));
  }
  if (recovered->unreadable > 0) {
    if (!report.empty()) report += "\n\n";
    report += Filled(kUnreadableChangesMessage, std::to_string(recovered->unreadable));
  }
  if (!report.empty()) host_.ShowMessage(report, platform::kMessageWarning);
}

const FileKind* FindFileKind(std::string_view entry) {
  for (const FileKind& kind : kFileKinds) {
    if (kind.entry == entry) return &kind;
  }
  return nullptr;
}

std::string Commands::OpenDialogFolder(const FileKind* kind) const {
  const std::string base = host_.CommonAppDataFolder();
  // Without a shared data folder the sibling's folder would be taken
  // relative to wherever the program was started.
  if (kind != nullptr && !kind->siblingFolder.empty() && !base.empty()) {
    std::string languages =
        SiblingLanguagesFolder(WithTrailingSlash(base) + std::string(kind->siblingFolder) + '/');
    if (!languages.empty()) return languages;
  }
  return host_.ApplicationFolder();
}

bool Commands::MayDropChanges() {
  // Nothing can be saved without a source: the question would only lead to
  // the message that one is needed.
  if (!workspace_.Modified() || workspace_.SourceFileName().empty()) return true;
  if (changesLetGo_) return true;
  // Named as the window shows it; without a destination, as the save dialog
  // will propose it.
  std::string name = workspace_.DestinationFileName().empty()
                         ? ProposedDestinationName() +
                               std::string(platform::ExtensionOf(workspace_.SourceFileName()))
                         : platform::DisplayPath(workspace_.DestinationFileName());
  switch (host_.Ask(Filled(kSaveChangesQuestion, name), {kSaveAnswer, kDiscardAnswer, kCancelAnswer},
                    2)) {
    case 0:
      Save();
      // A failed save has raised its error; a cancelled one left them.
      return !workspace_.Modified();
    case 1:
      changesLetGo_ = true;
      return true;
    default:
      return false;
  }
}

bool Commands::MayEndSession() { return MayDropChanges(); }

void Commands::SyncJournal() {
  if (journal_) journal_->Sync();
}

bool Commands::Close() {
  if (!MayDropChanges()) return false;
  // A clean exit leaves no journal.
  DropJournal();
  return true;
}

void Commands::Open() {
  if (!MayDropChanges()) return;
  const FileKind* kind = FindFileKind(host_.SelectedFileKind());
  FileDialogRequest request;
  request.initialFolder = OpenDialogFolder(kind);
  if (kind != nullptr) request.filter = kind->filter;
  if (const auto chosen = host_.ShowOpenDialog(request)) {
    workspace_.SetSourceFileName(platform::FullPathName(*chosen));
    host_.ShowSourceFileName(workspace_.SourceFileName());
  }

  DropJournal();
  // A cancelled dialog loads the previous source again.
  if (!workspace_.SourceFileName().empty()) {
    try {
      host_.ChangeTable([this] { workspace_.LoadSource(workspace_.SourceFileName()); });
    } catch (...) {
      // What was unsaved is gone with the table, let go or saved just now.
      workspace_.SetModified(false);
      throw;
    }
  }
  workspace_.SetDestinationFileName({});
  workspace_.SetModified(false);
  host_.ShowMessage(kSelectDestinationMessage, platform::kMessageInformation);
  Save();
}

void Commands::Save() {
  if (workspace_.SourceFileName().empty()) {
    host_.ShowMessage(kSelectSourceMessage, platform::kMessageInformation);
    return;
  }
  if (workspace_.DestinationFileName().empty()) {
    ChooseDestination();
    return;
  }
  workspace_.Save(workspace_.DestinationFileName());
  if (journal_) journal_->Remove();
}

std::string Commands::ProposedDestinationName() const {
  return platform::Utf8FromCodePage(host_.SelectedFileKind() + " " + workspace_.Header().tag,
                                    platform::SystemCodePage());
}

void Commands::ChooseDestination() {
  // Open has just let the last destination go, or none was chosen yet.
  host_.ShowDestinationFileName({});
  const std::string& source = workspace_.SourceFileName();
  const std::string extension(platform::ExtensionOf(source));

  FileDialogRequest request;
  request.initialFolder = SaveDialogFolder(host_, source);
  request.filter = "Language file (*" + extension + ")";
  request.fileName = ProposedDestinationName();
  std::string destination;
  for (;;) {
    const auto chosen = host_.ShowSaveDialog(request);
    if (!chosen) return;
    destination = platform::FullPathName(*chosen);
    if (!platform::SameFileNameIgnoringCase(platform::ExtensionOf(destination), extension))
      destination += extension;
    if (!NamesTheSource(destination, source)) break;
    // The message asks for another file, so the dialog comes back for it,
    // where the user just was.
    host_.ShowMessage(kSameFileMessage, platform::kMessageWarning);
    request.initialFolder = destination.substr(0, destination.rfind('/') + 1);
  }
  host_.ShowDestinationFileName(destination);
  // Read before this session's journal of the pair starts, which begins
  // the file afresh.
  std::optional<RecoveredEdits> recovered;
  if (!journalFolder_.empty())
    // By the folders the names lead to, so that the same files reached by
    // another path find their journal.
    recovered = RecoveryJournal::Find(journalFolder_, platform::WithResolvedFolder(source),
                                      platform::WithResolvedFolder(destination));
  std::unique_ptr<TMemIniFile> merged;
  try {
    // Within the change, so that the window shows the header as it is saved.
    host_.ChangeTable([&] {
      // What was typed goes back on top below; left in the table, the merge
      // would keep it as the text it was translated from, and the row would
      // read as untranslated.
      if (!undestined_.empty()) workspace_.Table().ForgetTypedTranslations();
      merged = workspace_.StartDestination(destination);
    });
    // What was typed before there was a destination would give way to the
    // destination's texts in the merge; it goes back on top and into the
    // save, as the translator typed it.
    if (!undestined_.empty()) {
      std::vector<JournalEdit> typed;
      for (auto& [target, text] : undestined_)
        typed.push_back({std::get<0>(target), std::get<1>(target), std::get<2>(target), text});
      undestined_.clear();
      Restore(workspace_, typed);
    }
    workspace_.Save(destination, std::move(merged));
  } catch (...) {
    // Restored edits are offered on top of a merged table only.
    StartJournal(std::move(recovered), false);
    throw;
  }
  StartJournal(std::move(recovered), true);
  host_.ShowDestinationSaved();
}

}  // namespace workspace
