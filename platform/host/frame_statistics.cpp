#include "host/frame_statistics.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {

struct Counts {
  std::int64_t flipped = 0;
  std::int64_t shown = 0;
  std::chrono::steady_clock::time_point first_flip;
  std::chrono::steady_clock::time_point last_flip;
  bool line = false;
  // Microseconds between flips, kept only when a file is to receive them.
  std::vector<std::int64_t> intervals;
  std::string interval_log;
};

Counts& counts() {
  static Counts s_counts;
  return s_counts;
}

double process_cpu_seconds() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0.0;
  const auto seconds = [](const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void print_statistics() {
  const Counts& now = counts();
  FrameStatistics statistics;
  statistics.flipped = now.flipped;
  statistics.shown = now.shown;
  statistics.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - now.first_flip).count();
  statistics.cpu_seconds = process_cpu_seconds();
  std::fprintf(stderr, "%s\n", statistics_line(statistics).c_str());
}

void write_interval_log() {
  const Counts& now = counts();
  std::FILE* const file = std::fopen(now.interval_log.c_str(), "w");
  if (file == nullptr) return;
  for (const std::int64_t interval : now.intervals)
    std::fprintf(file, "%lld\n", static_cast<long long>(interval));
  std::fclose(file);
}

}  // namespace

std::string statistics_line(const FrameStatistics& statistics) {
  const double rate =
      statistics.seconds > 0.0 ? static_cast<double>(statistics.flipped) / statistics.seconds : 0.0;
  const double share = statistics.seconds > 0.0 ? 100.0 * statistics.cpu_seconds / statistics.seconds : 0.0;
  char line[256];
  std::snprintf(line, sizeof line,
                "hops: %lld frames in %.2f s (%.1f a second), %lld shown, CPU %.2f s (%.1f %% of one core)",
                static_cast<long long>(statistics.flipped), statistics.seconds, rate,
                static_cast<long long>(statistics.shown), statistics.cpu_seconds, share);
  return line;
}

void start_frame_statistics(bool line, const std::string& flip_log) {
  counts().line = line;
  counts().interval_log = flip_log;
}

void count_flip() {
  Counts& now = counts();
  const auto time = std::chrono::steady_clock::now();
  if (now.flipped++ == 0) {
    now.first_flip = time;
    if (now.line) std::atexit(print_statistics);
    if (!now.interval_log.empty()) {
      now.intervals.reserve(1 << 16);
      std::atexit(write_interval_log);
    }
  } else if (!now.interval_log.empty()) {
    now.intervals.push_back(
        std::chrono::duration_cast<std::chrono::microseconds>(time - now.last_flip).count());
  }
  now.last_flip = time;
}

void count_shown() { ++counts().shown; }

}  // namespace platform
