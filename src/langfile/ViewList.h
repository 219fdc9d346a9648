#pragma once

// The INI document's lists: section names, and each section's entries.

#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <optional>
#include <string_view>
#include <vector>

#include "langfile/NameIndex.h"

namespace langfile {

// Ordered views of texts that live elsewhere (in the document's DocumentMemory),
// found by whole text or by name regardless of letter case, the last of
// several equal ones winning. The index is kept up to date from the first
// text on, so no lookup ever waits for it to be built.
//
// Callers mostly go through a list in order: a load reads key after key, a
// merge looks up key after key, a save sets key after key. So each lookup
// first tries where the last one ended, and only then the index. A guess is
// taken only while no key repeats in the list: then the one text it holds
// under the key is the right answer. Lookups are const but move that
// finger, so a list must not be used from two threads at once.
class ViewList {
 public:
  using const_iterator = std::pmr::vector<std::string_view>::const_iterator;

  // `expected` is how many texts the list will likely hold: room for them is
  // made at once, from `memory`.
  ViewList(KeyKind kind, const platform::CaseTable& upperCase, std::pmr::memory_resource* memory,
           std::size_t expected = 0);

  std::size_t size() const { return texts_.size(); }
  std::string_view operator[](std::size_t position) const { return texts_[position]; }
  const_iterator begin() const { return texts_.begin(); }
  const_iterator end() const { return texts_.end(); }

  void Add(std::string_view text);
  // The same, for a reader that already split `text` at its "=".
  void Add(std::string_view text, std::string_view key);
  // The same, for a text whose key is the one the last Find sought in vain:
  // the index then knows its place already.
  void AddMissing(std::string_view text);
  void Clear();
  // Replaces a text by one with the same key but for letter case.
  void Put(std::size_t position, std::string_view text) { texts_[position] = text; }

  bool HasRepeats() const { return index_.HasRepeats(); }
  // Position of the last text with `key`, or NameIndex::kNotFound.
  std::ptrdiff_t Find(std::string_view key) const { return Find(key, std::nullopt); }
  // The same, with the hash that Anticipate gave for `key`.
  std::ptrdiff_t Find(std::string_view key, std::optional<std::uint32_t> hash) const;
  // For a caller that knows which keys it will seek next: the key sought
  // `ahead` lookups from now. Unless the finger will likely guess it, its
  // hash is returned, and its place in the index is asked from memory now,
  // so that a run of new keys waits for memory once rather than per key.
  std::optional<std::uint32_t> Anticipate(std::string_view key, std::size_t ahead) const;
  // Lets the next lookup start from the first text again.
  void Rewind() const { next_ = 0; }

 private:
  // Notes the text at `position` as the one the last lookup ended at.
  void Found(std::size_t position) const;

  std::pmr::vector<std::string_view> texts_;
  NameIndex index_;
  // One past the position the last lookup found.
  mutable std::size_t next_ = 0;
  // Where the key of the last lookup, when it failed, would go in the index.
  mutable std::optional<NameIndex::Miss> miss_;
};

}  // namespace langfile
