#pragma once

// File names as the user and the sibling programs think of them.

#include <string>
#include <string_view>

namespace platform {

// True when the two file names differ at most in letter case, as the
// user's locale folds letters (the Unicode folding when the locale is not a
// UTF-8 one). Names are file-system bytes, UTF-8 as a rule; bytes that are
// not UTF-8 must match exactly.
bool SameFileNameIgnoringCase(std::string_view first, std::string_view second);

// `name` with its folder (the current one for a bare name) replaced by the
// absolute path of the folder it really is, symbolic links and ".."
// followed; the last name stays exactly as written, letter case and all,
// even when it is a link. Under Wine a folder is reached both through
// dosdevices/ and through drive_c/, and the sibling programs take the two
// names for one file: resolved, they differ at most in letter case. `name`
// as it is when its folder cannot be resolved (missing, a loop of links,
// not a folder).
std::string WithResolvedFolder(const std::string& name);

// The part of `fileName` from its last dot on, when that dot belongs to the
// last name of the path; otherwise empty.
std::string_view ExtensionOf(std::string_view fileName);

}  // namespace platform
