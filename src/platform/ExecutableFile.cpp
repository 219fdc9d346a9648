#include "platform/ExecutableFile.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// No linker writes a note section or a header table anywhere near this size.
// A file that claims one is damaged or hostile and must not make us allocate
// what it claims.
constexpr std::uint64_t kMaxBlockBytes = std::uint64_t{1} << 20;

// The kernel gives up on names longer than a memory page well before this.
constexpr std::size_t kMaxPathBytes = std::size_t{1} << 16;

// A regular file read piece by piece at given offsets: executables with
// debugging information can be large, and only their headers and notes are
// of interest. Closed on every path out.
class PositionalFile {
 public:
  explicit PositionalFile(const std::string& name);
  PositionalFile(const PositionalFile&) = delete;
  PositionalFile& operator=(const PositionalFile&) = delete;
  ~PositionalFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool valid() const { return fd_ >= 0; }

  // Reads exactly `length` bytes at `offset`; false unless all of them lie
  // inside the file.
  bool Read(std::uint64_t offset, void* into, std::size_t length) const;

  // The same for a block whose length comes from the file itself, and so is
  // refused above kMaxBlockBytes.
  bool ReadBlock(std::uint64_t offset, std::uint64_t length, std::string& bytes) const;

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

PositionalFile::PositionalFile(const std::string& name) {
  // Devices are refused before they are opened: opening some of them acts.
  struct stat info {};
  if (stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
  // Non-blocking, in case the name was swapped for a FIFO meanwhile.
  int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    ::close(fd);
    return;
  }
  fd_ = fd;
  size_ = static_cast<std::uint64_t>(info.st_size);
}

bool PositionalFile::Read(std::uint64_t offset, void* into, std::size_t length) const {
  // Compared without any sum, so that no offset a damaged header gives can
  // wrap around.
  if (length > size_ || offset > size_ - length) return false;
  auto* next = static_cast<char*>(into);
  while (length > 0) {
    ssize_t got = pread(fd_, next, length, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;  // an error, or the file shrank meanwhile
    next += got;
    offset += static_cast<std::uint64_t>(got);
    length -= static_cast<std::size_t>(got);
  }
  return true;
}

bool PositionalFile::ReadBlock(std::uint64_t offset, std::uint64_t length,
                               std::string& bytes) const {
  if (length > kMaxBlockBytes || length > size_) return false;
  bytes.resize(static_cast<std::size_t>(length));
  return Read(offset, bytes.data(), bytes.size());
}

std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) & ~(alignment - 1);
}

std::string_view WithoutTrailingNuls(std::string_view text) {
  while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
  return text;
}

struct NoteBlock {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::uint64_t alignment = 0;
};

// Name and descriptor are padded to 4 bytes, except in blocks aligned to 8,
// where the linker pads them to 8 (the x86-64 property note).
std::uint64_t NotePadding(const NoteBlock& block) { return block.alignment == 8 ? 8 : 4; }

// The walk ends at the first note whose sizes run past the end: nothing
// after it can be found reliably.
std::optional<std::string> FindNote(std::string_view notes, std::uint64_t padding,
                                    std::string_view owner, std::uint32_t type) {
  std::uint64_t at = 0;
  while (at < notes.size() && notes.size() - at >= sizeof(Elf64_Nhdr)) {
    Elf64_Nhdr header;  // three 32-bit words in 32-bit files as well
    std::memcpy(&header, notes.data() + at, sizeof header);
    const std::uint64_t nameAt = at + sizeof header;
    if (header.n_namesz > notes.size() - nameAt) return std::nullopt;
    const std::uint64_t descAt = AlignUp(nameAt + header.n_namesz, padding);
    if (descAt > notes.size() || header.n_descsz > notes.size() - descAt) return std::nullopt;
    if (header.n_type == type &&
        WithoutTrailingNuls(notes.substr(nameAt, header.n_namesz)) == owner) {
      return std::string(WithoutTrailingNuls(notes.substr(descAt, header.n_descsz)));
    }
    at = AlignUp(descAt + header.n_descsz, padding);
  }
  return std::nullopt;
}

struct Elf32 {
  using Ehdr = Elf32_Ehdr;
  using Shdr = Elf32_Shdr;
  using Phdr = Elf32_Phdr;
};

struct Elf64 {
  using Ehdr = Elf64_Ehdr;
  using Shdr = Elf64_Shdr;
  using Phdr = Elf64_Phdr;
};

// `count` header-table entries at `offset`. An entry may be larger than the
// structure we know, so entries are taken `entrySize` bytes apart.
template <class Entry>
std::optional<std::vector<Entry>> ReadTable(const PositionalFile& file, std::uint64_t offset,
                                            std::uint64_t count, std::uint64_t entrySize) {
  if (entrySize < sizeof(Entry) || count > kMaxBlockBytes / entrySize) return std::nullopt;
  std::string bytes;
  if (!file.ReadBlock(offset, count * entrySize, bytes)) return std::nullopt;
  std::vector<Entry> entries(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::memcpy(&entries[i], bytes.data() + i * entrySize, sizeof(Entry));
  }
  return entries;
}

// The note sections, or nothing when the file has no section table or one
// that cannot be read.
template <class Elf>
std::optional<std::vector<NoteBlock>> SectionNotes(const PositionalFile& file,
                                                   const typename Elf::Ehdr& header) {
  using Shdr = typename Elf::Shdr;
  if (header.e_shoff == 0) return std::nullopt;
  std::uint64_t count = header.e_shnum;
  if (count == 0) {
    // Too many sections for the header's field: the first entry holds the count.
    auto first = ReadTable<Shdr>(file, header.e_shoff, 1, header.e_shentsize);
    if (!first) return std::nullopt;
    count = first->front().sh_size;
  }
  if (count == 0) return std::nullopt;
  auto sections = ReadTable<Shdr>(file, header.e_shoff, count, header.e_shentsize);
  if (!sections) return std::nullopt;
  std::vector<NoteBlock> blocks;
  for (const Shdr& section : *sections) {
    if (section.sh_type == SHT_NOTE) {
      blocks.push_back({section.sh_offset, section.sh_size, section.sh_addralign});
    }
  }
  return blocks;
}

// The note segments: what the loader relies on, and so what remains of a
// file whose section table was stripped or damaged.
template <class Elf>
std::vector<NoteBlock> SegmentNotes(const PositionalFile& file, const typename Elf::Ehdr& header) {
  using Phdr = typename Elf::Phdr;
  // PN_XNUM puts the real count in the section table, which we are here
  // because we could not use.
  if (header.e_phoff == 0 || header.e_phnum == 0 || header.e_phnum == PN_XNUM) return {};
  auto segments = ReadTable<Phdr>(file, header.e_phoff, header.e_phnum, header.e_phentsize);
  if (!segments) return {};
  std::vector<NoteBlock> blocks;
  for (const Phdr& segment : *segments) {
    if (segment.p_type == PT_NOTE) {
      blocks.push_back({segment.p_offset, segment.p_filesz, segment.p_align});
    }
  }
  return blocks;
}

template <class Elf>
std::optional<std::string> FindNoteIn(const PositionalFile& file, std::string_view owner,
                                      std::uint32_t type) {
  typename Elf::Ehdr header;
  if (!file.Read(0, &header, sizeof header)) return std::nullopt;
  std::optional<std::vector<NoteBlock>> blocks = SectionNotes<Elf>(file, header);
  if (!blocks || blocks->empty()) blocks = SegmentNotes<Elf>(file, header);
  // A crafted file may list the same large block thousands of times; the
  // search reads no more than a few blocks' worth in all.
  std::uint64_t budget = 4 * kMaxBlockBytes;
  for (const NoteBlock& block : *blocks) {
    if (block.size > budget) break;
    budget -= block.size;
    // A block that is too large or runs past the end is damaged; the note
    // may still be in another one.
    std::string notes;
    if (!file.ReadBlock(block.offset, block.size, notes)) continue;
    if (auto found = FindNote(notes, NotePadding(block), owner, type)) return found;
  }
  return std::nullopt;
}

}  // namespace

std::string ExecutablePath() {
  // The link's length is not known beforehand (the kernel reports 0), and a
  // name that fills the buffer may have been cut short: grow until it fits.
  for (std::size_t size = 256; size <= kMaxPathBytes; size *= 2) {
    std::string path(size, '\0');
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      return path;
    }
  }
  return {};
}

std::string FolderOf(std::string_view path) {
  std::string_view::size_type slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  // "/a//b" lies in "/a/": the delimiters before the last one go with it.
  while (slash > 0 && path[slash - 1] == '/') --slash;
  return std::string(path.substr(0, slash)) + '/';
}

std::optional<std::string> ReadElfNote(const std::string& fileName, std::string_view owner,
                                       std::uint32_t type) {
  PositionalFile file(fileName);
  unsigned char ident[EI_NIDENT];
  if (!file.valid() || !file.Read(0, ident, sizeof ident) ||
      std::memcmp(ident, ELFMAG, SELFMAG) != 0) {
    return std::nullopt;
  }
  // Every field is read as this machine stores numbers; a file of the other
  // byte order is not one this machine could run anyway.
  constexpr unsigned char kNativeByteOrder =
      std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;
  if (ident[EI_DATA] != kNativeByteOrder) return std::nullopt;
  switch (ident[EI_CLASS]) {
    case ELFCLASS32:
      return FindNoteIn<Elf32>(file, owner, type);
    case ELFCLASS64:
      return FindNoteIn<Elf64>(file, owner, type);
    default:
      return std::nullopt;
  }
}

}  // namespace platform
