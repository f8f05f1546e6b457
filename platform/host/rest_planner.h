// How long a thread polling an idle queue may rest without making the
// game's next frame late. The game keeps its own timer and never says when
// its next frame falls due, but the platform sees it at work: the first
// counter reading after a poll of the queue is the game asking whether a
// frame is due, and when a flip follows, that reading was the start of the
// frame. Frames start at a steady pace, and the shortest of the recent
// intervals between starts is that pace (a frame started late only lengthens
// an interval). Before the next frame is expected the thread rests until a
// moment before it (input, which ends a rest at once, aside); from then until
// it starts the thread only polls. A frame found due as the thread wakes may
// have been due for a while: the thread wakes twice as early before the next,
// and so on, until it polls before one again. That way a pace learnt while
// frames came slowly (a long stall) is unlearnt within a few frames, and does
// not keep the frames as slow. While the pace is not known yet, or when a
// frame is a rest late, the thread rests kLongestRestMicroseconds at a time.
// Times are counter ticks.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

class RestPlanner {
 public:
  // ticks_per_microsecond: the counter's frequency / 1,000,000.
  explicit RestPlanner(std::int64_t ticks_per_microsecond);

  // The program read the counter.
  void counter_read(std::int64_t now) {
    if (!polled_) return;
    polled_ = false;
    first_read_ = now;
  }
  // The program polled its queue.
  void polled() { polled_ = true; }
  // A frame was flipped; it started at the first counter reading since the
  // last poll (or now, for a program that flips without reading it).
  void flipped(std::int64_t now);
  // Ticks the thread may rest from `now`: until a moment before the next
  // frame is expected; 0 while a frame is about due, and the thread only
  // polls.
  std::int64_t rest_ticks(std::int64_t now);
  // When the next frame is expected to start: the last start and the pace
  // (the shortest of the recent intervals); INT64_MIN (it may come at once)
  // while the pace is not known.
  std::int64_t next_start() const { return next_start_; }

 private:
  static constexpr std::size_t kIntervals = 32;
  std::int64_t longest_rest_;
  std::int64_t base_wake_margin_;
  std::int64_t wake_margin_;
  // The thread's last rest ended before the frame was expected.
  bool rested_ = false;
  bool polled_ = true;
  std::int64_t first_read_ = 0;
  bool flipped_ = false;
  std::int64_t last_start_ = 0;
  std::int64_t next_start_ = INT64_MIN;
  std::size_t known_intervals_ = 0;
  std::size_t next_slot_ = 0;
  std::array<std::int64_t, kIntervals> intervals_{};
};

}  // namespace platform
