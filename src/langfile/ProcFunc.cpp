#include "langfile/ProcFunc.h"

namespace ProcFunc {

std::string Wrap(std::string_view text) {
  std::string wrapped;
  Wrap(text, wrapped);
  return wrapped;
}

void Wrap(std::string_view text, std::string& wrapped) {
  wrapped.clear();
  if (text.empty()) return;
  wrapped.reserve(text.size() + 2);
  wrapped.append(1, '%').append(text).append(1, '%');
}

std::string_view UnwrappedPart(std::string_view text) {
  if (text.starts_with('%')) text.remove_prefix(1);
  if (text.ends_with('%')) text.remove_suffix(1);
  return text;
}

std::string Unwrap(std::string_view text) { return std::string(UnwrappedPart(text)); }

std::string Pad(std::string_view text, char padChar, char mode, int width) {
  const std::size_t target = width > 0 ? static_cast<std::size_t>(width) : 0;
  if (mode != 'L' && mode != 'C') mode = 'R';

  if (text.size() > target) {
    std::size_t start = 0;
    if (mode == 'R') start = text.size() - target;
    // The middle: from position (length - width + 2) div 2, counted from 1.
    if (mode == 'C') start = (text.size() - target + 2) / 2 - 1;
    return std::string(text.substr(start, target));
  }

  const std::size_t missing = target - text.size();
  std::size_t front = 0;
  if (mode == 'R') front = missing;
  if (mode == 'C') front = missing / 2;  // an odd one out goes to the end
  std::string padded;
  padded.reserve(target);
  padded.append(front, padChar).append(text).append(missing - front, padChar);
  return padded;
}

}  // namespace ProcFunc
