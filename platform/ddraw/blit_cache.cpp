#include "ddraw/blit_cache.h"

namespace platform {
namespace {

// A picture is seldom drawn at more than a handful of sizes, so a few
// stretched copies are enough; the oldest goes when another size is needed.
constexpr std::size_t kMaxStretched = 8;
// Larger stretches are drawn straight from the picture: a copy of them
// would cost more memory than it saves.
constexpr std::int64_t kMaxStretchedPixels = std::int64_t{1} << 20;

bool same_rect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

PixelBlock part_of(const PixelBlock& picture, const RECT& rect, int bytes_per_pixel) {
  PixelBlock part;
  part.first = picture.first + static_cast<std::ptrdiff_t>(rect.top) * picture.pitch +
               static_cast<std::ptrdiff_t>(rect.left) * bytes_per_pixel;
  part.pitch = picture.pitch;
  part.width = rect.right - rect.left;
  part.height = rect.bottom - rect.top;
  return part;
}

}  // namespace

void BlitCache::blit_keyed(const PixelBlock& dst, const PixelBlock& picture, std::uint64_t generation,
                           const RECT& from, int bytes_per_pixel, const SourceKey& key) {
  const int width = from.right - from.left;
  const int height = from.bottom - from.top;
  if (dst.width == width && dst.height == height) {
    blit_runs(dst, picture, own_runs(picture, generation, bytes_per_pixel, key), from.left, from.top,
              bytes_per_pixel);
    return;
  }
  keep_for(generation);
  Stretched* copy = stretched(picture, from, dst.width, dst.height, bytes_per_pixel, key);
  if (copy == nullptr) {
    blit_pixels(dst, part_of(picture, from, bytes_per_pixel), bytes_per_pixel, &key);
    return;
  }
  const PixelBlock source{copy->pixels.data(), copy->width * bytes_per_pixel, copy->width, copy->height};
  blit_runs(dst, source, copy->runs, 0, 0, bytes_per_pixel);
}

void BlitCache::keep_for(std::uint64_t generation) {
  if (generation == generation_) return;
  generation_ = generation;
  has_own_runs_ = false;
  own_runs_.runs.clear();
  own_runs_.row_start.clear();
  stretched_.clear();
}

const OpaqueRuns& BlitCache::own_runs(const PixelBlock& picture, std::uint64_t generation,
                                      int bytes_per_pixel, const SourceKey& key) {
  keep_for(generation);
  if (!has_own_runs_) {
    own_runs_ = find_opaque_runs(picture, bytes_per_pixel, key);
    has_own_runs_ = true;
    hides_nothing_ = own_runs_.runs.size() == static_cast<std::size_t>(picture.height);
    for (const OpaqueRun& run : own_runs_.runs) {
      if (run.start != 0 || run.length != picture.width) hides_nothing_ = false;
    }
  }
  return own_runs_;
}

bool BlitCache::hides_nothing(const PixelBlock& picture, std::uint64_t generation, int bytes_per_pixel,
                              const SourceKey& key) {
  own_runs(picture, generation, bytes_per_pixel, key);
  return hides_nothing_;
}

BlitCache::Stretched* BlitCache::stretched(const PixelBlock& picture, const RECT& from, int width, int height,
                                           int bytes_per_pixel, const SourceKey& key) {
  ++uses_;
  for (Stretched& kept : stretched_) {
    if (kept.width == width && kept.height == height && same_rect(kept.from, from)) {
      kept.last_used = uses_;
      return &kept;
    }
  }
  if (static_cast<std::int64_t>(width) * height > kMaxStretchedPixels) return nullptr;

  Stretched* slot = nullptr;
  if (stretched_.size() < kMaxStretched) {
    slot = &stretched_.emplace_back();
  } else {
    slot = &stretched_.front();
    for (Stretched& kept : stretched_) {
      if (kept.last_used < slot->last_used) slot = &kept;
    }
  }
  slot->from = from;
  slot->width = width;
  slot->height = height;
  slot->last_used = uses_;
  slot->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                          static_cast<std::size_t>(bytes_per_pixel),
                      0);
  // The copy takes every pixel the stretched blit would read, keyed or not;
  // its runs then leave out what the key hides.
  const PixelBlock copy{slot->pixels.data(), width * bytes_per_pixel, width, height};
  blit_pixels(copy, part_of(picture, from, bytes_per_pixel), bytes_per_pixel, nullptr);
  slot->runs = find_opaque_runs(copy, bytes_per_pixel, key);
  return slot;
}

}  // namespace platform
