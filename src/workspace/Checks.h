#pragma once

// What can be wrong with a translation that the eye misses and the program
// that loads it does not forgive: a lost "%d" crashes or garbles it, a lost
// "&", colon or space looks wrong in every dialog. The window and the
// command line both ask here, so they never disagree.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace workspace {

class Speller;

enum class CheckKind : std::uint8_t { Placeholders, Accelerator, Edges, LineBreaks, Spelling };

// "placeholders", "accelerator", "edges", "line-breaks", "spelling": the
// names the command line prints between brackets.
std::string_view CheckKindName(CheckKind kind);

struct Finding {
  CheckKind kind = CheckKind::Placeholders;
  std::string message;  // short, lower case, no full stop: "translation lacks %d"

  bool operator==(const Finding&) const = default;
};

// The length of the placeholder that starts at `at` in `text` ("%d",
// "%-5.2f", "%1$s", "%0:s", "%1", "{0}", "{1:N2}"), or of "%%", a percent
// sign shown as such, which whoever reads words skips alike; 0 when none
// starts there. The checks and the speller read placeholders through it, so
// what one takes for a placeholder the other does too.
std::size_t PlaceholderLength(std::string_view text, std::size_t at);

// Appends to `findings` what is wrong with `translation` as a translation of
// `source`, both as stored (bytes in the file's code page, unwrapped). An
// untranslated row (the two equal) and an empty source give nothing. With a
// `speller`, the words of the translation are checked too. O(length of the
// two texts).
void CheckTranslation(std::string_view source, std::string_view translation,
                      std::vector<Finding>& findings, const Speller* speller = nullptr);

}  // namespace workspace
