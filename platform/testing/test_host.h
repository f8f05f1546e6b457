// The host the tests install: the headless one, with a counter of its own
// that moves only when told (by a step at each reading, or by the rests a
// polling thread takes, if asked), the flipped frames counted and the last
// one kept, a call at each flip, and the message boxes kept.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/headless/headless_host.h"

namespace platform::testing {

struct MessageBoxRecord {
  std::string text;
  std::string caption;
};

class TestHost final : public HeadlessHost {
 public:
  void present(const FrameView& frame, const ChangedArea& changed) override;
  // Posts the keys whose time has come.
  void pump_events() override;
  void forget_frame() override { frame_ = FrameView{}; }
  // The clock stands still, unless rests move it as far as a sleeping
  // thread would see it move.
  void rest() override;
  void message_box(const std::string& text, const std::string& caption) override;
  std::int64_t counter_now() override;

  void set_counter(std::int64_t value) { counter_ = value; }
  void set_counter_step(std::int64_t ticks) { counter_step_ = ticks; }
  void set_rests_move_clock(bool move) { rests_move_clock_ = move; }
  void press_key_at(std::int64_t ticks, int virtual_key);
  int rest_count() const { return rest_count_; }
  std::int64_t rested_ticks() const { return rested_ticks_; }
  std::int64_t counter() const { return counter_; }
  int flip_count() const { return flip_count_; }
  const FrameView& last_frame() const { return frame_; }
  // Where the last flip changed the screen.
  const ChangedArea& last_changes() const { return changes_; }
  void on_flip(std::function<void(int)> callback) { on_flip_ = std::move(callback); }
  // The most recent kKeptMessageBoxes boxes, oldest first: a long run (a
  // fuzzer's millions of loads) keeps no more than that.
  static constexpr std::size_t kKeptMessageBoxes = 64;
  const std::vector<MessageBoxRecord>& message_boxes() const { return message_boxes_; }
  void clear_message_boxes() { message_boxes_.clear(); }

 private:
  std::int64_t ticks() const override { return counter_; }

  std::int64_t counter_ = 0;
  std::int64_t counter_step_ = 0;
  bool rests_move_clock_ = false;
  int rest_count_ = 0;
  std::int64_t rested_ticks_ = 0;
  int flip_count_ = 0;
  FrameView frame_;
  ChangedArea changes_;
  std::function<void(int)> on_flip_;
  // Keys to come, soonest first.
  std::vector<std::pair<std::int64_t, int>> keys_to_come_;
  std::vector<MessageBoxRecord> message_boxes_;
};

}  // namespace platform::testing
