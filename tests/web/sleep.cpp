// Under Node the headless host's real clock rests here: a plain sleep, as
// the machine has no timer slack to take away.
#include <thread>

#include "host/host.h"

namespace platform {

void sleep_at_most(std::int64_t microseconds) {
  if (microseconds > 0) std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

}  // namespace platform
