#pragma once

// Text routines shared by the whole program. Bytes in, bytes out: one byte
// is one character of the 8-bit code page.

#include <string>
#include <string_view>

namespace ProcFunc {

// Content values are stored between percent signs, so that blanks at their
// ends survive the trimming of values when a file is read. Every non-empty
// text gets one "%" in front and one at the end, also when it already starts
// or ends with "%" (a format string like "%d items" must come back whole);
// the empty text stays empty.
std::string Wrap(std::string_view text);
// The same into `wrapped`, whose memory a caller wrapping text after text
// can use again.
void Wrap(std::string_view text, std::string& wrapped);

// Takes off one leading "%", then one trailing "%", where present. Texts
// written by hand without the signs read as they stand.
std::string Unwrap(std::string_view text);
// The same, as a view into `text`, for callers that only compare.
std::string_view UnwrappedPart(std::string_view text);

// Brings `text` to `width` characters. Mode 'L' pads at the end or keeps the
// first characters, 'R' pads in front or keeps the last ones, 'C' pads
// alternately at the end and in front (starting at the end) or keeps the
// middle ones; any other mode counts as 'R'.
std::string Pad(std::string_view text, char padChar, char mode, int width);

}  // namespace ProcFunc
