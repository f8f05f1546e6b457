// The host without a window: frames stay in memory, message boxes go to
// standard error, the counter is the monotonic clock, and a thread polling
// an idle queue sleeps as long as its rest planner allows.
#pragma once

#include "host/host.h"
#include "host/rest_planner.h"

namespace platform {

class HeadlessHost : public Host {
 public:
  void present(const FrameView& frame, const ChangedArea& changed) override;
  void forget_frame() override {}
  void pump_events() override { rest_planner_.polled(); }
  void rest() override;
  void show_window(HWND, int, int) override {}
  void destroy_window(HWND) override {}
  void message_box(const std::string& text, const std::string& caption) override;
  std::int64_t counter_frequency() override { return kTicksPerSecond; }
  std::int64_t counter_now() override;

 protected:
  // The counter's value; a host made for tests keeps a clock of its own.
  virtual std::int64_t ticks() const { return monotonic_ticks(); }

  RestPlanner rest_planner_{kTicksPerMicrosecond};
};

}  // namespace platform
