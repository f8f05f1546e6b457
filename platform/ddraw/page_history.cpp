#include "ddraw/page_history.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

// Every generation of every surface has its own number, so a surface made
// where a dead one lived is never taken for it.
std::uint64_t next_generation() {
  static std::uint64_t s_generation = 0;
  return ++s_generation;
}

}  // namespace

PageHistory::PageHistory(const PixelMemory& pixels, int width, int height, int pitch, int bytes_per_pixel,
                         bool on_screen)
    : pixels_(pixels),
      width_(width),
      height_(height),
      pitch_(pitch),
      bytes_per_pixel_(bytes_per_pixel),
      on_screen_(on_screen),
      generation_(next_generation()) {}

PageHistory::~PageHistory() {
  forget_base();
  settle_copies();
}

bool PageHistory::blit(const RECT& to, PageHistory& source, BlitCache& source_cache, const RECT& from,
                       const SourceKey* key) {
  settle_copies();
  new_generation();
  source.settle();
  const bool covers_all = to.left == 0 && to.top == 0 && to.right == width_ && to.bottom == height_ &&
                          from.left == 0 && from.top == 0 && from.right == source.width_ &&
                          from.bottom == source.height_ && source.width_ == width_ &&
                          source.height_ == height_;
  if (covers_all && !on_screen_ &&
      (key == nullptr ||
       source_cache.hides_nothing(source.whole(), source.generation_, bytes_per_pixel_, *key))) {
    defer_copy_of(source);
    return true;
  }
  if (covers_all && key != nullptr && base_ != nullptr) {
    draw_over_base(source, source_cache, *key);
    return true;
  }
  settle();
  drawn(to);
  return false;
}

void PageHistory::write(const RECT& area) {
  settle_copies();
  new_generation();
  settle();
  drawn(area);
}

void PageHistory::drawn(const RECT& area) {
  backdrop_.damage(area, width_, height_);
  if (on_screen_) drawn_while_shown_.add(area);
}

ChangedArea PageHistory::take_drawn_while_shown() {
  ChangedArea taken;
  std::swap(taken, drawn_while_shown_);
  return taken;
}

void PageHistory::swap(PageHistory& back) {
  // The back buffer's pixels are shown now and the pages trade them: the
  // copies they owe are made first.
  settle();
  back.settle();
  settle_copies();
  back.settle_copies();
  std::swap(backdrop_, back.backdrop_);
  new_generation();
  back.new_generation();
}

std::optional<std::vector<RECT>> PageHistory::differences_from(const PageHistory& other) const {
  if (base_ != nullptr || other.base_ != nullptr) return std::nullopt;
  return backdrop_.differences_from(other.backdrop_);
}

void PageHistory::new_generation() { generation_ = next_generation(); }

void PageHistory::settle_copies() {
  while (!copies_.empty()) copies_.back()->settle();
}

void PageHistory::settle() {
  if (base_ == nullptr) return;
  // Same size and format, so the same pitch: one copy of the whole memory.
  std::memcpy(pixels_.get(), base_->pixels_.get(),
              static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height_));
  // The pixels are the base's picture now, with nothing over it: another
  // page settled from the same picture differs only where either is drawn on.
  backdrop_.drawn(base_->generation_, kNothingOver);
  forget_base();
}

void PageHistory::defer_copy_of(PageHistory& base) {
  forget_base();
  base_ = &base;
  base.copies_.push_back(this);
}

void PageHistory::forget_base() {
  if (base_ == nullptr) return;
  std::vector<PageHistory*>& copies = base_->copies_;
  copies.erase(std::find(copies.begin(), copies.end(), this));
  base_ = nullptr;
}

void PageHistory::draw_over_base(PageHistory& source, BlitCache& source_cache, const SourceKey& key) {
  const OpaqueRuns& runs = source_cache.own_runs(source.whole(), source.generation_, bytes_per_pixel_, key);
  if (backdrop_.holds(base_->generation_, source.generation_)) {
    for (const RECT& rect : backdrop_.damaged()) {
      blit_runs_over_part(whole(), source.whole(), runs, base_->whole(), rect.left, rect.top, rect.right,
                          rect.bottom, bytes_per_pixel_);
    }
  } else {
    blit_runs_over_part(whole(), source.whole(), runs, base_->whole(), 0, 0, width_, height_,
                        bytes_per_pixel_);
  }
  backdrop_.drawn(base_->generation_, source.generation_);
  forget_base();
}

}  // namespace platform
