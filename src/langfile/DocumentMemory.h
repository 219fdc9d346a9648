#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory_resource>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace langfile {

// A document allocates a little for each section and each text it makes;
// from the heap, a large file would ask the system for fresh pages thousands
// of times over. Here those small pieces are cut from chunks that grow to a
// huge page each, and are given back only all together, with the document.
// Large pieces, such as the list of a section of many thousand entries, get
// blocks of their own and are given back as soon as they are let go, so a
// list that grows leaves nothing behind.
//
// Texts never move once kept, so a view of one stays valid as long as the
// memory; the memory itself must therefore stay where it is made.
class DocumentMemory final : public std::pmr::memory_resource {
 public:
  DocumentMemory() = default;
  DocumentMemory(const DocumentMemory&) = delete;
  DocumentMemory& operator=(const DocumentMemory&) = delete;

  // Takes over a file's bytes as they are.
  std::string_view Adopt(platform::FileBytes bytes);
  // A lasting copy of the pieces, joined. The pieces may be views of texts
  // this memory already holds.
  std::string_view Keep(std::initializer_list<std::string_view> pieces);

 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override;
  void do_deallocate(void* pointer, std::size_t bytes, std::size_t alignment) override;
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }
  char* Cut(std::size_t bytes, std::size_t alignment);

  platform::FileBytes file_;
  std::vector<platform::MemoryBlock> chunks_;
  std::vector<platform::MemoryBlock> blocks_;
  char* next_ = nullptr;  // what is still free of the last chunk
  char* end_ = nullptr;
  std::size_t nextChunkSize_ = 16 << 10;
};

}  // namespace langfile
