#include "workspace/Spelling.h"

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#include <hunspell.hxx>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Iconv.h"

namespace workspace {

namespace {

constexpr platform::CodePage kWesternCodePage = 1252;
constexpr const char* kSystemDictionaries = "/usr/share/hunspell";

// Words are few even in a large table, but a file full of generated noise
// must not grow the cache without end.
constexpr std::size_t kLargestCache = 1 << 20;

bool IsSupported(platform::CodePage codePage) {
  return codePage == 874 || (codePage >= 1250 && codePage <= 1258);
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// What a byte of the code page is to the word splitter. A mark (a combining
// accent of 1258, a Hebrew point of 1255) continues a word but starts none.
enum class ByteClass : std::uint8_t { Other, Letter, Mark, Digit, Apostrophe };
using ByteClasses = std::array<ByteClass, 256>;

ByteClasses AsciiByteClasses() {
  ByteClasses classes{};
  for (int byte = 0; byte < 128; ++byte) {
    const char c = static_cast<char>(byte);
    classes[byte] = IsAsciiLetter(c)  ? ByteClass::Letter
                    : IsAsciiDigit(c) ? ByteClass::Digit
                    : c == '\''       ? ByteClass::Apostrophe
                                      : ByteClass::Other;
  }
  return classes;
}

// Letters are what Unicode calls letters, asked of the C library's own
// Unicode locale so that the user's locale has no say. Bytes the code page
// leaves undefined stay Other.
ByteClasses ByteClassesOf(platform::CodePage codePage) {
  ByteClasses classes = AsciiByteClasses();
  platform::Iconv decoder("WCHAR_T", "CP" + std::to_string(codePage));
  const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  if (!decoder.IsOpen() || unicode == locale_t{}) {
    if (unicode != locale_t{}) freelocale(unicode);
    return classes;
  }
  const wctype_t combining = wctype_l("combining", unicode);
  for (int byte = 0x80; byte < 256; ++byte) {
    const auto decoded = decoder.Convert(std::string(1, static_cast<char>(byte)));
    if (!decoded || decoded->size() != sizeof(wchar_t)) continue;
    wchar_t character;
    decoded->copy(reinterpret_cast<char*>(&character), sizeof character);
    const auto wide = static_cast<wint_t>(character);
    if (iswalpha_l(wide, unicode))
      classes[byte] = ByteClass::Letter;
    else if (combining != 0 && iswctype_l(wide, combining, unicode))
      classes[byte] = ByteClass::Mark;
    else if (character == L'\u2019')  // the typographic apostrophe of "don’t"
      classes[byte] = ByteClass::Apostrophe;
  }
  freelocale(unicode);
  return classes;
}

struct Word {
  WordSpan span;
  bool hasDigit = false;
  bool accelerated = false;  // holds the accelerator's "&"
  std::string stripped;      // then the word without it, as it is looked up

  // The word as looked up: the text's own bytes unless an "&" had to go.
  std::string_view Spelling(std::string_view text) const {
    return accelerated ? std::string_view(stripped) : text.substr(span.offset, span.length);
  }
};

// Splits texts of one code page into words.
class WordSplitter {
 public:
  explicit WordSplitter(platform::CodePage codePage) : classes_(ByteClassesOf(codePage)) {}

  // Into `words`, whose texts keep their room from call to call: a table's
  // worth of rows is split without asking the heap each time.
  void Words(std::string_view text, std::vector<Word>& words) const {
    std::size_t count = 0;
    std::size_t at = 0;
    while (at < text.size()) {
      std::size_t skip = PlaceholderLength(text, at);
      // "\n" is the files' line-break marker, whose "n" belongs to no word;
      // the same goes for the other escapes of that kind ("\t").
      if (text[at] == '\\' && at + 1 < text.size() && IsAsciiLetter(text[at + 1])) skip = 2;
      if (skip > 0) {
        at += skip;
      } else if (StartsWord(text, at)) {
        if (count == words.size()) words.emplace_back();
        Word& word = words[count++];
        WordAt(text, at, word);
        at += word.span.length;
      } else {
        ++at;
      }
    }
    words.resize(count);
  }

 private:
  ByteClass ClassAt(std::string_view text, std::size_t at) const {
    return at < text.size() ? classes_[static_cast<unsigned char>(text[at])] : ByteClass::Other;
  }
  bool IsLetterOrDigit(std::string_view text, std::size_t at) const {
    const ByteClass c = ClassAt(text, at);
    return c == ByteClass::Letter || c == ByteClass::Digit;
  }
  // "&Súbor": the accelerator marks the letter after it.
  bool IsAccelerator(std::string_view text, std::size_t at) const {
    return text[at] == '&' && IsLetterOrDigit(text, at + 1);
  }
  bool StartsWord(std::string_view text, std::size_t at) const {
    return IsLetterOrDigit(text, at) || IsAccelerator(text, at);
  }

  void WordAt(std::string_view text, std::size_t start, Word& word) const {
    word.hasDigit = false;
    bool& accelerated = word.accelerated;
    accelerated = false;
    std::size_t at = start;
    while (at < text.size()) {
      const ByteClass c = ClassAt(text, at);
      if (c == ByteClass::Digit) {
        word.hasDigit = true;
      } else if (c == ByteClass::Apostrophe) {
        if (at == start || ClassAt(text, at - 1) != ByteClass::Letter ||
            ClassAt(text, at + 1) != ByteClass::Letter)
          break;
      } else if (c != ByteClass::Letter && c != ByteClass::Mark) {
        if (!IsAccelerator(text, at)) break;
        accelerated = true;
      }
      ++at;
    }
    word.span = {start, at - start};
    if (!accelerated) return;
    const std::string_view written = text.substr(start, at - start);
    word.stripped.clear();
    for (std::size_t i = 0; i < written.size(); ++i)
      if (!IsAccelerator(written, i)) word.stripped += written[i];
  }

  ByteClasses classes_;
};

// The dictionary's answers so far. A table of a hundred thousand rows says
// the same few thousand words over and over, and asking Hunspell each time,
// or even a map of nodes, cost more than all the other checks together: an
// open table of hashes, with the words' bytes side by side in one string.
class WordCache {
 public:
  // The answer for `word`, or nothing when it was never asked.
  std::optional<bool> Find(std::string_view word) const {
    if (slots_.empty()) return std::nullopt;
    const std::uint64_t hash = Hash(word);
    for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
      const Slot& slot = slots_[i];
      if (slot.length == 0) return std::nullopt;
      if (slot.hash == hash && slot.length == word.size() &&
          std::memcmp(bytes_.data() + slot.offset, word.data(), word.size()) == 0)
        return slot.known;
    }
  }

  void Add(std::string_view word, bool known) {
    // Bounded, so that a stream of odd words cannot take all memory.
    if (used_ >= kLargestCache || bytes_.size() + word.size() > UINT32_MAX) {
      slots_.clear();
      bytes_.clear();
      used_ = 0;
    }
    if (2 * (used_ + 1) > slots_.size()) Grow();
    const std::uint64_t hash = Hash(word);
    std::size_t i = hash & (slots_.size() - 1);
    while (slots_[i].length != 0) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = {hash, static_cast<std::uint32_t>(bytes_.size()),
                 static_cast<std::uint32_t>(word.size()), known};
    bytes_.append(word);
    ++used_;
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;  // 0: free, as no word is empty
    bool known = false;
  };

  // FNV-1a, mixed at the end so that the low bits, which pick the slot,
  // depend on every byte.
  static std::uint64_t Hash(std::string_view word) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : word) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return hash ^ (hash >> 29);
  }

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(1024, 2 * old.size()), Slot{});
    for (const Slot& slot : old) {
      if (slot.length == 0) continue;
      std::size_t i = slot.hash & (slots_.size() - 1);
      while (slots_[i].length != 0) i = (i + 1) & (slots_.size() - 1);
      slots_[i] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::string bytes_;
  std::size_t used_ = 0;
};

// libhunspell keeps tables that every dictionary shares (its case tables,
// filled by the first one made and counted by each): dictionaries made or
// dropped on two threads at once could leave one with half a table and take
// typos for words. Making and dropping them one at a time costs nothing
// beside the time a dictionary takes to load.
std::mutex& DictionaryMutex() {
  static std::mutex mutex;
  return mutex;
}
struct DictionaryDeleter {
  void operator()(Hunspell* dictionary) const {
    const std::lock_guard lock(DictionaryMutex());
    delete dictionary;
  }
};
using Dictionary = std::unique_ptr<Hunspell, DictionaryDeleter>;

class HunspellSpeller final : public Speller {
 public:
  HunspellSpeller(Dictionary dictionary, std::unique_ptr<platform::Iconv> toDictionary,
                  platform::CodePage codePage)
      : dictionary_(std::move(dictionary)),
        toDictionary_(std::move(toDictionary)),
        splitter_(codePage) {}

  std::vector<WordSpan> Misspelled(std::string_view text, std::string_view source) const override {
    std::vector<WordSpan> misspelled;
    splitter_.Words(text, words_);
    // Most words are known, and a known word needs no look at the source:
    // its words are only gathered for the first unknown one.
    bool sourceSplit = false;
    for (const Word& word : words_) {
      if (word.hasDigit || Knows(word.Spelling(text))) continue;
      if (!sourceSplit) {
        sourceSplit = true;
        splitter_.Words(source, sourceWords_);
        sourceSpellings_.clear();
        for (const Word& known : sourceWords_) sourceSpellings_.push_back(known.Spelling(source));
        std::sort(sourceSpellings_.begin(), sourceSpellings_.end());
      }
      if (!std::binary_search(sourceSpellings_.begin(), sourceSpellings_.end(),
                              word.Spelling(text)))
        misspelled.push_back(word.span);
    }
    return misspelled;
  }

 private:
  bool Knows(std::string_view word) const {
    if (const auto found = known_.Find(word)) return *found;
    // A word the dictionary's encoding cannot spell is no evidence of a
    // misspelling, only of a dictionary for another script.
    const auto converted = toDictionary_->Convert(word);
    const bool known = !converted || dictionary_->spell(*converted);
    known_.Add(word, known);
    return known;
  }

  Dictionary dictionary_;
  std::unique_ptr<platform::Iconv> toDictionary_;
  WordSplitter splitter_;
  mutable WordCache known_;
  // Reused by every call; the class serves one thread.
  mutable std::vector<Word> words_, sourceWords_;
  mutable std::vector<std::string_view> sourceSpellings_;
};

// A header's tag as a language and an optional region: "sk", "SK-sk",
// "pt_BR", "es-419". Nothing for anything else, so that no character a
// translator typed ever takes part in a path other than these.
struct Language {
  std::string language;  // "sk"
  std::string region;    // "SK", or empty
};

std::optional<Language> ParseTag(std::string_view tag) {
  const auto first = tag.find_first_not_of(" \t");
  if (first == tag.npos) return std::nullopt;
  tag = tag.substr(first, tag.find_last_not_of(" \t") + 1 - first);

  Language parsed;
  std::size_t at = 0;
  while (at < tag.size() && IsAsciiLetter(tag[at])) parsed.language += AsciiLower(tag[at++]);
  if (parsed.language.size() < 2 || parsed.language.size() > 3) return std::nullopt;
  if (at == tag.size()) return parsed;
  if (tag[at] != '_' && tag[at] != '-') return std::nullopt;
  const std::string_view region = tag.substr(at + 1);
  const bool letters = region.size() == 2 && std::all_of(region.begin(), region.end(), IsAsciiLetter);
  const bool digits = region.size() == 3 && std::all_of(region.begin(), region.end(), IsAsciiDigit);
  if (!letters && !digits) return std::nullopt;
  for (const char c : region) parsed.region += AsciiUpper(c);
  return parsed;
}

std::vector<std::string> DictionaryFolders() {
  std::vector<std::string> folders;
  if (const char* path = std::getenv("DICPATH")) {
    std::string_view rest = path;
    while (!rest.empty()) {
      const auto colon = rest.find(':');
      if (colon != 0) folders.emplace_back(rest.substr(0, colon));
      rest = colon == rest.npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  folders.emplace_back(kSystemDictionaries);
  return folders;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

// Whether `path` is a regular file this process may read. Opened without
// blocking, as a FIFO named like a dictionary would otherwise hang us.
// Whether a word list starts with its count of words, as every one that
// loads does: Hunspell takes any other file without a word, and would then
// report every word of every text.
bool HasWordCount(const std::string& path) {
  std::ifstream words(path, std::ios::binary);
  std::string first;
  if (!std::getline(words, first)) return false;
  if (first.starts_with("\xEF\xBB\xBF")) first.erase(0, 3);
  std::size_t digits = 0;
  while (digits < first.size() && IsAsciiDigit(first[digits])) ++digits;
  return digits > 0 && first.find_first_not_of('0') < digits;
}

bool IsReadableFile(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return false;
  struct stat info {};
  const bool regular = ::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode);
  ::close(descriptor);
  return regular;
}

// The first "<prefix>*.dic" in `folder`, in byte order, without ".dic".
std::optional<std::string> FirstDictionaryStartingWith(const std::string& folder,
                                                       std::string_view prefix) {
  struct Closer {
    void operator()(DIR* entries) const { ::closedir(entries); }
  };
  const std::unique_ptr<DIR, Closer> entries(::opendir(folder.c_str()));
  if (!entries) return std::nullopt;
  constexpr std::string_view kExtension = ".dic";
  std::optional<std::string> first;
  while (const dirent* entry = ::readdir(entries.get())) {
    const std::string_view name = entry->d_name;
    if (name.size() <= prefix.size() + kExtension.size() || !name.starts_with(prefix) ||
        !name.ends_with(kExtension))
      continue;
    std::string stem(name.substr(0, name.size() - kExtension.size()));
    if (!first || stem < *first) first = std::move(stem);
  }
  return first;
}

// The path without extension of the dictionary the tag asks for: the best
// kind of name first, each kind looked for through all folders in order, so
// that "sk_SK" in $DICPATH stands in for the system's.
std::optional<std::string> FindDictionary(const Language& tag) {
  const std::vector<std::string> folders = DictionaryFolders();
  std::vector<std::string> names;
  if (!tag.region.empty()) names.push_back(tag.language + "_" + tag.region);
  std::string sameRegion = tag.language;  // "sk" in "sk_SK"
  std::transform(sameRegion.begin(), sameRegion.end(), sameRegion.begin(), AsciiUpper);
  names.push_back(tag.language + "_" + sameRegion);
  // Neither "EN" nor the first in byte order (en_AU) is what most expect.
  if (tag.language == "en") names.push_back("en_US");

  for (const std::string& name : names) {
    for (const std::string& folder : folders) {
      if (Exists(folder + "/" + name + ".dic")) return folder + "/" + name;
    }
  }
  for (const std::string& folder : folders) {
    if (auto name = FirstDictionaryStartingWith(folder, tag.language + "_"))
      return folder + "/" + *name;
  }
  for (const std::string& folder : folders) {
    if (Exists(folder + "/" + tag.language + ".dic")) return folder + "/" + tag.language;
  }
  return std::nullopt;
}

// iconv's name for the encoding a dictionary's "SET" line names.
std::string IconvName(std::string_view dictionaryEncoding) {
  if (dictionaryEncoding.starts_with("microsoft-cp"))
    return "CP" + std::string(dictionaryEncoding.substr(12));
  if (dictionaryEncoding == "TIS620-2533") return "TIS-620";
  return std::string(dictionaryEncoding);
}

}  // namespace

std::unique_ptr<Speller> Speller::ForTag(std::string_view tag, platform::CodePage codePage) {
  const auto language = ParseTag(tag);
  if (!language) return nullptr;
  const auto dictionary = FindDictionary(*language);
  if (!dictionary) return nullptr;
  const std::string affixes = *dictionary + ".aff";
  const std::string words = *dictionary + ".dic";
  if (!IsReadableFile(affixes) || !IsReadableFile(words) || !HasWordCount(words)) return nullptr;

  Dictionary hunspell;
  {
    const std::lock_guard lock(DictionaryMutex());
    hunspell.reset(new Hunspell(affixes.c_str(), words.c_str()));
  }
  if (!IsSupported(codePage)) codePage = kWesternCodePage;
  const char* encoding = hunspell->get_dic_encoding();
  auto toDictionary = std::make_unique<platform::Iconv>(IconvName(encoding ? encoding : ""),
                                                  "CP" + std::to_string(codePage));
  if (!toDictionary->IsOpen()) return nullptr;
  return std::make_unique<HunspellSpeller>(std::move(hunspell), std::move(toDictionary), codePage);
}

void Speller::Check(std::string_view source, std::string_view translation,
                    std::vector<Finding>& findings) const {
  for (const WordSpan& word : Misspelled(translation, source)) {
    findings.push_back({CheckKind::Spelling,
                        "unknown word: " + std::string(translation.substr(word.offset, word.length))});
  }
}

}  // namespace workspace
