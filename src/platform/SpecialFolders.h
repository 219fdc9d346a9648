#pragma once

// The folders the sibling programs know by their Windows names. Those
// programs run under Wine, so their folders lie inside the Wine prefix, and
// that is where their shared files are to be found.

#include <string>

namespace platform {

// The sibling programs' folder for data shared by all users: "drive_c/
// ProgramData/" in the Wine prefix, which is $WINEPREFIX when set and not
// empty (a relative one taken as it is), else ".wine" in the user's home
// folder ($HOME when set and not empty, else the home folder the user
// database gives). Ends in exactly one '/'. Empty text when that folder does
// not exist.
std::string CommonAppDataFolder();

}  // namespace platform
