#pragma once

// The Open and Save commands, which carry the translator from a source file
// to a saved destination. They reach the window (dialogs, messages, what it
// shows) only through CommandHost, so that they run the same under a test's
// script as under a user's hand.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

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
  // Shows the full path of the destination; empty while there is none.
  virtual void ShowDestinationFileName(const std::string& fileName) = 0;
  // The user's documents folder, ending in '/': where the save dialog starts
  // when neither the program's folder nor the source's takes files.
  virtual std::string DocumentsFolder() const = 0;
};

class Commands {
 public:
  Commands(Workspace& workspace, CommandHost& host) : workspace_(workspace), host_(host) {}

  // Asks for a source file of the selected kind, loads it and goes on to
  // Save, which asks for the destination.
  void Open();
  // Writes the table into the destination, asking for one first when none
  // has been chosen since the last Open.
  void Save();

  // Where the open dialog starts for `kind`: the sibling program's
  // "Languages" folder as its settings file names it, else the program's
  // own folder. Raises the document's EFOpenError when a settings file
  // exists but cannot be read.
  std::string OpenDialogFolder(const FileKind* kind) const;

 private:
  void ChooseDestination();

  Workspace& workspace_;
  CommandHost& host_;
};

}  // namespace workspace
