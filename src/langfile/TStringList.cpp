#include "langfile/TStringList.h"

using langfile::KeyKind;
using langfile::KeyOf;
using langfile::NameIndex;

THashedStringList::THashedStringList(const platform::CaseTable& upperCase)
    : textIndex_(KeyKind::WholeText, upperCase), nameIndex_(KeyKind::Name, upperCase) {}

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

// A replaced text that keeps its key (only its letter case or its value
// changed) leaves the index as it is; that is what SetValue does. A new key
// where there was none is simply entered. A lost key may have shadowed an
// earlier equal one, so then the index is built again on its next use.
void THashedStringList::KeepIndexInStep(NameIndex& index, std::size_t position,
                                        std::string_view oldText) {
  if (!index.built()) return;
  std::string_view oldKey;
  std::string_view newKey;
  bool hadKey = KeyOf(index.kind(), oldText, oldKey);
  bool hasKey = KeyOf(index.kind(), texts_[position], newKey);
  if (!hadKey) {
    if (hasKey) index.Enter(*this, position, newKey);
  } else if (!hasKey || !index.Same(oldKey, newKey)) {
    index.Drop();
  }
}
