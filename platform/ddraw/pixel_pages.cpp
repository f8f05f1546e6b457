#include "ddraw/pixel_pages.h"

#include <sys/mman.h>

namespace platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t round_up(std::size_t bytes, std::size_t step) { return (bytes + step - 1) / step * step; }

// A zeroed mapping of bytes (a multiple of kHugePage) starting on a 2 MB
// boundary, so that the kernel can back it with huge pages; null when the
// kernel refuses.
std::uint8_t* map_aligned(std::size_t bytes) {
  const std::size_t span = bytes + kHugePage;
  void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto* start = static_cast<std::uint8_t*>(raw);
  const auto address = reinterpret_cast<std::uintptr_t>(start);
  const std::size_t lead = round_up(address, kHugePage) - address;
  if (lead != 0) munmap(start, lead);
  const std::size_t tail = span - lead - bytes;
  if (tail != 0) munmap(start + lead + bytes, tail);
  // Only advice: without huge pages the mapping works on small ones.
  madvise(start + lead, bytes, MADV_HUGEPAGE);
  return start + lead;
}

}  // namespace

PixelPages map_pixel_pages(std::size_t bytes) {
  const std::size_t mapped = round_up(bytes, kHugePage);
  std::uint8_t* const data = map_aligned(mapped);
  return data != nullptr ? PixelPages{data, mapped} : PixelPages{};
}

void unmap_pixel_pages(const PixelPages& pages) { munmap(pages.data, pages.bytes); }

}  // namespace platform
