// When a host with a display shows the frames the game flips: the newest
// flipped frame, at most once per display refresh. A flip only leaves its
// frame in a one-frame mailbox (replacing one still waiting there, which is
// dropped unseen) and returns; the host's next poll shows the waiting frame
// once the display is ready for a new picture, or at once when the display
// will be ready before the game's next frame comes, with what changed since
// the frame shown before it (the changes of the frames dropped in between
// added up). Times are counter ticks.
#pragma once

#include <cstdint>
#include <functional>

#include "host/host.h"

namespace platform {

class FramePacer {
 public:
  using Show = std::function<void(const FrameView&, const ChangedArea&)>;

  // refresh_ticks: one display refresh; show puts a frame on the screen.
  FramePacer(std::int64_t refresh_ticks, Show show) : refresh_ticks_(refresh_ticks), show_(std::move(show)) {}

  void set_refresh_ticks(std::int64_t ticks) { refresh_ticks_ = ticks; }
  // A new frame was flipped, `changed` where it differs from the frame
  // flipped before it; never shows it from here.
  void flipped(const FrameView& frame, const ChangedArea& changed) {
    newest_ = frame;
    changed_.add(changed);
    waiting_ = true;
  }
  // The newest frame's memory goes away (its surface is being destroyed):
  // the next frame is shown whole.
  void forget() {
    newest_ = FrameView{};
    changed_ = ChangedArea::everything();
    waiting_ = false;
  }
  // Shows the waiting frame if the display is ready for it at `now`, or will
  // be before `next_flip` (when the game's next frame is expected): the
  // refresh would show this frame then, and the thread need not wake for it.
  // The next may follow one refresh after this one was due, so a late poll
  // does not shift the rhythm, but never sooner than one refresh after a stall.
  void poll(std::int64_t now, std::int64_t next_flip);
  // Ticks from `now` until the waiting frame falls due: 0 when it is due,
  // -1 when none waits.
  std::int64_t ticks_until_due(std::int64_t now) const;
  // The frame last flipped, shown or not (a window's repaint shows it again).
  const FrameView& newest() const { return newest_; }

 private:
  std::int64_t refresh_ticks_;
  Show show_;
  FrameView newest_;
  ChangedArea changed_ = ChangedArea::everything();
  std::int64_t next_show_ = INT64_MIN;
  bool waiting_ = false;
};

}  // namespace platform
