#include "ddraw/pixel_memory.h"

#include <cstdlib>
#include <utility>

#include "ddraw/pixel_pages.h"

namespace platform {

namespace {

// Below this a surface is a sprite or a glyph band: the heap serves it well.
constexpr std::size_t kMappedFrom = std::size_t{1} << 20;

}  // namespace

PixelMemory::PixelMemory(std::size_t bytes) {
  if (bytes >= kMappedFrom) {
    const PixelPages pages = map_pixel_pages(bytes);
    if (pages.data != nullptr) {
      data_ = pages.data;
      mapped_bytes_ = pages.bytes;
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
    unmap_pixel_pages(PixelPages{data_, mapped_bytes_});
  } else {
    std::free(data_);
  }
  data_ = nullptr;
  mapped_bytes_ = 0;
}

}  // namespace platform
