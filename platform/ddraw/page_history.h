// What a surface's pixels owe other surfaces and are owed by them: the
// work the game's frame leaves undone, so that a frame costs little more
// than the sprites drawn on it.
//
// A blit that covers a whole surface with every pixel of another of its size
// is not made at once: the next whole keyed picture drawn over it is then
// drawn together with it, each pixel written once (the game draws the night
// sky, then the play field over it). Until then the surface's pixels are its
// base's, and the base lists it among its copies.
//
// A picture drawn keyed over the whole of a base leaves a backdrop the
// pixels keep knowing about: they are that picture over that base, apart
// from the rectangles drawn on since. When the same picture is next drawn
// over the same base, neither of them changed, only those rectangles are put
// back (the game draws the same sky and field under every frame, and its
// sprites cover a few per cent of the screen). Pictures are recognised by
// their generation alone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "ddraw/blit.h"
#include "ddraw/blit_cache.h"
#include "ddraw/pixel_memory.h"

namespace platform {

class PageHistory {
 public:
  // The history of one surface: width x height pixels of bytes_per_pixel in
  // pixels' memory, rows pitch bytes apart. cache is the surface's blit
  // cache, dropped with every new generation. The pixels of an on_screen
  // surface are shown as they are drawn, so none of its work is left for later.
  PageHistory(const PixelMemory& pixels, int width, int height, int pitch, int bytes_per_pixel,
              BlitCache& cache, bool on_screen);
  // Makes the copies still owed of these pixels.
  ~PageHistory();
  PageHistory(const PageHistory&) = delete;
  PageHistory& operator=(const PageHistory&) = delete;

  // Before source's rectangle `from` is drawn onto `to` of these pixels
  // (another surface's, of the same format), keyed by *key unless key is
  // null. True when that is done already: a whole-surface copy left for
  // later, or a whole keyed picture drawn over such a copy. Otherwise both
  // surfaces' pixels are up to date for the blit kernel.
  bool blit(const RECT& to, PageHistory& source, const RECT& from, const SourceKey* key);
  // Before `area` of these pixels is written: all of them for a lock, an
  // empty area for a device context, whose drawing drawn() reports.
  void write(const RECT& area);
  // After `area` was drawn through a device context.
  void drawn(const RECT& area);
  // The surface's colour key changed.
  void rekeyed();
  // Before the front page (this) and its back buffer trade their memory.
  void swap(PageHistory& back);
  // Where these pixels may differ from `other`'s (a surface of the same size
  // whose copies are all made): the rectangles drawn on either since both
  // last held the same backdrop. None when they do not hold one.
  std::optional<std::vector<RECT>> differences_from(const PageHistory& other) const;

  // Where these pixels can be read without making a copy owed: the base's
  // memory while the copy is owed. For tests that must not disturb the history.
  PixelBlock current() const;

 private:
  struct Backdrop {
    std::uint64_t under_generation = 0;  // 0: none known
    std::uint64_t over_generation = 0;
    std::vector<RECT> damage;
    std::int64_t damaged_pixels = 0;  // their areas added up
  };

  PixelBlock whole() const;
  // These pixels or their key change: whatever was kept of them goes.
  void new_generation();
  // Before these pixels change or go: the surfaces still to copy them do.
  void settle_copies();
  // Makes the copy owed, before these pixels are read or changed.
  void settle();
  void defer_copy_of(PageHistory& base);
  void forget_base();
  // Draws source's whole picture keyed over base_'s, from what is known of
  // these pixels, and forgets base_.
  void draw_over_base(PageHistory& source, const SourceKey& key);
  void damage(const RECT& area);
  void forget_backdrop();

  const PixelMemory& pixels_;
  int width_;
  int height_;
  int pitch_;
  int bytes_per_pixel_;
  BlitCache& cache_;
  bool on_screen_;
  std::uint64_t generation_;
  PageHistory* base_ = nullptr;
  std::vector<PageHistory*> copies_;
  Backdrop backdrop_;
};

}  // namespace platform
