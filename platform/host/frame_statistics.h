// Counts of the frames the game flips and the hosts show, and what is
// reported about them when the process ends: a line on standard error, the
// times between flips into a file, as the settings ask.
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

// Called once at start-up: the line at exit when `line` is true, the
// microseconds between flips into the file `flip_log` names unless empty.
void start_frame_statistics(bool line, const std::string& flip_log);
// Called by Flip for every frame handed to the host; the first one starts
// the wall clock and arranges for the reports at exit.
void count_flip();
// Called by a host for every frame that reached the screen.
void count_shown();

}  // namespace platform
