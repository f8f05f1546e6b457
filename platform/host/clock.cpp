// The machine's clock as the hosts read it, and the rests of a polling thread.
#include <sys/prctl.h>

#include <chrono>
#include <thread>

#include "host/host.h"

namespace platform {

std::int64_t monotonic_ticks() {
  using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, kTicksPerSecond>>;
  return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

namespace {

// The kernel's default timer slack of 50 us would come on top of every
// sleep; it is taken away once per thread.
void tighten_timers() {
  thread_local const bool s_tight_timers = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
  static_cast<void>(s_tight_timers);
}

}  // namespace

void sleep_at_most(std::int64_t microseconds) {
  // The scheduler's own delay on a quiet machine.
  constexpr std::int64_t kWakeUpDelay = 30;
  tighten_timers();
  if (microseconds <= kWakeUpDelay) return;
  std::this_thread::sleep_for(std::chrono::microseconds(microseconds - kWakeUpDelay));
}

void nap() {
  tighten_timers();
  std::this_thread::sleep_for(std::chrono::microseconds(1));
}

}  // namespace platform
