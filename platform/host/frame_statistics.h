// Counts of the frames the game flips and the hosts show, and the line
// HOPS_STATS=1 prints about them to standard error when the process ends.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct FrameStatistics {
  std::int64_t flipped = 0;
  std::int64_t shown = 0;
  double seconds = 0.0;      // wall time from the first flip
  double cpu_seconds = 0.0;  // the whole process's
};

// "hops: F frames in S s (R a second), P shown, CPU C s (U % of one core)"
std::string statistics_line(const FrameStatistics& statistics);

// Called by Flip for every frame handed to the host; the first one starts
// the wall clock and, under HOPS_STATS=1, arranges for the line at exit.
void count_flip();
// Called by a host for every frame that reached the screen.
void count_shown();

}  // namespace platform
