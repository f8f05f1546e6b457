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

// Putting rectangles back costs more a pixel than drawing the whole
// backdrop again, and a crowd of sprites overlaps: past a quarter of the
// surface in all, or this many rectangles, the backdrop is drawn whole.
constexpr std::size_t kMaxDamage = 512;
constexpr std::int64_t kMaxDamageShare = 4;

}  // namespace

PageHistory::PageHistory(const PixelMemory& pixels, int width, int height, int pitch, int bytes_per_pixel,
                         BlitCache& cache, bool on_screen)
    : pixels_(pixels),
      width_(width),
      height_(height),
      pitch_(pitch),
      bytes_per_pixel_(bytes_per_pixel),
      cache_(cache),
      on_screen_(on_screen),
      generation_(next_generation()) {}

PageHistory::~PageHistory() {
  forget_base();
  settle_copies();
}

PixelBlock PageHistory::whole() const { return PixelBlock{pixels_.get(), pitch_, width_, height_}; }

PixelBlock PageHistory::current() const { return base_ != nullptr ? base_->whole() : whole(); }

bool PageHistory::blit(const RECT& to, PageHistory& source, const RECT& from, const SourceKey* key) {
  settle_copies();
  new_generation();
  source.settle();
  const bool covers_all = to.left == 0 && to.top == 0 && to.right == width_ && to.bottom == height_ &&
                          from.left == 0 && from.top == 0 && from.right == source.width_ &&
                          from.bottom == source.height_ && source.width_ == width_ &&
                          source.height_ == height_;
  if (covers_all && !on_screen_ &&
      (key == nullptr || source.cache_.hides_nothing(source.whole(), bytes_per_pixel_, *key))) {
    defer_copy_of(source);
    return true;
  }
  if (covers_all && key != nullptr && base_ != nullptr) {
    draw_over_base(source, *key);
    return true;
  }
  settle();
  damage(to);
  return false;
}

void PageHistory::write(const RECT& area) {
  settle_copies();
  new_generation();
  settle();
  damage(area);
}

void PageHistory::drawn(const RECT& area) { damage(area); }

void PageHistory::rekeyed() { new_generation(); }

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
  const Backdrop& mine = backdrop_;
  const Backdrop& theirs = other.backdrop_;
  if (base_ != nullptr || other.base_ != nullptr || mine.under_generation == 0 ||
      mine.under_generation != theirs.under_generation || mine.over_generation != theirs.over_generation) {
    return std::nullopt;
  }
  std::vector<RECT> maybe = mine.damage;
  maybe.insert(maybe.end(), theirs.damage.begin(), theirs.damage.end());
  return maybe;
}

void PageHistory::new_generation() {
  generation_ = next_generation();
  cache_.drop();
}

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
  forget_backdrop();
  backdrop_.under_generation = base_->generation_;
  backdrop_.over_generation = 0;
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

void PageHistory::draw_over_base(PageHistory& source, const SourceKey& key) {
  const OpaqueRuns& runs = source.cache_.own_runs(source.whole(), bytes_per_pixel_, key);
  if (backdrop_.under_generation == base_->generation_ && backdrop_.over_generation == source.generation_) {
    for (const RECT& rect : backdrop_.damage) {
      blit_runs_over_part(whole(), source.whole(), runs, base_->whole(), rect.left, rect.top, rect.right,
                          rect.bottom, bytes_per_pixel_);
    }
  } else {
    blit_runs_over_part(whole(), source.whole(), runs, base_->whole(), 0, 0, width_, height_,
                        bytes_per_pixel_);
    backdrop_.under_generation = base_->generation_;
    backdrop_.over_generation = source.generation_;
  }
  backdrop_.damage.clear();
  backdrop_.damaged_pixels = 0;
  forget_base();
}

void PageHistory::damage(const RECT& area) {
  if (backdrop_.under_generation == 0 || area.left >= area.right || area.top >= area.bottom) return;
  backdrop_.damaged_pixels += static_cast<std::int64_t>(area.right - area.left) * (area.bottom - area.top);
  if (backdrop_.damage.size() >= kMaxDamage ||
      backdrop_.damaged_pixels * kMaxDamageShare > static_cast<std::int64_t>(width_) * height_) {
    forget_backdrop();
    return;
  }
  backdrop_.damage.push_back(area);
}

void PageHistory::forget_backdrop() {
  backdrop_.under_generation = 0;
  backdrop_.damage.clear();
  backdrop_.damaged_pixels = 0;
}

}  // namespace platform
