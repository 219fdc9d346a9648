#pragma once

// One direction of the C library's converters between two encodings named
// as iconv names them ("CP1250", "UTF-8", "WCHAR_T"): the code page tables
// and the speller both convert through it.

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace platform {

class Iconv {
 public:
  Iconv(const std::string& to, const std::string& from);
  ~Iconv();
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  // False when the C library has no such converter.
  bool IsOpen() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // `input` converted as a whole text of its own, or nothing when some byte
  // of it means nothing in the one encoding or has no form in the other.
  // glibc's CP1255 and CP1258 converters hold a base letter back in case a
  // combining mark follows, so the state is flushed after the input and
  // reset before the next call.
  std::optional<std::string> Convert(std::string_view input);

 private:
  iconv_t handle_;
};

}  // namespace platform
