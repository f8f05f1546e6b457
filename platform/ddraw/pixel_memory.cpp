#include "ddraw/pixel_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <utility>

namespace platform {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a surface is a sprite or a glyph band: the heap serves it well.
constexpr std::size_t kMappedFrom = std::size_t{1} << 20;

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

PixelMemory::PixelMemory(std::size_t bytes) {
  if (bytes >= kMappedFrom) {
    const std::size_t mapped = round_up(bytes, kHugePage);
    data_ = map_aligned(mapped);
    if (data_ != nullptr) {
      mapped_bytes_ = mapped;
      return;
    }
  }
  data_ = static_cast<std::uint8_t*>(std::calloc(bytes == 0 ? 1 : bytes, 1));
}

PixelMemory::~PixelMemory() { release(); }

PixelMemory::PixelMemory(PixelMemory&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), mapped_bytes_(std::exchange(other.mapped_bytes_, 0)) {}

PixelMemory& PixelMemory::operator=(PixelMemory&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    mapped_bytes_ = std::exchange(other.mapped_bytes_, 0);
  }
  return *this;
}

void PixelMemory::release() {
  if (data_ == nullptr) return;
  if (mapped_bytes_ != 0) {
    munmap(data_, mapped_bytes_);
  } else {
    std::free(data_);
  }
  data_ = nullptr;
  mapped_bytes_ = 0;
}

}  // namespace platform
