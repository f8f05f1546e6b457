// The seam between the platform layer and the machine: one interface, a
// host with a window on the display (its backend chosen by the build, one
// folder each below host/) or the headless one, chosen once at start-up.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ddraw/pixels.h"
#include "host/changed_area.h"
#include "host/settings.h"

namespace platform {

// Pixels of the primary surface as the last Flip left them; a host reads
// them and never writes.
using FrameView = PixelView;

// The counter hosts give QueryPerformanceCounter: 100 ns ticks, a frequency
// that a pace of 100 frames a second divides exactly.
inline constexpr std::int64_t kTicksPerSecond = 10'000'000;
inline constexpr std::int64_t kTicksPerMicrosecond = kTicksPerSecond / 1'000'000;
// The monotonic clock in those ticks.
std::int64_t monotonic_ticks();

// The rest of a polling thread that does not know when it will be needed:
// a due frame or a key waits at most this long.
inline constexpr std::int64_t kLongestRestMicroseconds = 1000;
// Sleeps the thread for up to `microseconds`, less the wake-up delay the
// kernel adds, so the rest as the thread sees it stays within its bound.
void sleep_at_most(std::int64_t microseconds);
// The shortest sleep the kernel gives: a thread waiting for a frame about
// due naps instead of spinning, starting it late by a wake-up at most.
void nap();

class Host {
 public:
  virtual ~Host() = default;

  // Called by each Flip with the screen's new contents and where they
  // differ from the frame flipped before; the view stays valid until the
  // next present or until the primary surface goes away. Returns at once: a
  // host with a display shows the newest frame when the display can take one
  // (from pump_events or rest), dropping the others, and redraws only what
  // changed since the frame it showed last.
  virtual void present(const FrameView& frame, const ChangedArea& changed) = 0;
  // Forgets the last frame (the primary surface is being destroyed).
  virtual void forget_frame() = 0;
  // Turns pending machine events into posted window messages; called by
  // PeekMessageA before it looks at the queue. Never blocks.
  virtual void pump_events() = 0;
  // Called by PeekMessageA when the game keeps finding the queue empty: the
  // thread may sleep until the next frame is due (or a waiting frame is to
  // be shown), ending the rest at once when input arrives.
  virtual void rest() {}
  // Shows a window of this size; hidden windows have no host presence.
  virtual void show_window(HWND hwnd, int width, int height) = 0;
  virtual void destroy_window(HWND hwnd) = 0;
  // Text and caption in UTF-8. Modal where the host has a screen.
  virtual void message_box(const std::string& text, const std::string& caption) = 0;
  virtual std::int64_t counter_frequency() = 0;
  virtual std::int64_t counter_now() = 0;
};

// The host with a window on the display, from the build's display backend;
// null, the reason and the way out written to standard error, when it
// cannot start (no display: never a silent fallback).
std::unique_ptr<Host> make_display_host(const Settings& settings);

// Starts the host the settings choose, and the frame statistics they ask
// for; false when the host cannot start. Called once, before the program
// touches the platform.
bool start_host(const Settings& settings);
// The host in use. A program that never started or installed one is ended
// here with exit code 1.
Host& host();
// Makes `replacement` the host, ending the one before it (start_host
// installs the one it chose; tests install one with a clock of their own).
void install_host(std::unique_ptr<Host> replacement);

}  // namespace platform
