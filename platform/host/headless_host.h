// The host without a window: frames stay in memory, message boxes go to
// standard error and a list, and the clock is monotonic or virtual.
#pragma once

#include <functional>
#include <vector>

#include "host/host.h"
#include "host/rest_planner.h"

namespace platform {

class HeadlessHost final : public Host {
 public:
  struct MessageBoxRecord {
    std::string text;
    std::string caption;
  };

  // A virtual clock starts at 0 and moves only when told (or by its step).
  explicit HeadlessHost(bool virtual_clock);

  void present(const FrameView& frame) override;
  void forget_frame() override;
  void pump_events() override { rest_planner_.polled(); }
  // On the real clock the thread sleeps as long as its planner allows; the
  // virtual clock stands still unless a test asks for rests to move it, as
  // a sleeping thread would see it move.
  void rest() override;
  void show_window(HWND, int, int) override {}
  void destroy_window(HWND) override {}
  void message_box(const std::string& text, const std::string& caption) override;
  std::int64_t counter_frequency() override;
  std::int64_t counter_now() override;

  void set_counter(std::int64_t value) { counter_ = value; }
  void set_counter_step(std::int64_t ticks) { counter_step_ = ticks; }
  void set_rests_move_clock(bool move) { rests_move_clock_ = move; }
  int rest_count() const { return rest_count_; }
  std::int64_t rested_ticks() const { return rested_ticks_; }
  std::int64_t counter() const { return counter_; }
  int flip_count() const { return flip_count_; }
  const FrameView& last_frame() const { return frame_; }
  void on_flip(std::function<void(int)> callback) { on_flip_ = std::move(callback); }
  // The most recent kKeptMessageBoxes boxes, oldest first: a long run (a
  // fuzzer's millions of loads) keeps no more than that.
  static constexpr std::size_t kKeptMessageBoxes = 64;
  const std::vector<MessageBoxRecord>& message_boxes() const { return message_boxes_; }
  void clear_message_boxes() { message_boxes_.clear(); }

 private:
  static constexpr std::int64_t kCounterTicksPerMicrosecond = 10;
  // The counter's value without a virtual clock's step.
  std::int64_t time_now() const;

  bool virtual_clock_;
  std::int64_t counter_ = 0;
  std::int64_t counter_step_ = 0;
  bool rests_move_clock_ = false;
  int rest_count_ = 0;
  std::int64_t rested_ticks_ = 0;
  int flip_count_ = 0;
  FrameView frame_;
  std::function<void(int)> on_flip_;
  std::vector<MessageBoxRecord> message_boxes_;
  RestPlanner rest_planner_{kCounterTicksPerMicrosecond};
};

}  // namespace platform
