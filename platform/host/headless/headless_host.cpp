#include "host/headless/headless_host.h"

#include <cstdio>

#include "host/frame_statistics.h"

namespace platform {

void HeadlessHost::present(const FrameView&, const ChangedArea&) {
  rest_planner_.flipped(ticks());
  count_shown();
}

void HeadlessHost::rest() { sleep_at_most(rest_planner_.rest_ticks(ticks()) / kTicksPerMicrosecond); }

void HeadlessHost::message_box(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "MessageBox [%s]: %s\n", caption.c_str(), text.c_str());
}

std::int64_t HeadlessHost::counter_now() {
  const std::int64_t now = ticks();
  rest_planner_.counter_read(now);
  return now;
}

}  // namespace platform
