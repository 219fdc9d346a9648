#pragma once

// The system's 8-bit code page and the letter case of texts in it.
//
// Language files are bytes in the code page of the translator's system, and
// the sibling programs compare keys without regard to letter case, accented
// letters included. This is the one place that knows which code page that is
// and how its letters fold.

#include <array>
#include <string>
#include <string_view>

namespace platform {

// A Windows ANSI code page number: 874 or 1250 to 1258.
using CodePage = int;

// The code page the sibling programs would use on this user's system:
// derived from the language of the user's locale (LC_ALL, then LC_CTYPE, then
// LANG), or the in-process override when one is set.
CodePage SystemCodePage();

// Makes SystemCodePage() answer `codePage` in this process; 0 removes the
// override. Meant for tests and for a user who must pick a code page.
void OverrideSystemCodePage(CodePage codePage);

// The code page for a POSIX locale name such as "sk_SK.UTF-8",
// "sr_RS@latin" or "C": Central European languages 1250, Cyrillic 1251,
// Greek 1253, Turkish 1254, Hebrew 1255, Arabic 1256, Baltic 1257,
// Vietnamese 1258, Thai 874, everything else 1252.
CodePage CodePageForLocale(std::string_view localeName);

// Byte to byte upper-casing in `codePage`: each byte that is a lower-case
// letter of the code page maps to its upper-case form when the code page
// holds that form; every other byte maps to itself. Built once per code page
// from the C library's converters and Unicode case mapping; any other code
// page number gets the 1252 table. The reference stays valid for the life of
// the process. Not thread-safe on first use of a code page.
using CaseTable = std::array<unsigned char, 256>;
const CaseTable& UpperCaseTable(CodePage codePage);

// `text` upper-cased byte by byte with UpperCaseTable(codePage).
std::string UpperCase(std::string_view text, CodePage codePage);

// `text` in `codePage` spelled in UTF-8, the file system's encoding: how a
// name that a sibling program wrote (a folder in its settings) or that the
// user typed (a language tag) is spelled on disk. A byte the code page leaves
// undefined stands for the character of the same number. Any other code
// page number is taken as 1252. Not thread-safe on first use of a code page.
std::string Utf8FromCodePage(std::string_view text, CodePage codePage);

}  // namespace platform
