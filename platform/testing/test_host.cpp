#include "testing/test_host.h"

namespace platform::testing {

void TestHost::present(const FrameView& frame, const ChangedArea& changed) {
  HeadlessHost::present(frame, changed);
  frame_ = frame;
  changes_ = changed;
  ++flip_count_;
  if (on_flip_) on_flip_(flip_count_);
}

void TestHost::rest() {
  ++rest_count_;
  if (!rests_move_clock_) return;
  const std::int64_t ticks = rest_planner_.rest_ticks(counter_);
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
