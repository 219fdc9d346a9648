#pragma once

// Spelling of translations against the installed Hunspell dictionaries.
// Optional: without a dictionary for a translation's language nothing is
// checked and nothing is reported.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"
#include "workspace/Checks.h"

namespace workspace {

// A word of a text, in bytes.
struct WordSpan {
  std::size_t offset = 0;
  std::size_t length = 0;
  bool operator==(const WordSpan&) const = default;
};

class Speller {
 public:
  virtual ~Speller() = default;

  // The dictionary for the language tag `tag` (a header's "tag": "sk" finds
  // sk_SK, "cs" cs_CZ, "en" en_US, "sk_SK" itself), for texts in `codePage`,
  // or nullptr when none is installed. Dictionaries are looked for in the
  // folders of $DICPATH, then /usr/share/hunspell.
  static std::unique_ptr<Speller> ForTag(std::string_view tag, platform::CodePage codePage);

  // The words of `text` (bytes in the code page given) that the dictionary
  // does not know, in order. Placeholders ("%d", "%1", "{0}"), the "&" of an
  // accelerator, numbers and words that `source` holds too are never
  // reported.
  virtual std::vector<WordSpan> Misspelled(std::string_view text,
                                           std::string_view source = {}) const = 0;

  // One Spelling finding per word Misspelled reports: "unknown word: slovo".
  void Check(std::string_view source, std::string_view translation,
             std::vector<Finding>& findings) const;
};

}  // namespace workspace
