#include "ddraw/backdrop.h"

namespace platform {
namespace {

constexpr std::size_t kMaxDamage = 512;
constexpr std::int64_t kMaxDamageShare = 4;

}  // namespace

void Backdrop::drawn(std::uint64_t under, std::uint64_t over) {
  under_ = under;
  over_ = over;
  damaged_.clear();
  damaged_pixels_ = 0;
}

std::optional<std::vector<RECT>> Backdrop::differences_from(const Backdrop& other) const {
  if (under_ == 0 || under_ != other.under_ || over_ != other.over_) return std::nullopt;
  std::vector<RECT> maybe = damaged_;
  maybe.insert(maybe.end(), other.damaged_.begin(), other.damaged_.end());
  return maybe;
}

void Backdrop::damage(const RECT& area, int width, int height) {
  if (under_ == 0 || area.left >= area.right || area.top >= area.bottom) return;
  damaged_pixels_ += static_cast<std::int64_t>(area.right - area.left) * (area.bottom - area.top);
  if (damaged_.size() >= kMaxDamage ||
      damaged_pixels_ * kMaxDamageShare > static_cast<std::int64_t>(width) * height) {
    forget();
    return;
  }
  damaged_.push_back(area);
}

void Backdrop::forget() {
  under_ = 0;
  damaged_.clear();
  damaged_pixels_ = 0;
}

}  // namespace platform
