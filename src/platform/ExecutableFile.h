#pragma once

// The running program as a file: where it lives, and the notes its ELF file
// carries. The program's version texts are stamped into its own file at link
// time as a package-metadata note, so the window can show them without a
// second copy of the numbers in the sources.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The full path of the running executable as the kernel names it, or empty
// text when it cannot be told.
std::string ExecutablePath();

// The folder part of `path` up to and including the delimiter that ends it,
// with exactly one trailing '/': "/usr/bin/x" gives "/usr/bin/", "/x" gives
// "/", "/a//b" gives "/a/". A path without any '/' gives empty text.
std::string FolderOf(std::string_view path);

// Owner name and type of the note that the linker's package-metadata option
// writes; its descriptor is a JSON text.
inline constexpr std::string_view kPackageMetadataOwner = "FDO";
inline constexpr std::uint32_t kPackageMetadataType = 0xcafe1a7e;

// The descriptor of the first ELF note in `fileName` with owner name `owner`
// and type `type`, without its trailing NUL bytes. Note sections are
// searched; a file without a usable section table is searched through its
// note segments instead. Nothing when the file is not a regular file, cannot
// be read, is not ELF of this machine's byte order (32- or 64-bit), holds no
// such note or is damaged where the note would be. Safe on any bytes: only
// the parts needed are read, each checked against the file's size.
std::optional<std::string> ReadElfNote(const std::string& fileName, std::string_view owner,
                                       std::uint32_t type);

}  // namespace platform
