#pragma once

// File names as the user and the sibling programs think of them: the same
// name in other letter case is the same name, and the extension is what
// follows the last dot of the last name.

#include <string>
#include <string_view>

namespace platform {

// True when the two file names differ at most in letter case, as the
// user's locale folds letters (the Unicode folding when the locale is not a
// UTF-8 one). Names are file-system bytes, UTF-8 as a rule; bytes that are
// not UTF-8 must match exactly.
bool SameFileNameIgnoringCase(std::string_view first, std::string_view second);

// The part of `fileName` from its last dot on, when that dot belongs to the
// last name of the path; otherwise empty.
std::string_view ExtensionOf(std::string_view fileName);

}  // namespace platform
