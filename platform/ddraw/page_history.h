// What a surface's pixels owe other surfaces and are owed by them: work
// that blits leave undone, so that composing a frame costs little more than
// the pixels that change in it.
//
// A blit that covers a whole surface with every pixel of another of its size
// is not made at once: the next picture drawn keyed over the whole of it is
// then drawn together with it, each pixel written once. Until then the
// surface's pixels are its base's, and the base lists it among its copies.
// Once a picture was drawn keyed over a base so, the surface's backdrop
// knows what its pixels hold (ddraw/backdrop.h), and the next time the same
// picture is drawn over the same base only the rectangles drawn on since are
// put back.
//
// Every state of a surface's pixels and key has a generation, a number of
// its own: the backdrop and the blit caches recognise pictures by it alone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "ddraw/backdrop.h"
#include "ddraw/blit.h"
#include "ddraw/blit_cache.h"
#include "ddraw/pixel_memory.h"
#include "host/changed_area.h"

namespace platform {

class PageHistory {
 public:
  // The history of one surface: width x height pixels of bytes_per_pixel in
  // pixels' memory, rows pitch bytes apart. The pixels of an on_screen
  // surface are shown as they are drawn, so none of its work is left for later.
  PageHistory(const PixelMemory& pixels, int width, int height, int pitch, int bytes_per_pixel,
              bool on_screen);
  // Makes the copies still owed of these pixels.
  ~PageHistory();
  PageHistory(const PageHistory&) = delete;
  PageHistory& operator=(const PageHistory&) = delete;

  // The generation of the pixels and key as they are now.
  std::uint64_t generation() const { return generation_; }
  // Before source's rectangle `from` is drawn onto `to` of these pixels
  // (another surface's, of the same format), keyed by *key unless key is
  // null; source_cache is the source's blit cache. True when that is done
  // already: a whole-surface copy left for later, or a whole keyed picture
  // drawn over such a copy. Otherwise both surfaces' pixels are up to date
  // for the blit kernel.
  bool blit(const RECT& to, PageHistory& source, BlitCache& source_cache, const RECT& from,
            const SourceKey* key);
  // Before `area` of these pixels is written: all of them for a lock, an
  // empty area for a device context, whose drawing drawn() reports.
  void write(const RECT& area);
  // After `area` was drawn through a device context.
  void drawn(const RECT& area);
  // The surface's colour key changed.
  void rekeyed() { new_generation(); }
  // Before the front page (this) and its back buffer trade their memory.
  void swap(PageHistory& back);
  // Where these pixels may differ from `other`'s (a surface of the same size
  // whose copies are all made): the rectangles drawn on either since both
  // last held the same backdrop. None when they do not hold one.
  std::optional<std::vector<RECT>> differences_from(const PageHistory& other) const;
  // What was drawn on the pixels of an on-screen surface since the last
  // call: the display has not been given it yet.
  ChangedArea take_drawn_while_shown();

  // Where these pixels can be read as they are now without making a copy
  // owed: the base's memory while the copy is owed.
  PixelBlock current() const { return base_ != nullptr ? base_->whole() : whole(); }

 private:
  PixelBlock whole() const { return PixelBlock{pixels_.get(), pitch_, width_, height_}; }
  void new_generation();
  // Before these pixels change or go: the surfaces still to copy them do.
  void settle_copies();
  // Makes the copy owed, before these pixels are read or changed.
  void settle();
  void defer_copy_of(PageHistory& base);
  void forget_base();
  // Draws source's whole picture keyed over base_'s, from what the backdrop
  // knows of these pixels, and forgets base_.
  void draw_over_base(PageHistory& source, BlitCache& source_cache, const SourceKey& key);

  const PixelMemory& pixels_;
  int width_;
  int height_;
  int pitch_;
  int bytes_per_pixel_;
  bool on_screen_;
  ChangedArea drawn_while_shown_;
  std::uint64_t generation_;
  PageHistory* base_ = nullptr;
  std::vector<PageHistory*> copies_;
  Backdrop backdrop_;
};

}  // namespace platform
