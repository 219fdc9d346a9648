// The running program as a file: its path, its folder and the notes in it.

#include <gtest/gtest.h>

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstddef>
#include <cstring>
#include <filesystem>

#include "platform/ExecutableFile.h"
#include "support/TestSupport.h"

namespace {

using namespace std::literals;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

constexpr std::string_view kStampedText =
    R"({"type":"bin","name":"orvane-translator","version":"2.10.3.15",)"
    R"("productVersion":"2.10.3.15","fileVersion":"9.8.7.6",)"
    R"("companyName":"Orvane","productName":"Orvane translator"})";

std::optional<std::string> PackageNote(const std::string& name) {
  return platform::ReadElfNote(name, platform::kPackageMetadataOwner,
                               platform::kPackageMetadataType);
}

// What a damaged file may give: nothing, or the note it still holds intact.
bool NothingOrStampedText(const std::optional<std::string>& note) {
  return !note || *note == kStampedText;
}

template <class T>
std::string Bytes(const T& value) {
  return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

std::string Padded(std::string bytes, std::size_t padding) {
  bytes.resize((bytes.size() + padding - 1) / padding * padding, '\0');
  return bytes;
}

// A note as the linker lays it out, name and descriptor padded to `padding`.
std::string Note(std::string owner, std::uint32_t type, std::string text, std::size_t padding) {
  const Elf32_Nhdr header{static_cast<std::uint32_t>(owner.size() + 1),
                          static_cast<std::uint32_t>(text.size()), type};
  return Padded(Bytes(header) + owner + '\0', padding) + Padded(text, padding);
}

// An ELF file of this machine's byte order with nothing but one note section.
template <class Ehdr, class Shdr>
std::string ElfWithNotes(unsigned char elfClass, const std::string& notes, std::size_t alignment) {
  Ehdr header{};
  std::memcpy(header.e_ident, ELFMAG, SELFMAG);
  header.e_ident[EI_CLASS] = elfClass;
  header.e_ident[EI_DATA] = std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;
  header.e_shoff = sizeof header + notes.size();
  header.e_shentsize = sizeof(Shdr);
  header.e_shnum = 2;
  Shdr sections[2]{};
  sections[1].sh_type = SHT_NOTE;
  sections[1].sh_offset = sizeof header;
  sections[1].sh_size = static_cast<decltype(Shdr::sh_size)>(notes.size());
  sections[1].sh_addralign = static_cast<decltype(Shdr::sh_addralign)>(alignment);
  return Bytes(header) + notes + Bytes(sections);
}

TEST(ExecutablePath, IsThisProgramsFileAndFolderOfKeepsOneDelimiter) {
  EXPECT_EQ(platform::ExecutablePath(),
            std::filesystem::canonical(PLATFORM_TESTS_PROGRAM).string());
  for (auto [path, folder] : {std::pair{"/usr/bin/x", "/usr/bin/"}, {"/x", "/"}, {"/a//b", "/a/"},
                              {"//x", "/"}, {"/", "/"}, {"/a/b/", "/a/b/"}, {"a/b", "a/"},
                              {"x", ""}, {"", ""}}) {
    EXPECT_EQ(platform::FolderOf(path), folder) << path;
  }
}

TEST(ReadElfNote, FindsTheStampedTextByOwnerAndTypeAlone) {
  EXPECT_EQ(PackageNote(STAMPED_PROGRAM), kStampedText);
  EXPECT_EQ(PackageNote(UNSTAMPED_PROGRAM), std::nullopt);
  EXPECT_EQ(platform::ReadElfNote(STAMPED_PROGRAM, "FD", platform::kPackageMetadataType),
            std::nullopt);
  EXPECT_EQ(platform::ReadElfNote(STAMPED_PROGRAM, "FDO", 1), std::nullopt);
}

TEST(ReadElfNote, ReadsBothWordSizesAndBothPaddings) {
  TempDir dir;
  for (std::size_t padding : {4, 8}) {
    // The first descriptor ends off an 8-byte boundary, so reading with the
    // wrong padding misses every note after it.
    const std::string notes = Note("GNU", 7, "abcd", padding) + Note("FDO", 1, "other", padding) +
                              Note("FDO", 7, "found\0\0"s, padding) +
                              Note("FDO", 7, "second", padding);
    WriteFile(dir / "32", ElfWithNotes<Elf32_Ehdr, Elf32_Shdr>(ELFCLASS32, notes, padding));
    WriteFile(dir / "64", ElfWithNotes<Elf64_Ehdr, Elf64_Shdr>(ELFCLASS64, notes, padding));
    EXPECT_EQ(platform::ReadElfNote(dir / "32", "FDO", 7), "found") << padding;
    EXPECT_EQ(platform::ReadElfNote(dir / "64", "FDO", 7), "found") << padding;
  }
}

TEST(ReadElfNote, RefusesAnythingElseWithoutBlocking) {
  TempDir dir;
  WriteFile(dir / "text", "\x7f" "ELF, but only in words");
  WriteFile(dir / "empty", "");
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  std::string otherOrder = ReadFile(STAMPED_PROGRAM);
  otherOrder[EI_DATA] = otherOrder[EI_DATA] == ELFDATA2LSB ? ELFDATA2MSB : ELFDATA2LSB;
  WriteFile(dir / "other-order", otherOrder);
  // A FIFO without a writer, or an endless device, would hang a careless
  // reader: the child gives up after a while instead of hanging the tests.
  int code = testsupport::RunInChild([&] {
    alarm(20);
    for (const std::string& name : {dir / "text", dir / "empty", dir / "missing", dir.path(),
                                    dir / "fifo", "/dev/zero"s, dir / "other-order"}) {
      if (PackageNote(name)) return 1;
    }
    return 0;
  });
  EXPECT_EQ(code, 0) << "1: a note found where there is none, -1: blocked or crashed";
}

TEST(ReadElfNote, SurvivesTruncationAndDamage) {
  TempDir dir;
  const std::string bytes = ReadFile(STAMPED_PROGRAM), name = dir / "damaged";
  ASSERT_EQ(bytes[EI_CLASS], ELFCLASS64) << "the damage below is done to a 64-bit file";
  WriteFile(name, bytes);
  for (std::size_t length = bytes.size(); length-- > 0;) {
    ASSERT_EQ(truncate(name.c_str(), static_cast<off_t>(length)), 0);
    ASSERT_TRUE(NothingOrStampedText(PackageNote(name))) << "cut at " << length;
  }

  auto damaged = [&]<class T>(std::size_t at, T value) {
    std::string copy = bytes;
    std::memcpy(copy.data() + at, &value, sizeof value);
    WriteFile(name, copy);
    return PackageNote(name);
  };
  const std::size_t type = bytes.find(Bytes(platform::kPackageMetadataType) + "FDO\0"s);
  ASSERT_NE(type, std::string::npos);
  for (std::uint32_t size : {0xffffffffu, 0x7ffffffcu, 0x10000u}) {
    EXPECT_TRUE(NothingOrStampedText(damaged(type - 8, size))) << "name size " << size;
    EXPECT_TRUE(NothingOrStampedText(damaged(type - 4, size))) << "text size " << size;
  }
  // Without a usable section table the note segment still holds the note.
  EXPECT_EQ(damaged(offsetof(Elf64_Ehdr, e_shoff), std::uint64_t{bytes.size()}), kStampedText);
  EXPECT_EQ(damaged(offsetof(Elf64_Ehdr, e_shoff), ~std::uint64_t{8}), kStampedText);
  EXPECT_EQ(damaged(offsetof(Elf64_Ehdr, e_shnum), std::uint16_t{0}), kStampedText);
  {
    // A section table that lists no notes at all (a stripping tool may do
    // that) leaves the note segment to search.
    Elf64_Ehdr header;
    std::memcpy(&header, bytes.data(), sizeof header);
    std::string copy = bytes;
    for (std::size_t i = 0; i < header.e_shnum; ++i) {
      const std::size_t type = header.e_shoff + i * header.e_shentsize + offsetof(Elf64_Shdr, sh_type);
      std::uint32_t value;
      std::memcpy(&value, copy.data() + type, sizeof value);
      if (value == SHT_NOTE) value = SHT_PROGBITS;
      std::memcpy(copy.data() + type, &value, sizeof value);
    }
    WriteFile(name, copy);
    EXPECT_EQ(PackageNote(name), kStampedText);
  }

  // Every byte of the headers, the notes and the section table set to
  // extremes in turn. Nothing may crash; built with -fsanitize=address, no
  // read may stray either.
  WriteFile(name, bytes);
  const int fd = open(name.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  Elf64_Ehdr header;
  std::memcpy(&header, bytes.data(), sizeof header);
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    if (at == 4096) at = std::max<std::size_t>(at, header.e_shoff);  // past the debug data
    for (char value : {'\x00', '\x01', '\x7f', '\x80', '\xff', bytes[at]}) {
      ASSERT_EQ(pwrite(fd, &value, 1, static_cast<off_t>(at)), 1);
      EXPECT_LE(PackageNote(name).value_or("").size(), bytes.size());
    }
  }
  close(fd);
}

}  // namespace
