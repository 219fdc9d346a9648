#pragma once

// The folders the sibling programs know by their Windows names. Those
// programs run under Wine, so their folders lie inside the Wine prefix, and
// that is where their shared files are to be found. Also the program's own
// folder for state that outlives a session.

#include <string>

namespace platform {

// The sibling programs' folder for data shared by all users: "drive_c/
// ProgramData/" in WinePrefixFolder(). Ends in exactly one '/'. Empty text
// when that folder does not exist.
std::string CommonAppDataFolder();

// The Wine prefix the sibling programs run in: $WINEPREFIX when set and not
// empty (a relative one taken as it is), else ".wine" in the user's home
// folder ($HOME when set and not empty, else the home folder the user
// database gives). Empty text when there is no home folder either. Not
// checked for existence.
std::string WinePrefixFolder();

// This program's folder for state kept between sessions (the recovery
// journals): "orvane-translator/" in $XDG_STATE_HOME when that is set to an
// absolute path (a relative one is ignored, as the XDG rules say), else in
// ".local/state" in the user's home folder, found as WinePrefixFolder finds
// it. Ends in exactly one '/'. Empty text when there is no home folder
// either. Neither checked for existence nor created.
std::string UserStateFolder();

// The Linux path of a Windows path such as C:\Program Files\Orvane as Wine
// finds it in `winePrefix`: the drive through the prefix's "dosdevices/c:"
// link, every backslash a "/", and each name matched without regard to
// letter case where the exact one does not exist, since Windows programs
// write their folders' names in any case. Any other path (a Linux one) is
// returned as it is. Both are file-system names (UTF-8), not code-page text.
std::string UnixPathOf(const std::string& windowsPath, const std::string& winePrefix);

// `path` as the sibling programs' user knows it: inside `winePrefix`'s
// drive_c, or reached through a drive link in its dosdevices, the Windows
// path ("C:\\Program Files\\...", backslashes, the drive letter upper case);
// any other path as it is. Pure text: `path` and `winePrefix` are taken as
// written (absolute, links not followed) and nothing is looked up. Both are
// file-system names, and so is the result.
std::string DisplayPathOf(const std::string& path, const std::string& winePrefix);
// The same in the sibling programs' own prefix (WinePrefixFolder, made
// absolute): how the window names a file to the translator.
std::string DisplayPath(const std::string& path);

// True when `path` starts with a drive letter and a colon, as "C:\\x" does.
bool IsWindowsPath(const std::string& path);

}  // namespace platform
