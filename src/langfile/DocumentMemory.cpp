#include "langfile/DocumentMemory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/MemoryPoisoning.h"

namespace langfile {

namespace {

constexpr std::size_t kLargestChunk = platform::MemoryBlock::kHugePage;
// Pieces from this size on get blocks of their own: cut from a chunk, a
// piece let go would waste that much.
constexpr std::size_t kLargePiece = kLargestChunk / 4;

}  // namespace

std::string_view DocumentMemory::Adopt(platform::FileBytes bytes) {
  file_ = std::move(bytes);
  return file_.view();
}

std::string_view DocumentMemory::Keep(std::initializer_list<std::string_view> pieces) {
  std::size_t length = 0;
  for (std::string_view piece : pieces) length += piece.size();
  if (length == 0) return {};
  char* start;
  if (length >= kLargePiece) {
    start = blocks_.emplace_back(length).data();
  } else {
    start = Cut(length, 1);
  }
  char* next = start;
  for (std::string_view piece : pieces) {
    if (!piece.empty()) std::memcpy(next, piece.data(), piece.size());
    next += piece.size();
  }
  return {start, length};
}

void* DocumentMemory::do_allocate(std::size_t bytes, std::size_t alignment) {
  if (bytes >= kLargePiece) return blocks_.emplace_back(bytes).data();
  return Cut(bytes, alignment);
}

void DocumentMemory::do_deallocate(void* pointer, std::size_t bytes, std::size_t) {
  if (bytes < kLargePiece) {
    // Given back with the whole chunk; until then, a list that grew and
    // still gets read through its old place shows up under ASan.
    ASAN_POISON_MEMORY_REGION(pointer, bytes);
    return;
  }
  auto found =
      std::find_if(blocks_.begin(), blocks_.end(),
                   [&](const platform::MemoryBlock& block) { return block.data() == pointer; });
  if (found == blocks_.end()) return;
  std::swap(*found, blocks_.back());
  blocks_.pop_back();
}

char* DocumentMemory::Cut(std::size_t bytes, std::size_t alignment) {
  auto padding = [&] {
    std::size_t misalignment = reinterpret_cast<std::uintptr_t>(next_) % alignment;
    return misalignment == 0 ? 0 : alignment - misalignment;
  };
  if (next_ == nullptr || static_cast<std::size_t>(end_ - next_) < padding() + bytes) {
    // Whatever is left of the old chunk stays unused.
    std::size_t size = std::max(nextChunkSize_, bytes + alignment);
    char* start = chunks_.emplace_back(size).data();
    // The heap cannot tell a piece from the rest of its chunk: under ASan,
    // only what has been cut may be touched (the block unpoisons it all
    // again when it goes).
    ASAN_POISON_MEMORY_REGION(start, size);
    next_ = start;
    end_ = start + size;
    nextChunkSize_ = std::min(2 * nextChunkSize_, kLargestChunk);
  }
  char* piece = next_ + padding();
  next_ = piece + bytes;
  ASAN_UNPOISON_MEMORY_REGION(piece, bytes);
  return piece;
}

}  // namespace langfile
