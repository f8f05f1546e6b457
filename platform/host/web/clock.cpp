// The clock of the browser build. A page never blocks its thread: the
// browser host rests by handing the page back to the browser (web_host.cpp).
// The sleeps here serve the headless host alone, which only the tests run,
// under Node.js, where a thread may sleep.
#include <chrono>
#include <thread>

#include "host/host.h"

namespace platform {

std::int64_t monotonic_ticks() {
  using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, kTicksPerSecond>>;
  return std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleep_at_most(std::int64_t microseconds) {
  if (microseconds > 0) std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

void nap() { std::this_thread::yield(); }

}  // namespace platform
