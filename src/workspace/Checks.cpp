#include "workspace/Checks.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "workspace/Spelling.h"

namespace workspace {
namespace {

// An unnumbered printf conversion takes the next argument, so its order
// matters; a positional one ("%1$s") and a numbered one ("%1", "{0}") name
// their argument and may move.
enum class PlaceholderKind : std::uint8_t { Printf, Positional, Numbered };

struct Placeholder {
  std::string_view text;
  PlaceholderKind kind = PlaceholderKind::Printf;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "%n" is left out on purpose: no message prints through it, and a percent
// sign before a word starting with "n" is likelier prose. So are the wide
// "%S" and "%C", which would take "%Source" for a conversion.
bool IsConversion(char c) {
  switch (c) {
    case 'd': case 'i': case 'u': case 'o': case 'x': case 'X': case 'e': case 'E':
    case 'f': case 'F': case 'g': case 'G': case 'a': case 'A': case 'c': case 's':
    case 'p':
      return true;
    default:
      return false;
  }
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at;
}

// The end of the printf conversion whose "%" is at `percent`, or 0 when
// none starts there. The space flag is not taken: "100 % off" and "50 %"
// are prose far more often than "% d" is a conversion.
std::size_t PrintfEnd(std::string_view text, std::size_t percent, bool& positional) {
  const std::size_t size = text.size();
  std::size_t at = percent + 1;
  const std::size_t digitsEnd = SkipDigits(text, at);
  positional = digitsEnd > at && digitsEnd < size && text[digitsEnd] == '$' && text[at] != '0';
  if (positional) at = digitsEnd + 1;
  while (at < size && (text[at] == '-' || text[at] == '+' || text[at] == '#' || text[at] == '0'))
    ++at;
  at = at < size && text[at] == '*' ? at + 1 : SkipDigits(text, at);
  if (at < size && text[at] == '.') {
    ++at;
    at = at < size && text[at] == '*' ? at + 1 : SkipDigits(text, at);
  }
  auto next = [&](std::size_t offset) { return at + offset < size ? text[at + offset] : '\0'; };
  switch (next(0)) {
    case 'h': at += next(1) == 'h' ? 2 : 1; break;
    case 'l': at += next(1) == 'l' ? 2 : 1; break;
    case 'L': case 'j': case 'z': case 't': ++at; break;
    case 'I':
      if ((next(1) == '6' && next(2) == '4') || (next(1) == '3' && next(2) == '2'))
        at += 3;
      else
        ++at;
      break;
    default: break;
  }
  return at < size && IsConversion(text[at]) ? at + 1 : 0;
}

// The end of "%1".."%99" at `percent`, or 0. A third digit or a "$" after
// the number makes it something else.
std::size_t NumberedPercentEnd(std::string_view text, std::size_t percent) {
  const std::size_t first = percent + 1;
  if (first >= text.size() || text[first] < '1' || text[first] > '9') return 0;
  const std::size_t end = SkipDigits(text, first);
  if (end - first > 2 || (end < text.size() && text[end] == '$')) return 0;
  return end;
}

// The end of "{0}".."{99}" at `brace`, or 0.
std::size_t NumberedBraceEnd(std::string_view text, std::size_t brace) {
  const std::size_t end = SkipDigits(text, brace + 1);
  const std::size_t digits = end - brace - 1;
  return digits >= 1 && digits <= 2 && end < text.size() && text[end] == '}' ? end + 1 : 0;
}

// A line-break marker as the text spells it, counted with where it first
// shows, so that findings about two markers come in the source's order.
struct MarkerCount {
  std::size_t count = 0;
  std::size_t first = 0;

  void Add(std::size_t at) {
    if (count++ == 0) first = at;
  }
};

// What one pass over a text finds inside it.
struct Inside {
  std::size_t accelerators = 0;
  MarkerCount newlines;
  MarkerCount bars;
};

Inside Scan(std::string_view text, std::vector<Placeholder>& placeholders) {
  Inside inside;
  const std::size_t size = text.size();
  std::size_t at = 0;
  while (at < size) {
    const char c = text[at];
    std::size_t end = 0;
    if (c == '%') {
      if (at + 1 < size && text[at + 1] == '%') {
        at += 2;
        continue;
      }
      bool positional = false;
      if ((end = PrintfEnd(text, at, positional)) != 0)
        placeholders.push_back(
            {text.substr(at, end - at),
             positional ? PlaceholderKind::Positional : PlaceholderKind::Printf});
      else if ((end = NumberedPercentEnd(text, at)) != 0)
        placeholders.push_back({text.substr(at, end - at), PlaceholderKind::Numbered});
    } else if (c == '{') {
      if ((end = NumberedBraceEnd(text, at)) != 0)
        placeholders.push_back({text.substr(at, end - at), PlaceholderKind::Numbered});
    } else if (c == '&') {
      // "&&" is an ampersand shown as such.
      if (at + 1 < size && text[at + 1] == '&') {
        at += 2;
        continue;
      }
      ++inside.accelerators;
    } else if (c == '\\' && at + 1 < size && text[at + 1] == 'n') {
      inside.newlines.Add(at);
      end = at + 2;
    } else if (c == '|') {
      inside.bars.Add(at);
    }
    at = end != 0 ? end : at + 1;
  }
  return inside;
}

// Kept from call to call: the checks run per keystroke and over millions of
// rows, and the buffers' capacity is what would otherwise be allocated each
// time.
struct Scratch {
  std::vector<Placeholder> source;
  std::vector<Placeholder> translation;
  // Per source placeholder, the next one of the same text, or kNone.
  std::vector<std::uint32_t> next;
  std::vector<std::uint8_t> sourceMatched;
  std::vector<std::uint8_t> translationMatched;
  // An open-addressing table from a placeholder's text to the first source
  // placeholder of that text not yet matched.
  struct Slot {
    std::uint32_t key = 0;
    std::uint32_t head = 0;
    bool used = false;
  };
  std::vector<Slot> slots;
};

constexpr std::uint32_t kNone = UINT32_MAX;

Scratch& TheScratch() {
  thread_local Scratch scratch;
  return scratch;
}

std::size_t SlotOf(const Scratch& scratch, std::string_view text) {
  const std::size_t mask = scratch.slots.size() - 1;
  std::size_t slot = std::hash<std::string_view>{}(text) & mask;
  while (scratch.slots[slot].used && scratch.source[scratch.slots[slot].key].text != text)
    slot = (slot + 1) & mask;
  return slot;
}

bool SameTexts(const std::vector<Placeholder>& a, const std::vector<Placeholder>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].text != b[i].text) return false;
  return true;
}

// Pairs every translation placeholder with the earliest unpaired source one
// of the same text, in time linear in their number.
void Match(Scratch& s) {
  s.sourceMatched.assign(s.source.size(), 0);
  s.translationMatched.assign(s.translation.size(), 0);
  std::size_t slotCount = 8;
  while (slotCount < 2 * s.source.size()) slotCount *= 2;
  s.slots.assign(slotCount, {});
  s.next.assign(s.source.size(), kNone);
  // Backwards, so that each text's chain runs in text order.
  for (std::size_t i = s.source.size(); i-- > 0;) {
    Scratch::Slot& slot = s.slots[SlotOf(s, s.source[i].text)];
    s.next[i] = slot.used ? slot.head : kNone;
    slot = {static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i), true};
  }
  for (std::size_t j = 0; j < s.translation.size(); ++j) {
    Scratch::Slot& slot = s.slots[SlotOf(s, s.translation[j].text)];
    if (!slot.used || slot.head == kNone) continue;
    s.sourceMatched[slot.head] = 1;
    s.translationMatched[j] = 1;
    slot.head = s.next[slot.head];
  }
}

bool AllPrintfMatched(const std::vector<Placeholder>& placeholders,
                      const std::vector<std::uint8_t>& matched) {
  for (std::size_t i = 0; i < placeholders.size(); ++i)
    if (placeholders[i].kind == PlaceholderKind::Printf && !matched[i]) return false;
  return true;
}

// Whether the unnumbered conversions come in the same order; called only
// when both texts hold the same ones.
bool SamePrintfOrder(const std::vector<Placeholder>& a, const std::vector<Placeholder>& b) {
  std::size_t j = 0;
  for (const Placeholder& p : a) {
    if (p.kind != PlaceholderKind::Printf) continue;
    while (b[j].kind != PlaceholderKind::Printf) ++j;
    if (b[j++].text != p.text) return false;
  }
  return true;
}

void Add(std::vector<Finding>& findings, CheckKind kind, std::string message) {
  findings.push_back({kind, std::move(message)});
}

// Lacking ones in the source's order, then extra ones in the translation's,
// then the order of what both hold.
void CheckPlaceholders(Scratch& s, std::vector<Finding>& findings) {
  if (SameTexts(s.source, s.translation)) return;
  Match(s);
  for (std::size_t i = 0; i < s.source.size(); ++i)
    if (!s.sourceMatched[i])
      Add(findings, CheckKind::Placeholders,
          "translation lacks " + std::string(s.source[i].text));
  for (std::size_t j = 0; j < s.translation.size(); ++j)
    if (!s.translationMatched[j])
      Add(findings, CheckKind::Placeholders,
          "translation has an extra " + std::string(s.translation[j].text));
  if (!AllPrintfMatched(s.source, s.sourceMatched) ||
      !AllPrintfMatched(s.translation, s.translationMatched) ||
      SamePrintfOrder(s.source, s.translation))
    return;
  std::string message = "placeholders in another order:";
  for (const Placeholder& p : s.translation)
    if (p.kind == PlaceholderKind::Printf) (message += ' ') += p.text;
  Add(findings, CheckKind::Placeholders, std::move(message));
}

// How a thing the two texts should hold as often is named in a finding:
// "the accelerator &", "2 accelerators &", "an accelerator &".
struct Counted {
  std::string_view one;
  std::string_view many;
  std::string_view article;
};

std::string CountMessage(std::size_t translation, std::size_t source, const Counted& name) {
  auto amount = [&](std::size_t count) {
    return std::to_string(count) + " " + std::string(count == 1 ? name.one : name.many);
  };
  if (translation == 0)
    return "translation lacks the " + (source == 1 ? std::string(name.one) : amount(source));
  if (source == 0)
    return "translation has " +
           (translation == 1 ? std::string(name.article) + " " + std::string(name.one)
                             : amount(translation)) +
           " the source lacks";
  return "translation has " + amount(translation) + ", source " + std::to_string(source);
}

void CheckCount(std::size_t translation, std::size_t source, CheckKind kind, const Counted& name,
                std::vector<Finding>& findings) {
  if (translation != source) Add(findings, kind, CountMessage(translation, source, name));
}

// What a text ends with, the spaces aside. "..." and its one-character form
// (0x85 in every windows-125x code page) are one ending: translators put
// either for the other.
enum class Ending : std::uint8_t { None, Period, Colon, Ellipsis, Exclamation, Question };

struct Edges {
  std::size_t leading = 0;
  std::size_t trailing = 0;
  Ending ending = Ending::None;
  std::string_view endingText;  // as the text spells it
};

// The space some languages put before ":", "!" and "?" needs nothing here:
// the ending is the last byte that is not a space, wherever the spaces are.
Edges EdgesOf(std::string_view text) {
  Edges edges;
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    // A text of spaces alone counts them once, as leading.
    edges.leading = text.size();
    return edges;
  }
  const std::size_t last = text.find_last_not_of(' ');
  edges.leading = first;
  edges.trailing = text.size() - 1 - last;
  std::size_t length = 1;
  switch (text[last]) {
    case '.':
      if (last >= first + 2 && text[last - 1] == '.' && text[last - 2] == '.') {
        edges.ending = Ending::Ellipsis;
        length = 3;
      } else {
        edges.ending = Ending::Period;
      }
      break;
    case '\x85': edges.ending = Ending::Ellipsis; break;
    case ':': edges.ending = Ending::Colon; break;
    case '!': edges.ending = Ending::Exclamation; break;
    case '?': edges.ending = Ending::Question; break;
    default: return edges;
  }
  edges.endingText = text.substr(last + 1 - length, length);
  return edges;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// In the texts' order: the leading spaces, the ending, the trailing spaces.
void CheckEdges(std::string_view source, std::string_view translation,
                std::vector<Finding>& findings) {
  const Edges s = EdgesOf(source);
  const Edges t = EdgesOf(translation);
  CheckCount(t.leading, s.leading, CheckKind::Edges,
             {"leading space", "leading spaces", "a"}, findings);
  if (s.ending != t.ending) {
    if (t.ending == Ending::None)
      Add(findings, CheckKind::Edges, "translation lacks the ending " + Quoted(s.endingText));
    else if (s.ending == Ending::None)
      Add(findings, CheckKind::Edges, "translation adds the ending " + Quoted(t.endingText));
    else
      Add(findings, CheckKind::Edges,
          "translation ends with " + Quoted(t.endingText) + ", source with " +
              Quoted(s.endingText));
  }
  CheckCount(t.trailing, s.trailing, CheckKind::Edges,
             {"trailing space", "trailing spaces", "a"}, findings);
}

// A source without a marker imposes none: a translation may break a line
// that did not fit in its language.
void CheckLineBreaks(const Inside& source, const Inside& translation,
                     std::vector<Finding>& findings) {
  static constexpr Counted kNewline{"\\n", "\\n", "a"};
  static constexpr Counted kBar{"|", "|", "a"};
  auto check = [&](const MarkerCount& s, const MarkerCount& t, const Counted& name) {
    if (s.count != 0) CheckCount(t.count, s.count, CheckKind::LineBreaks, name, findings);
  };
  if (source.bars.count != 0 && (source.newlines.count == 0 ||
                                 source.bars.first < source.newlines.first)) {
    check(source.bars, translation.bars, kBar);
    check(source.newlines, translation.newlines, kNewline);
  } else {
    check(source.newlines, translation.newlines, kNewline);
    check(source.bars, translation.bars, kBar);
  }
}

}  // namespace

std::string_view CheckKindName(CheckKind kind) {
  switch (kind) {
    case CheckKind::Placeholders: return "placeholders";
    case CheckKind::Accelerator: return "accelerator";
    case CheckKind::Edges: return "edges";
    case CheckKind::LineBreaks: return "line-breaks";
    case CheckKind::Spelling: return "spelling";
  }
  return {};
}

// An empty translation of a text is checked like any other: it is what the
// program would show, and it has lost everything the source holds.
void CheckTranslation(std::string_view source, std::string_view translation,
                      std::vector<Finding>& findings, const Speller* speller) {
  if (source.empty() || source == translation) return;
  Scratch& scratch = TheScratch();
  scratch.source.clear();
  scratch.translation.clear();
  const Inside inSource = Scan(source, scratch.source);
  const Inside inTranslation = Scan(translation, scratch.translation);
  CheckPlaceholders(scratch, findings);
  CheckCount(inTranslation.accelerators, inSource.accelerators, CheckKind::Accelerator,
             {"accelerator &", "accelerators &", "an"}, findings);
  CheckEdges(source, translation, findings);
  CheckLineBreaks(inSource, inTranslation, findings);
  if (speller != nullptr) speller->Check(source, translation, findings);
}

}  // namespace workspace
