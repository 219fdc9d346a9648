#include "langfile/NameIndex.h"

namespace langfile {

void NameIndex::Drop() {
  slots_.clear();
  slots_.shrink_to_fit();
  repeats_ = false;
}

bool NameIndex::Same(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  // Most keys are sought in the letter case they were written in.
  if (a == b) return true;
  const platform::CaseTable& upper = *upperCase_;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper[static_cast<unsigned char>(a[i])] != upper[static_cast<unsigned char>(b[i])]) {
      return false;
    }
  }
  return true;
}

// The upper-cased bytes are mixed in eight at a time: one multiplication per
// word rather than per byte keeps hashing a key cheaper than reading its line.
std::uint32_t NameIndex::Hash(std::string_view key) const {
  const platform::CaseTable& upper = *upperCase_;
  const auto* bytes = reinterpret_cast<const unsigned char*>(key.data());
  std::size_t left = key.size();
  auto folded = [&](std::size_t count) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < count; ++i) word |= std::uint64_t{upper[bytes[i]]} << (8 * i);
    return word;
  };
  auto mix = [](std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    return hash ^ (hash >> 29);
  };
  std::uint64_t hash = 0xBF58476D1CE4E5B9ull ^ key.size();
  for (; left >= 8; left -= 8, bytes += 8) hash = mix(hash, folded(8));
  if (left > 0) hash = mix(hash, folded(left));
  // Every bit of the result depends on every byte: the low bits choose the
  // slot, the high ones are kept in it.
  hash ^= hash >> 32;
  hash *= 0x94D049BB133111EBull;
  hash ^= hash >> 29;
  return static_cast<std::uint32_t>(hash >> 32);
}

}  // namespace langfile
