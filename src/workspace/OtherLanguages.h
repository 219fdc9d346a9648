#pragma once

// The other translations of the program being translated: every language
// file beside the destination, so that the window can show, for the current
// row, how the other languages put the same section and key (a Czech
// translator sees the Slovak text). The files are read once and only read.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "langfile/TMemIniFile.h"

namespace workspace {

// One other language file of the destination's folder, as it was read.
struct OtherLanguage {
  std::string fileName;  // full path, in the destination's resolved folder
  std::string name;      // the header's language name, bytes as in the file
  std::string tag;       // the header's language tag ("cs")
  // The file's document, kept for lookups. Its lookups move a finger even
  // though they are const, so it belongs to one thread, as every document.
  std::unique_ptr<const TMemIniFile> document;
};

struct UnreadableLanguageFile {
  std::string fileName;  // full path
  std::string reason;    // the system's words for the failure, or why it was left unread
};

// Single-threaded: Text() moves the documents' lookup fingers.
class OtherLanguages {
 public:
  // Reads every file in the folder of `destinationFileName` whose extension
  // is the destination's, letter case aside (".lng" takes "x.LNG" but not
  // "x.ilng"), except the source and the destination themselves: a name that
  // leads to either (SameFile: a link, a hard link, "..") or that differs
  // from either at most in letter case once the folder is resolved, which
  // the sibling programs take for the same file under Wine.
  //
  // Files are only read: nothing is written, created or locked, and nothing
  // is left open. A file that cannot be read (a folder or a FIFO named like
  // one, a dangling link, no permission, more than 64 MiB, no memory for it)
  // is listed in Unreadable() with the reason instead of failing the rest; so is the folder itself when it
  // cannot be listed. Names with another extension are never looked at. A
  // file cut at a NUL byte reads as far as the NUL, as every reader of the
  // program reads it.
  //
  // Both lists are in the byte order of the file names. An empty
  // destination name, or one without an extension, gives nothing. Replaces
  // whatever an earlier Load read; should reading fail as a whole (no
  // memory), what was there stays.
  void Load(const std::string& sourceFileName, const std::string& destinationFileName);
  void Clear();

  const std::vector<OtherLanguage>& Languages() const { return languages_; }
  const std::vector<UnreadableLanguageFile>& Unreadable() const { return unreadable_; }

  // The text that language `index` (below Languages().size()) holds for
  // `key` in `section`, found as every lookup of the program finds it
  // (letter case aside, the last of equal names), and unwrapped as the
  // translation table holds its texts; nothing when the file lacks the
  // section or the key. Two hash lookups, no scan.
  std::optional<std::string> Text(std::size_t index, std::string_view section,
                                  std::string_view key) const;

 private:
  std::vector<OtherLanguage> languages_;
  std::vector<UnreadableLanguageFile> unreadable_;
};

}  // namespace workspace
