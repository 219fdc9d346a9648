// Reads arbitrary bytes as a document and checks what must hold for any
// file a translator may hand us: writing the document back and reading that
// gives the same document, a second write-back gives the same bytes, and
// every lookup finds what a plain search would. Any breach stops the process,
// so libFuzzer keeps the input, and the replay runner fails.
//
// What the first read drops (lines ahead of the first section, comments,
// blank lines, everything after a NUL byte, blanks around names and values)
// is meant to go, so the check starts from the document's own write-back,
// never from the input.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "langfile/TMemIniFile.h"
#include "platform/CodePage.h"

namespace {

// Keys fold as in windows-1250, whose accented letters have both cases.
constexpr platform::CodePage kCodePage = 1250;

// The document as a reader walking it in order sees it.
struct Walk {
  std::vector<std::string> names;
  std::vector<std::vector<std::string_view>> entries;
};

Walk WalkOf(const TMemIniFile& document) {
  Walk walk;
  TStringList names;
  document.GetSections(names);
  for (std::size_t i = 0; i < names.size(); ++i) {
    walk.names.push_back(names[i]);
    std::span<const std::string_view> entries = document.EntriesAt(i);
    walk.entries.emplace_back(entries.begin(), entries.end());
  }
  return walk;
}

[[noreturn]] void Fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "read check failed: %s", what);
  if (!detail.empty()) {
    std::fprintf(stderr, " [%.*s]", static_cast<int>(detail.size()), detail.data());
  }
  std::fprintf(stderr, "\n");
  std::abort();
}

void Expect(bool holds, const char* what, std::string_view detail = {}) {
  if (!holds) Fail(what, detail);
}

void ExpectSameWalk(const Walk& first, const Walk& second) {
  Expect(first.names.size() == second.names.size(), "re-read has another number of sections");
  for (std::size_t i = 0; i < first.names.size(); ++i) {
    Expect(first.names[i] == second.names[i], "re-read renames a section", first.names[i]);
    Expect(first.entries[i].size() == second.entries[i].size(),
           "re-read has another number of entries in section", first.names[i]);
    for (std::size_t j = 0; j < first.entries[i].size(); ++j) {
      Expect(first.entries[i][j] == second.entries[i][j], "re-read changes an entry",
             first.entries[i][j]);
    }
  }
}

// Whether a lookup gave that very section. Empty sections may all share
// one address, and show the same to any reader.
using EntryList = std::span<const std::string_view>;
bool SameSection(EntryList found, EntryList wanted) {
  return found.size() == wanted.size() && (wanted.empty() || found.data() == wanted.data());
}

std::optional<std::string_view> NameOf(std::string_view entry) {
  std::size_t equals = entry.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return entry.substr(0, equals);
}

// Lookups against a plain search: of sections or entries whose names fold
// alike, the last one wins. Sections are sought forwards and then backwards,
// so both the guess after the last hit and the index answer.
void ExpectLookupsAgree(const TMemIniFile& document, const Walk& walk) {
  std::unordered_map<std::string, std::size_t> lastSection;
  for (std::size_t i = 0; i < walk.names.size(); ++i) {
    lastSection[platform::UpperCase(walk.names[i], kCodePage)] = i;
  }
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t n = 0; n < walk.names.size(); ++n) {
      std::size_t i = pass == 0 ? n : walk.names.size() - 1 - n;
      const std::string& name = walk.names[i];
      std::size_t last = lastSection.at(platform::UpperCase(name, kCodePage));
      Expect(SameSection(document.Entries(name), document.EntriesAt(last)),
             "section lookup misses the last section of its name", name);
      Expect(SameSection(document.Entries(platform::UpperCase(name, kCodePage)),
                         document.EntriesAt(last)),
             "section lookup depends on letter case", name);
    }
  }

  for (const auto& [folded, i] : lastSection) {
    const std::string& section = walk.names[i];
    const std::vector<std::string_view>& entries = walk.entries[i];
    std::unordered_map<std::string, std::size_t> lastEntry;
    bool repeats = false;
    for (std::size_t j = 0; j < entries.size(); ++j) {
      if (std::optional<std::string_view> name = NameOf(entries[j])) {
        repeats |= !lastEntry.insert_or_assign(platform::UpperCase(*name, kCodePage), j).second;
      }
    }
    Expect(document.NamesRepeat(section) == repeats, "repeated names misreported", section);
    for (std::size_t j = 0; j < entries.size(); ++j) {
      std::optional<std::string_view> name = NameOf(entries[j]);
      if (!name) continue;
      std::string_view winner = entries[lastEntry.at(platform::UpperCase(*name, kCodePage))];
      std::string_view expected = winner.substr(winner.find('=') + 1);
      // The very text, not an equal one: a save sets the entry found.
      std::optional<std::string_view> found = document.FindValue(section, *name);
      Expect(found && found->data() == expected.data() && found->size() == expected.size(),
             "key lookup misses the last entry of its name", entries[j]);
    }
  }
}

// Setting an entry that a lookup finds to the value it has already must
// change no byte. (An entry its name does not find, hidden by a later one,
// would be set in that later one: a change, and meant.)
void ExpectSettingSameChangesNothing(TMemIniFile& document, const Walk& walk,
                                     const std::string& written) {
  for (std::size_t i = 0; i < walk.names.size(); ++i) {
    if (!SameSection(document.Entries(walk.names[i]), document.EntriesAt(i))) continue;
    for (std::string_view entry : walk.entries[i]) {
      std::optional<std::string_view> name = NameOf(entry);
      if (!name) continue;
      std::optional<std::string_view> value = document.FindValue(walk.names[i], *name);
      Expect(value.has_value(), "an entry's name finds nothing", entry);
      if (value->data() != entry.data() + name->size() + 1) continue;
      document.SetValue(walk.names[i], *name, std::string(*value));
    }
  }
  Expect(document.Text() == written, "setting values already there changes the bytes");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::OverrideSystemCodePage(kCodePage);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  TMemIniFile first = TMemIniFile::FromText(input);
  const std::string written = first.Text();
  const Walk firstWalk = WalkOf(first);
  ExpectLookupsAgree(first, firstWalk);

  TMemIniFile second = TMemIniFile::FromText(written);
  const Walk secondWalk = WalkOf(second);
  ExpectSameWalk(firstWalk, secondWalk);
  Expect(second.Text() == written, "second write-back differs from the first");

  ExpectSettingSameChangesNothing(second, secondWalk, written);
  return 0;
}
