#pragma once

// Language files that look like the ones translators work on: a "-main-"
// header block, then content sections of about 200 keys whose values are
// one to six words with Central European letters, wrapped in percent signs,
// lines ending in CR LF. The same count always gives the same bytes.

#include <cstddef>
#include <string>

namespace bench {

// A file of `entries` content entries, `perSection` to a section (the header
// block comes on top).
std::string GenerateLanguageFile(std::size_t entries, std::size_t perSection = 200);

// One key name and one value text as the file generator makes them; the
// `index`-th of a series, for filling a document directly.
std::string GeneratedKey(std::size_t index);
std::string GeneratedValue(std::size_t index);

}  // namespace bench
