#pragma once

// The Open and Save commands, which carry the translator from a source file
// to a saved destination. They reach the window (dialogs, messages, what it
// shows) only through CommandHost, so that they run the same under a test's
// script as under a user's hand.

#include <cstddef>
#include <functional>
#include <map>
#include <tuple>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workspace/RecoveryJournal.h"
#include "workspace/Workspace.h"

namespace workspace {

// A kind of language file the list offers: which sibling program's folder
// the open dialog starts in and which files it lists.
struct FileKind {
  std::string_view entry;          // the list's text, matched exactly
  std::string_view siblingFolder;  // under the common application-data folder; empty: none
  std::string_view filter;         // the open dialog's filter, "Description (*.ext)"
};

inline constexpr FileKind kFileKinds[] = {
    {"[Farnel] - invoice", "Orvane/Farnel", "Language files of invoices (*.ilng)"},
    {"[Farnel] - program interface", "Orvane/Farnel",
     "Language files of program Farnel (*.lng)"},
    {"[Quillom] - program interface", "", "Language files of program Quillom (*.lng)"},
    {"[Tobrin] - invoice", "Orvane/Tobrin", "Language files of invoices (*.ilng)"},
};

// The kind whose entry is `entry`, or nothing.
const FileKind* FindFileKind(std::string_view entry);

inline constexpr std::string_view kSelectDestinationMessage = "Please select your destination file.";
inline constexpr std::string_view kSelectSourceMessage = "You need to select source file.";
inline constexpr std::string_view kSameFileMessage =
    "Source file and destination file cannot be same. Please select other one.";

// The question before unsaved changes would be thrown away, and its answers.
inline constexpr std::string_view kSaveChangesQuestion = "Save changes to %1?";
inline constexpr std::string_view kSaveAnswer = "Save";
inline constexpr std::string_view kDiscardAnswer = "Discard";
inline constexpr std::string_view kCancelAnswer = "Cancel";

// The offer of the edits a killed session left, and what it may report.
inline constexpr std::string_view kRestoreQuestion =
    "Unsaved changes from %1 were found. Restore them?";
inline constexpr std::string_view kRestoreAnswer = "Restore";
inline constexpr std::string_view kMissingKeysMessage =
    "%1 of the restored changes could not be applied: the file no longer has their keys:";
inline constexpr std::string_view kMoreKeysLine = "... and %1 more";
inline constexpr std::string_view kUnreadableChangesMessage =
    "%1 of the unsaved changes could not be read back.";
inline constexpr std::string_view kJournalFailedMessage =
    "Unsaved changes cannot be kept for recovery after a crash: %1";

// Whether `destination` is another name for the source, which the window
// and the command line refuse: the merge would read the source as its own
// translation and the save overwrite it. Under Wine, where the sibling programs run, letter case does
// not tell files apart, also in a folder reached by another path (drive_c
// and dosdevices/c:), so a name differing only in case would give their
// folder two files they cannot tell apart.
bool NamesTheSource(const std::string& destination, const std::string& source);

// What a file dialog is asked to show. Names are file-system names.
struct FileDialogRequest {
  std::string initialFolder;
  std::string filter;    // "Description (*.ext)"
  std::string fileName;  // proposed to the user; empty for none
};

class CommandHost {
 public:
  virtual ~CommandHost() = default;

  virtual std::string SelectedFileKind() const = 0;
  // The program's own folder and the common application-data folder, each
  // ending in '/'; the latter empty when there is none.
  virtual std::string ApplicationFolder() const = 0;
  virtual std::string CommonAppDataFolder() const = 0;

  // The file the user chose, as a full path, or nothing when cancelled.
  // Neither dialog checks that the file exists or asks before an existing
  // file is chosen.
  virtual std::optional<std::string> ShowOpenDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ShowSaveDialog(const FileDialogRequest& request) = 0;

  // A modal message with one OK button; `style` is one of the platform's
  // kMessage* styles.
  virtual void ShowMessage(std::string_view text, unsigned style) = 0;

  // Shows the full path of the chosen source file.
  virtual void ShowSourceFileName(const std::string& fileName) = 0;
  // Runs `change`, which replaces the table's rows (a load, a merge), so
  // that whatever shows the table lets go of its rows first and shows the
  // new ones after, also when `change` fails.
  virtual void ChangeTable(const std::function<void()>& change) = 0;
  // The first save into a chosen destination is done.
  virtual void ShowDestinationSaved() = 0;
  // A modal question captioned with the program title; `answers` are the
  // buttons' texts, the first the default one, and Esc presses `escape`.
  // Returns the index of the answer given.
  virtual std::size_t Ask(std::string_view question, const std::vector<std::string_view>& answers,
                          std::size_t escape) = 0;
  // ShowMessage once the event being handled is done: for what goes wrong in
  // the middle of an edit, where a modal box would take the focus from the
  // editor that is storing its text.
  virtual void ShowMessageLater(std::string text, unsigned style) = 0;
  // Shows the full path of the destination; empty while there is none.
  virtual void ShowDestinationFileName(const std::string& fileName) = 0;
  // The user's documents folder, ending in '/': where the save dialog starts
  // when neither the program's folder nor the source's takes files.
  virtual std::string DocumentsFolder() const = 0;
};

class Commands {
 public:
  // Every edit made once a destination is chosen goes into a recovery
  // journal in `journalFolder`; none is kept when it is empty.
  Commands(Workspace& workspace, CommandHost& host, std::string journalFolder = {});
  ~Commands();

  // Asks for a source file of the selected kind, loads it and goes on to
  // Save, which asks for the destination.
  void Open();
  // Writes the table into the destination, asking for one first when none
  // has been chosen since the last Open.
  void Save();
  // Whether the window may close. With unsaved changes the user is asked
  // first whether to save them, throw them away or stay. A clean close
  // leaves no journal.
  bool Close();
  // The same question for a logout that asks first, which may still be
  // called off: the journal stays until the window closes.
  bool MayEndSession();
  // Brings the journal's last records to the disk; for a pause in typing.
  void SyncJournal();

  // Where the open dialog starts for `kind`: the sibling program's
  // "Languages" folder as its settings file names it, else the program's
  // own folder. Raises the document's EFOpenError when a settings file
  // exists but cannot be read.
  std::string OpenDialogFolder(const FileKind* kind) const;

 private:
  void ChooseDestination();
  // Asks, when there are unsaved changes, before they would be thrown away:
  // true when they are saved or the user lets them go.
  bool MayDropChanges();
  // The name the save dialog proposes for a new destination.
  std::string ProposedDestinationName() const;
  // The workspace's table and header are about to be replaced or dropped.
  void DropJournal();
  // Journals the edits of the destination just chosen, after offering what
  // a killed session left for it.
  void StartJournal(std::optional<RecoveredEdits> recovered, bool offer);
  void Journal(const EditEvent& edit);

  Workspace& workspace_;
  CommandHost& host_;
  std::string journalFolder_;
  std::optional<RecoveryJournal> journal_;  // while a destination's edits are journaled
  bool journalFailureShown_ = false;
  // The latest value of each target edited while there is no destination,
  // to be put back after the merge with the destination that Save chooses.
  std::map<std::tuple<EditField, std::string, std::string>, std::string> undestined_;
  // The user let the unsaved changes go and has not changed anything since:
  // a logout that asked first must not ask again when it closes the window.
  bool changesLetGo_ = false;
  std::size_t editListener_ = 0;
};

}  // namespace workspace
