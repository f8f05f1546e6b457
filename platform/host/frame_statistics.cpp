#include "host/frame_statistics.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {
namespace {

struct Counts {
  std::int64_t flipped = 0;
  std::int64_t shown = 0;
  std::chrono::steady_clock::time_point first_flip;
  std::chrono::steady_clock::time_point last_flip;
  // Microseconds between flips, kept only when HOPS_FLIP_LOG names a file.
  std::vector<std::int64_t> intervals;
  const char* interval_log = nullptr;
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
  std::FILE* const file = std::fopen(now.interval_log, "w");
  if (file == nullptr) return;
  for (const std::int64_t interval : now.intervals)
    std::fprintf(file, "%lld\n", static_cast<long long>(interval));
  std::fclose(file);
}

bool statistics_requested() {
  const char* const wanted = std::getenv("HOPS_STATS");
  return wanted != nullptr && std::strcmp(wanted, "1") == 0;
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

void count_flip() {
  Counts& now = counts();
  const auto time = std::chrono::steady_clock::now();
  if (now.flipped++ == 0) {
    now.first_flip = time;
    if (statistics_requested()) std::atexit(print_statistics);
    now.interval_log = std::getenv("HOPS_FLIP_LOG");
    if (now.interval_log != nullptr) {
      now.intervals.reserve(1 << 16);
      std::atexit(write_interval_log);
    }
  } else if (now.interval_log != nullptr) {
    now.intervals.push_back(
        std::chrono::duration_cast<std::chrono::microseconds>(time - now.last_flip).count());
  }
  now.last_flip = time;
}

void count_shown() { ++counts().shown; }

}  // namespace platform
