#pragma once

// Fresh memory faulted in page by page costs one fault per four kibibytes,
// and those faults are most of the cost of filling it, the more so in a
// virtual machine. A large buffer that is filled right after it is made
// comes straight from the system instead, aligned to and mapped in whole
// huge pages (two mebibytes), which the system is asked to back with huge
// pages where it offers them: one fault per two mebibytes.

#include <cstddef>
#include <new>

namespace platform {

inline constexpr std::size_t kHugePage = std::size_t{2} << 20;

// `bytes` rounded up to whole huge pages: what MapInHugePages maps.
constexpr std::size_t InHugePages(std::size_t bytes) {
  return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

// InHugePages(bytes) of fresh memory starting on a huge page boundary.
// Throws std::bad_alloc when there is none.
char* MapInHugePages(std::size_t bytes);
// Gives back what MapInHugePages(bytes) returned.
void UnmapHugePages(char* start, std::size_t bytes);

// An allocator for containers that are sized once and then filled: buffers
// of kFromBytes and more are mapped in huge pages, smaller ones come from
// the heap. The rest of a buffer's last huge page goes unused, so only a
// buffer that is large already is worth it.
template <class T>
class HugePageAllocator {
 public:
  using value_type = T;
  static constexpr std::size_t kFromBytes = kHugePage / 4;

  HugePageAllocator() = default;
  template <class U>
  HugePageAllocator(const HugePageAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) {
    const std::size_t bytes = count * sizeof(T);
    if (bytes < kFromBytes) return static_cast<T*>(::operator new(bytes));
    return reinterpret_cast<T*>(MapInHugePages(bytes));
  }
  void deallocate(T* pointer, std::size_t count) noexcept {
    const std::size_t bytes = count * sizeof(T);
    if (bytes < kFromBytes)
      ::operator delete(pointer);
    else
      UnmapHugePages(reinterpret_cast<char*>(pointer), bytes);
  }

  template <class U>
  bool operator==(const HugePageAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace platform
