#include "langfile/TStringList.h"

#include <algorithm>
#include <bit>

THashedStringList::THashedStringList(const platform::CaseTable& upperCase)
    : upperCase_(&upperCase) {}

void THashedStringList::Add(std::string text) {
  TStringList::Add(std::move(text));
  std::size_t position = texts_.size() - 1;
  if (textIndex_.built()) textIndex_.Enter(*this, position);
  if (nameIndex_.built()) nameIndex_.Enter(*this, position);
}

void THashedStringList::Put(std::size_t index, std::string text) {
  std::string oldText = std::move(texts_[index]);
  TStringList::Put(index, std::move(text));
  KeepIndexInStep(textIndex_, index, oldText);
  KeepIndexInStep(nameIndex_, index, oldText);
}

void THashedStringList::Clear() {
  TStringList::Clear();
  textIndex_.Drop();
  nameIndex_.Drop();
}

std::ptrdiff_t THashedStringList::IndexOf(std::string_view text) const {
  if (!textIndex_.built()) textIndex_.Build(*this);
  return textIndex_.Find(*this, text);
}

std::ptrdiff_t THashedStringList::IndexOfName(std::string_view name) const {
  if (!nameIndex_.built()) nameIndex_.Build(*this);
  return nameIndex_.Find(*this, name);
}

bool THashedStringList::KeyOf(KeyKind kind, std::string_view text, std::string_view& key) {
  if (kind == KeyKind::WholeText) {
    key = text;
    return true;
  }
  std::string_view::size_type equals = text.find('=');
  if (equals == std::string_view::npos) return false;
  key = text.substr(0, equals);
  return true;
}

std::uint32_t THashedStringList::HashOf(std::string_view key) const {
  std::uint32_t hash = 2166136261u;  // FNV-1a over the upper-cased bytes
  for (char c : key) {
    hash ^= (*upperCase_)[static_cast<unsigned char>(c)];
    hash *= 16777619u;
  }
  return hash;
}

bool THashedStringList::SameKey(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  const platform::CaseTable& upper = *upperCase_;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper[static_cast<unsigned char>(a[i])] != upper[static_cast<unsigned char>(b[i])]) {
      return false;
    }
  }
  return true;
}

// A replaced text that keeps its key (only its letter case or its value
// changed) leaves the index as it is; that is what SetValue does. A new key
// where there was none is simply entered. A lost key may have shadowed an
// earlier equal one, so then the index is built again on its next use.
void THashedStringList::KeepIndexInStep(Index& index, std::size_t position,
                                        std::string_view oldText) {
  if (!index.built()) return;
  std::string_view oldKey;
  std::string_view newKey;
  bool hadKey = KeyOf(index.kind(), oldText, oldKey);
  bool hasKey = KeyOf(index.kind(), texts_[position], newKey);
  if (!hadKey) {
    if (hasKey) index.Enter(*this, position);
  } else if (!hasKey || !SameKey(oldKey, newKey)) {
    index.Drop();
  }
}

void THashedStringList::Index::Drop() {
  built_ = false;
  used_ = 0;
  hashes_.clear();
  hashes_.shrink_to_fit();
  positions_.clear();
  positions_.shrink_to_fit();
}

void THashedStringList::Index::Reset(std::size_t capacity) {
  used_ = 0;
  hashes_.assign(capacity, 0);
  positions_.assign(capacity, 0);
  built_ = true;
}

void THashedStringList::Index::Build(const THashedStringList& list) {
  // At most half full, so probes stay short; Enter rebuilds past that.
  Reset(std::bit_ceil(std::max<std::size_t>(16, list.size() * 2 + 2)));
  for (std::size_t position = 0; position < list.size(); ++position) {
    std::string_view key;
    if (KeyOf(kind_, list[position], key)) Insert(list, key, position);
  }
}

void THashedStringList::Index::Enter(const THashedStringList& list, std::size_t position) {
  std::string_view key;
  if (!KeyOf(kind_, list[position], key)) return;
  if ((used_ + 1) * 2 > positions_.size()) {
    Build(list);  // the list already holds `position`
    return;
  }
  Insert(list, key, position);
}

// The slot that holds `key`, or the free slot where it would go.
std::size_t THashedStringList::Index::SlotOf(const THashedStringList& list, std::string_view key,
                                             std::uint32_t hash) const {
  std::size_t mask = positions_.size() - 1;
  std::size_t slot = hash & mask;
  for (; positions_[slot] != 0; slot = (slot + 1) & mask) {
    if (hashes_[slot] != hash) continue;
    std::string_view stored;
    KeyOf(kind_, list[positions_[slot] - 1], stored);
    if (list.SameKey(stored, key)) break;
  }
  return slot;
}

// Enters `position` under `key`; of several equal keys the index keeps the
// latest position, which is what lets the last duplicate win.
void THashedStringList::Index::Insert(const THashedStringList& list, std::string_view key,
                                      std::size_t position) {
  std::uint32_t hash = list.HashOf(key);
  std::size_t slot = SlotOf(list, key, hash);
  auto stored = static_cast<std::uint32_t>(position + 1);
  if (positions_[slot] == 0) {
    hashes_[slot] = hash;
    ++used_;
  }
  positions_[slot] = std::max(positions_[slot], stored);
}

std::ptrdiff_t THashedStringList::Index::Find(const THashedStringList& list,
                                              std::string_view key) const {
  std::size_t slot = SlotOf(list, key, list.HashOf(key));
  return positions_[slot] == 0 ? kNotFound : static_cast<std::ptrdiff_t>(positions_[slot] - 1);
}
