#include "platform/HugePages.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

char* MapInHugePages(std::size_t bytes) {
  // An aligned start: map a huge page more than needed and give back what
  // lies before the first boundary and after the block.
  const std::size_t length = InHugePages(bytes);
  void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  auto* start = static_cast<char*>(mapped);
  const auto address = reinterpret_cast<std::uintptr_t>(start);
  const std::size_t head = (kHugePage - address % kHugePage) % kHugePage;
  if (head > 0) munmap(start, head);
  munmap(start + head + length, kHugePage - head);
  madvise(start + head, length, MADV_HUGEPAGE);  // a mere hint: refused, small pages serve
  return start + head;
}

void UnmapHugePages(char* start, std::size_t bytes) { munmap(start, InHugePages(bytes)); }

}  // namespace platform
