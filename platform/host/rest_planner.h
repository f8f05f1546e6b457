// How long a thread polling an idle queue may rest without making the
// game's next frame late. The game keeps its own timer and never says when
// its next frame falls due, but it flips at a steady pace: the shortest of
// the recent intervals between flips is that pace (a frame checked late only
// lengthens an interval). Before the next frame is expected the thread
// rests, at most kLongestRestMicroseconds at a time; from a moment before
// it is expected until it comes (or a rest later, when it does not) the
// thread only polls. Times are counter ticks.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

class RestPlanner {
 public:
  // ticks_per_microsecond: the counter's frequency / 1,000,000.
  explicit RestPlanner(std::int64_t ticks_per_microsecond);

  void flipped(std::int64_t now);
  // Ticks the thread may rest from `now`; 0 while a frame is about due.
  std::int64_t rest_ticks(std::int64_t now) const;

 private:
  static constexpr std::size_t kIntervals = 32;
  std::int64_t longest_rest_;
  std::int64_t wake_margin_;
  bool flipped_ = false;
  std::int64_t last_flip_ = 0;
  std::size_t known_intervals_ = 0;
  std::size_t next_slot_ = 0;
  std::array<std::int64_t, kIntervals> intervals_{};
};

}  // namespace platform
