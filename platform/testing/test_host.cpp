#include "testing/test_host.h"

#include <algorithm>

#include "user32/input.h"

namespace platform::testing {

void TestHost::present(const FrameView& frame, const ChangedArea& changed) {
  HeadlessHost::present(frame, changed);
  frame_ = frame;
  changes_ = changed;
  ++flip_count_;
  if (on_flip_) on_flip_(flip_count_);
}

void TestHost::pump_events() {
  HeadlessHost::pump_events();
  while (!keys_to_come_.empty() && keys_to_come_.front().first <= counter_) {
    post_key(keys_to_come_.front().second, true);
    keys_to_come_.erase(keys_to_come_.begin());
  }
}

void TestHost::press_key_at(std::int64_t ticks, int virtual_key) {
  keys_to_come_.insert(
      std::upper_bound(keys_to_come_.begin(), keys_to_come_.end(), std::pair{ticks, virtual_key}),
      {ticks, virtual_key});
}

void TestHost::rest() {
  ++rest_count_;
  if (!rests_move_clock_) return;
  std::int64_t ticks = rest_planner_.rest_ticks(counter_);
  if (!keys_to_come_.empty())
    ticks = std::clamp<std::int64_t>(keys_to_come_.front().first - counter_, 0, ticks);
  counter_ += ticks;
  rested_ticks_ += ticks;
}

void TestHost::message_box(const std::string& text, const std::string& caption) {
  HeadlessHost::message_box(text, caption);
  if (message_boxes_.size() == kKeptMessageBoxes) message_boxes_.erase(message_boxes_.begin());
  message_boxes_.push_back({text, caption});
}

std::int64_t TestHost::counter_now() {
  const std::int64_t now = HeadlessHost::counter_now();
  counter_ += counter_step_;
  return now;
}

}  // namespace platform::testing
