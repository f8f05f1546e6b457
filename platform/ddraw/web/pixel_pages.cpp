// A page's memory only grows, and comes zeroed: there are no pages of its
// own to map, and the heap serves every surface.
#include "ddraw/pixel_pages.h"

namespace platform {

PixelPages map_pixel_pages(std::size_t) { return {}; }

void unmap_pixel_pages(const PixelPages&) {}

}  // namespace platform
