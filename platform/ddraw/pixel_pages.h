// Where a large surface's pixels come from when the machine can hand out
// zeroed pages of its own: natively fresh mappings the kernel may back with
// 2 MB pages (pixel_pages.cpp); the browser has no such pages and the heap
// serves every surface (web/pixel_pages.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct PixelPages {
  std::uint8_t* data = nullptr;  // null when the pages are not there
  std::size_t bytes = 0;         // what unmap_pixel_pages must be given back
};

// Zeroed pages holding at least `bytes`.
PixelPages map_pixel_pages(std::size_t bytes);
void unmap_pixel_pages(const PixelPages& pages);

}  // namespace platform
