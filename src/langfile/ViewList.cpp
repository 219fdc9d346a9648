#include "langfile/ViewList.h"

namespace langfile {

ViewList::ViewList(KeyKind kind, const platform::CaseTable& upperCase,
                   std::pmr::memory_resource* memory, std::size_t expected)
    : texts_(memory), index_(kind, upperCase, memory) {
  texts_.reserve(expected);
  index_.Build(texts_, expected);
}

// Each Add makes room in the index first: should memory run out, the list
// is left as it was, not holding a text its index does not know.
void ViewList::Add(std::string_view text) {
  index_.Reserve(texts_, texts_.size() + 1);
  texts_.push_back(text);
  index_.Enter(texts_, texts_.size() - 1);
  Found(texts_.size() - 1);
}

void ViewList::Add(std::string_view text, std::string_view key) {
  index_.Reserve(texts_, texts_.size() + 1);
  texts_.push_back(text);
  index_.Enter(texts_, texts_.size() - 1, key);
  Found(texts_.size() - 1);
}

void ViewList::Clear() {
  texts_.clear();
  index_.Drop();
  index_.Build(texts_);  // a list is never without its index
  next_ = 0;
  miss_.reset();
}

void ViewList::AddMissing(std::string_view text) {
  bool rebuilt = index_.Reserve(texts_, texts_.size() + 1);
  texts_.push_back(text);
  if (miss_ && !rebuilt) {
    index_.EnterMissed(texts_.size() - 1, *miss_);
  } else {
    index_.Enter(texts_, texts_.size() - 1);
  }
  Found(texts_.size() - 1);
}

std::ptrdiff_t ViewList::Find(std::string_view key, std::optional<std::uint32_t> hash) const {
  if (!index_.HasRepeats()) {
    // A section is sought once for each of its entries, an entry once: so
    // the section found last is tried first, but the entry after it.
    std::size_t last = next_ - 1;  // no position at all when nothing was found yet
    bool sameFirst = index_.kind() == KeyKind::WholeText;
    for (std::size_t guess : {sameFirst ? last : next_, sameFirst ? next_ : last}) {
      if (guess < texts_.size() && index_.Holds(texts_[guess], key)) {
        Found(guess);
        return static_cast<std::ptrdiff_t>(guess);
      }
    }
  }
  NameIndex::Miss miss;
  std::ptrdiff_t found = index_.Find(texts_, key, hash ? *hash : index_.Hash(key), &miss);
  if (found == NameIndex::kNotFound) {
    miss_ = miss;
  } else {
    Found(static_cast<std::size_t>(found));
  }
  return found;
}

std::optional<std::uint32_t> ViewList::Anticipate(std::string_view key,
                                                  std::size_t ahead) const {
  std::size_t guess = next_ + ahead;
  if (!index_.HasRepeats() && guess < texts_.size() && index_.Holds(texts_[guess], key)) {
    return std::nullopt;
  }
  std::uint32_t hash = index_.Hash(key);
  index_.Prefetch(hash);
  return hash;
}

void ViewList::Found(std::size_t position) const {
  next_ = position + 1;
  miss_.reset();
}

}  // namespace langfile
