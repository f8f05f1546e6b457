#include "host/rest_planner.h"

#include <algorithm>

#include "host/host.h"

namespace platform {
namespace {

// Woken this long before the frame is expected, a thread is polling again
// when it falls due, even after a slow wake-up.
constexpr std::int64_t kWakeMarginMicroseconds = 100;

}  // namespace

RestPlanner::RestPlanner(std::int64_t ticks_per_microsecond)
    : longest_rest_(kLongestRestMicroseconds * ticks_per_microsecond),
      base_wake_margin_(kWakeMarginMicroseconds * ticks_per_microsecond),
      wake_margin_(base_wake_margin_) {}

void RestPlanner::flipped(std::int64_t now) {
  const std::int64_t start = polled_ ? now : first_read_;
  if (flipped_) {
    intervals_[next_slot_] = start - last_start_;
    next_slot_ = (next_slot_ + 1) % kIntervals;
    known_intervals_ = std::min(known_intervals_ + 1, kIntervals);
    next_start_ =
        start + *std::min_element(intervals_.begin(),
                                  intervals_.begin() + static_cast<std::ptrdiff_t>(known_intervals_));
  }
  flipped_ = true;
  last_start_ = start;
  wake_margin_ = rested_ ? wake_margin_ * 2 : base_wake_margin_;
  rested_ = false;
}

std::int64_t RestPlanner::rest_ticks(std::int64_t now) {
  rested_ = false;
  if (next_start_ == INT64_MIN) return longest_rest_;
  const std::int64_t expected = next_start_;
  if (now < expected - wake_margin_) {
    rested_ = true;
    return expected - wake_margin_ - now;
  }
  if (now < expected + longest_rest_) return 0;
  return longest_rest_;
}

}  // namespace platform
