#pragma once

// The index behind every list that finds texts or entry names regardless of
// letter case: THashedStringList and the INI document's own lists share it.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <stdexcept>
#include <string_view>

#include "platform/CodePage.h"

namespace langfile {

// What a list is looked up by: each whole text, or the name before a text's
// first "=".
enum class KeyKind { WholeText, Name };

// The key `text` is entered under; false for a text that has none (a text
// without "=" has no name).
inline bool KeyOf(KeyKind kind, std::string_view text, std::string_view& key) {
  if (kind == KeyKind::WholeText) {
    key = text;
    return true;
  }
  std::string_view::size_type equals = text.find('=');
  if (equals == std::string_view::npos) return false;
  key = text.substr(0, equals);
  return true;
}

// Open addressing over the positions of a list. Keys are read from the list
// itself (anything with size() and an operator[] that gives texts), so the
// index holds no copies. A slot is four bytes: the position plus one in its
// low bits, as many as the table's size needs, and above them the same bits
// of the key's hash, which settle almost every mismatch without reading the
// list. A table has at least twice as many slots as its list has texts, so
// positions always fit and probes stay short.
//
// Of several equal keys the index keeps the latest position, which is what
// lets the last duplicate win; it notes that keys repeat.
class NameIndex {
 public:
  static constexpr std::ptrdiff_t kNotFound = -1;

  NameIndex(KeyKind kind, const platform::CaseTable& upperCase,
            std::pmr::memory_resource* memory = std::pmr::get_default_resource())
      : kind_(kind), upperCase_(&upperCase), slots_(memory) {}

  KeyKind kind() const { return kind_; }
  bool built() const { return !slots_.empty(); }
  // Whether two texts entered since the last Build share a key.
  bool HasRepeats() const { return repeats_; }
  // Frees the table; the index is not built until the next Build.
  void Drop();

  // Enters every text of `list`, with room for `expected` texts before the
  // table has to grow.
  template <typename List>
  void Build(const List& list, std::size_t expected = 0);
  // Makes room for `count` texts, building the table anew from `list` when
  // it is too small; says whether it did. A list that reserves before it
  // grows is never left with a text the index failed to take.
  template <typename List>
  bool Reserve(const List& list, std::size_t count);
  // Enters list[position], which the list already holds.
  template <typename List>
  void Enter(const List& list, std::size_t position);
  // The same, for a caller that already knows the text's key.
  template <typename List>
  void Enter(const List& list, std::size_t position, std::string_view key);
  // Where a key that Find sought in vain would go.
  struct Miss {
    std::uint32_t hash;
    std::size_t slot;
  };
  // The latest position entered under `key`, or kNotFound; then `miss`, when
  // given, learns where the key would go.
  template <typename List>
  std::ptrdiff_t Find(const List& list, std::string_view key, Miss* miss = nullptr) const {
    return Find(list, key, Hash(key), miss);
  }
  // The same, for a caller that hashed `key` already.
  template <typename List>
  std::ptrdiff_t Find(const List& list, std::string_view key, std::uint32_t hash,
                      Miss* miss = nullptr) const;
  // Asks memory for the home slot of a key with `hash`, which a later Find
  // would otherwise wait for. The index must be built. (The compiler drops
  // a prefetch that sits behind a test, so the caller makes sure instead.)
  void Prefetch(std::uint32_t hash) const { __builtin_prefetch(&slots_[hash & PositionMask()]); }
  // Enters `position` where `miss` says, without hashing or probing again:
  // the text's key must be the one that was sought, nothing may have been
  // entered since, and room must have been reserved without a new build.
  void EnterMissed(std::size_t position, const Miss& miss) {
    slots_[miss.slot] = (miss.hash & ~PositionMask()) | static_cast<std::uint32_t>(position + 1);
  }

  // Whether `text` is entered under `key`: how a guess is checked without
  // the table.
  bool Holds(std::string_view text, std::string_view key) const {
    std::string_view own;
    return KeyOf(kind_, text, own) && Same(own, key);
  }

  // Keys are equal when their bytes are, once upper-cased in the code page.
  bool Same(std::string_view a, std::string_view b) const;
  std::uint32_t Hash(std::string_view key) const;

 private:
  std::uint32_t PositionMask() const { return static_cast<std::uint32_t>(slots_.size() - 1); }
  template <typename List>
  std::size_t SlotOf(const List& list, std::string_view key, std::uint32_t hash) const;
  template <typename List>
  void Insert(const List& list, std::string_view key, std::size_t position, std::uint32_t hash);

  KeyKind kind_;
  const platform::CaseTable* upperCase_;
  bool repeats_ = false;
  std::pmr::vector<std::uint32_t> slots_;  // 0 marks a free slot
};

template <typename List>
void NameIndex::Build(const List& list, std::size_t expected) {
  // One slot more than twice the texts, so that the next Enter fits too.
  std::size_t capacity = std::bit_ceil(2 * (std::max(expected, list.size()) + 1));
  capacity = std::max<std::size_t>(capacity, 16);
  // Positions and hash bits share 32 bits.
  if (capacity > (std::size_t{1} << 31)) throw std::length_error("list too long to index");
  slots_.assign(capacity, 0);
  repeats_ = false;
  // A table too large for the cache would wait for memory at every text:
  // the home slots of a batch of keys are asked for before any is filled.
  constexpr std::size_t kBatch = 16;
  std::string_view keys[kBatch];
  bool keyed[kBatch];
  std::uint32_t hashes[kBatch];
  for (std::size_t first = 0; first < list.size(); first += kBatch) {
    std::size_t count = std::min(kBatch, list.size() - first);
    for (std::size_t i = 0; i < count; ++i) {
      keyed[i] = KeyOf(kind_, list[first + i], keys[i]);
      if (!keyed[i]) continue;
      hashes[i] = Hash(keys[i]);
      __builtin_prefetch(&slots_[hashes[i] & PositionMask()], 1);
    }
    for (std::size_t i = 0; i < count; ++i) {
      if (keyed[i]) Insert(list, keys[i], first + i, hashes[i]);
    }
  }
}

template <typename List>
void NameIndex::Enter(const List& list, std::size_t position) {
  std::string_view key;
  if (KeyOf(kind_, list[position], key)) Enter(list, position, key);
}

template <typename List>
bool NameIndex::Reserve(const List& list, std::size_t count) {
  if (built() && 2 * count <= slots_.size()) return false;
  Build(list, count);
  return true;
}

template <typename List>
void NameIndex::Enter(const List& list, std::size_t position, std::string_view key) {
  if (Reserve(list, list.size())) return;  // the new table holds `position` already
  Insert(list, key, position, Hash(key));
}

template <typename List>
std::ptrdiff_t NameIndex::Find(const List& list, std::string_view key, std::uint32_t hash,
                               Miss* miss) const {
  const std::size_t slot = SlotOf(list, key, hash);
  if (slots_[slot] == 0) {
    if (miss != nullptr) *miss = {hash, slot};
    return kNotFound;
  }
  return static_cast<std::ptrdiff_t>((slots_[slot] & PositionMask()) - 1);
}

// The slot that holds `key`, or the free slot where it would go.
template <typename List>
std::size_t NameIndex::SlotOf(const List& list, std::string_view key, std::uint32_t hash) const {
  const std::uint32_t mask = PositionMask();
  const std::uint32_t hashBits = hash & ~mask;
  std::size_t slot = hash & mask;
  for (; slots_[slot] != 0; slot = (slot + 1) & mask) {
    if ((slots_[slot] & ~mask) != hashBits) continue;
    std::string_view stored;
    KeyOf(kind_, list[(slots_[slot] & mask) - 1], stored);
    if (Same(stored, key)) break;
  }
  return slot;
}

template <typename List>
void NameIndex::Insert(const List& list, std::string_view key, std::size_t position,
                       std::uint32_t hash) {
  const std::uint32_t mask = PositionMask();
  const auto stored = static_cast<std::uint32_t>(position + 1);
  std::uint32_t& slot = slots_[SlotOf(list, key, hash)];
  if (slot == 0) {
    slot = (hash & ~mask) | stored;
    return;
  }
  repeats_ = true;
  if (stored > (slot & mask)) slot = (slot & ~mask) | stored;
}

}  // namespace langfile
