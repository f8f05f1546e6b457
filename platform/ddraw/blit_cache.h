// What a source surface keeps between keyed blits, so that a blit copies
// opaque runs with memcpy instead of testing every pixel against the key:
// the runs of its own pixels, and stretched copies of its picture at the
// sizes it was last drawn, each with runs of its own. All of it is kept for
// one generation of the surface's pixels and key (ddraw/page_history.h) and
// made anew for the next.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ddraw/blit.h"

namespace platform {

class BlitCache {
 public:
  // Draws picture's rectangle `from` onto dst (same size or stretched),
  // leaving out what key hides: the pixels blit_pixels would write. picture
  // is the whole source surface, of that generation.
  void blit_keyed(const PixelBlock& dst, const PixelBlock& picture, std::uint64_t generation,
                  const RECT& from, int bytes_per_pixel, const SourceKey& key);
  // The runs of the whole picture under key, found on first use.
  const OpaqueRuns& own_runs(const PixelBlock& picture, std::uint64_t generation, int bytes_per_pixel,
                             const SourceKey& key);
  // True when key hides none of the picture's pixels.
  bool hides_nothing(const PixelBlock& picture, std::uint64_t generation, int bytes_per_pixel,
                     const SourceKey& key);

 private:
  struct Stretched {
    RECT from{};
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width x height, rows packed
    OpaqueRuns runs;
    std::uint64_t last_used = 0;
  };

  // Forgets what was kept for another generation.
  void keep_for(std::uint64_t generation);
  // Null when the picture is too big to keep at that size.
  Stretched* stretched(const PixelBlock& picture, const RECT& from, int width, int height,
                       int bytes_per_pixel, const SourceKey& key);

  std::uint64_t generation_ = 0;
  bool has_own_runs_ = false;
  bool hides_nothing_ = false;
  OpaqueRuns own_runs_;
  std::vector<Stretched> stretched_;
  std::uint64_t uses_ = 0;
};

}  // namespace platform
