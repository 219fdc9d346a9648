#pragma once

// What can be wrong with a translation that the eye misses and the program
// that loads it does not forgive: a lost "%d" crashes or garbles it, a lost
// "&", colon or space looks wrong in every dialog. The window and the
// command line both ask here, so they never disagree.

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

// Appends to `findings` what is wrong with `translation` as a translation of
// `source`, both as stored (bytes in the file's code page, unwrapped). An
// untranslated row (the two equal) and an empty source give nothing. With a
// `speller`, the words of the translation are checked too. O(length of the
// two texts).
void CheckTranslation(std::string_view source, std::string_view translation,
                      std::vector<Finding>& findings, const Speller* speller = nullptr);

}  // namespace workspace
