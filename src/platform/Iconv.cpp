#include "platform/Iconv.h"

namespace platform {

Iconv::Iconv(const std::string& to, const std::string& from)
    : handle_(iconv_open(to.c_str(), from.c_str())) {}

Iconv::~Iconv() {
  if (IsOpen()) iconv_close(handle_);
}

std::optional<std::string> Iconv::Convert(std::string_view input) {
  iconv(handle_, nullptr, nullptr, nullptr, nullptr);
  std::string source(input);
  // Four bytes a character covers every target here, UTF-8 and UTF-32 alike.
  std::string target(4 * input.size() + 16, '\0');
  char* in = source.data();
  std::size_t inLeft = source.size();
  char* out = target.data();
  std::size_t outLeft = target.size();
  const bool ok = iconv(handle_, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) &&
                  inLeft == 0 &&
                  iconv(handle_, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
  if (!ok) return std::nullopt;
  target.resize(target.size() - outLeft);
  return target;
}

}  // namespace platform
