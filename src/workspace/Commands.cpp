#include "workspace/Commands.h"

#include "langfile/TMemIniFile.h"
#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/FileSystem.h"
#include "platform/MessageStyle.h"
#include "platform/SpecialFolders.h"

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

// Whether `destination` is another name for the source, which is refused:
// the merge would read the source as its own translation and the save
// overwrite it. Under Wine, where the sibling programs run, letter case does
// not tell files apart, also in a folder reached by another path (drive_c
// and dosdevices/c:), so a name differing only in case would give their
// folder two files they cannot tell apart.
bool NamesTheSource(const std::string& destination, const std::string& source) {
  return platform::SameFileNameIgnoringCase(platform::WithResolvedFolder(destination),
                                            platform::WithResolvedFolder(source)) ||
         platform::SameFile(destination, source);
}

}  // namespace

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

void Commands::Open() {
  const FileKind* kind = FindFileKind(host_.SelectedFileKind());
  FileDialogRequest request;
  request.initialFolder = OpenDialogFolder(kind);
  if (kind != nullptr) request.filter = kind->filter;
  if (const auto chosen = host_.ShowOpenDialog(request)) {
    workspace_.SetSourceFileName(platform::FullPathName(*chosen));
    host_.ShowSourceFileName(workspace_.SourceFileName());
  }

  // A cancelled dialog loads the previous source again.
  if (!workspace_.SourceFileName().empty())
    host_.ChangeTable([this] { workspace_.LoadSource(workspace_.SourceFileName()); });
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
}

void Commands::ChooseDestination() {
  // Open has just let the last destination go, or none was chosen yet.
  host_.ShowDestinationFileName({});
  const std::string& source = workspace_.SourceFileName();
  const std::string extension(platform::ExtensionOf(source));

  FileDialogRequest request;
  request.initialFolder = SaveDialogFolder(host_, source);
  request.filter = "Language file (*" + extension + ")";
  request.fileName = platform::Utf8FromCodePage(
      host_.SelectedFileKind() + " " + workspace_.Header().tag, platform::SystemCodePage());
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
  std::unique_ptr<TMemIniFile> merged;
  // Within the change, so that the window shows the header as it is saved.
  host_.ChangeTable([&] { merged = workspace_.StartDestination(destination); });
  workspace_.Save(destination, std::move(merged));
  host_.ShowDestinationSaved();
}

}  // namespace workspace
