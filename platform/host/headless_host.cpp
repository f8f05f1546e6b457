#include "host/headless_host.h"

#include <chrono>
#include <cstdio>

#include "host/frame_statistics.h"

namespace platform {

HeadlessHost::HeadlessHost(bool virtual_clock) : virtual_clock_(virtual_clock) {}

void HeadlessHost::present(const FrameView& frame) {
  rest_planner_.flipped(time_now());
  frame_ = frame;
  ++flip_count_;
  count_shown();
  if (on_flip_) on_flip_(flip_count_);
}

void HeadlessHost::rest() {
  ++rest_count_;
  const std::int64_t ticks = rest_planner_.rest_ticks(time_now());
  if (virtual_clock_) {
    if (!rests_move_clock_) return;
    counter_ += ticks;
    rested_ticks_ += ticks;
    return;
  }
  sleep_at_most(ticks / kCounterTicksPerMicrosecond);
}

void HeadlessHost::forget_frame() { frame_ = FrameView{}; }

void HeadlessHost::message_box(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "MessageBox [%s]: %s\n", caption.c_str(), text.c_str());
  if (message_boxes_.size() == kKeptMessageBoxes) message_boxes_.erase(message_boxes_.begin());
  message_boxes_.push_back({text, caption});
}

std::int64_t HeadlessHost::counter_frequency() { return 10'000'000; }

std::int64_t HeadlessHost::time_now() const {
  if (virtual_clock_) return counter_;
  const auto since_boot = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>>(
             since_boot)
      .count();
}

std::int64_t HeadlessHost::counter_now() {
  const std::int64_t now = time_now();
  rest_planner_.counter_read(now);
  if (virtual_clock_) counter_ += counter_step_;
  return now;
}

}  // namespace platform
