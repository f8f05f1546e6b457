// The browser host: what the flipped frames changed drawn on the page's
// canvas as they are flipped, as often as the display refreshes; keys from
// the page's key events and gamepads, rests that give the page back to the
// browser until the next frame is due, message boxes drawn over the canvas
// and modal to the game, the counter on the browser's clock.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "host/host.h"
#include "host/rest_planner.h"
#include "user32/message_box_picture.h"

namespace platform {

class WebHost final : public Host {
 public:
  // Listens to the page's keys, focus, pointer and animation frames.
  WebHost();
  WebHost(const WebHost&) = delete;
  WebHost& operator=(const WebHost&) = delete;

  // The browser's clock, in microseconds.
  std::int64_t counter_frequency() override { return kTicksPerSecond; }
  std::int64_t counter_now() override;
  // Draws what changed on the canvas, at once when a refresh has passed
  // since the last drawing, else when a later flip or a rest finds one has.
  void present(const FrameView& frame, const ChangedArea& changed) override;
  void forget_frame() override;
  // The page's events arrive between rests and are posted as they come.
  void pump_events() override { rest_planner_.polled(); }
  // Gives the page back to the browser until the game's next frame is due.
  void rest() override;
  // Drawn over the canvas; returns when Enter, Space or Esc is let go or OK
  // clicked, the game's keys let go meanwhile posted after it.
  void message_box(const std::string& text, const std::string& caption) override;
  // The page's canvas stands for the one window the game shows.
  void show_window(HWND, int, int) override {}
  void destroy_window(HWND) override {}

  // The game's WinMain returned: the page is told, and nothing more is drawn.
  void game_ended(int exit_code);

  // From the page's events (the browser calls these between rests).
  bool key(int key_code, bool down, bool repeat, bool alt, bool command);
  void lose_focus();
  bool pointer(bool down, double x, double y);
  void animation_frame(double time_ms);

 private:
  // How long a rest may last, whatever the planner expects.
  static constexpr std::int64_t kLongestSleepTicks = kTicksPerSecond / 50;

  struct ModalBox {
    MessageBoxPicture picture;
    POINT at{};
    int armed_key = 0;
    bool armed_click = false;
    bool done = false;
    std::vector<int> keys_let_go;
  };

  // A key for the game, or for the box while one is up.
  void game_key(int key_code, bool down, bool repeat);
  void box_key(int key_code, bool down, bool repeat);
  // Keys the gamepads pressed or let go since they were last polled.
  void poll_gamepads();
  void sleep(std::int64_t ticks);
  // Times the display's refresh over the next animation frames, unless
  // that is under way.
  void time_refresh();
  // Draws the frame waiting to be drawn if a refresh has passed since the
  // last drawing.
  void draw_when_due(double now_ms);
  // Draws on the canvas what the newest frame (black without one) and the
  // box over it changed since it was last drawn.
  void draw_changes();
  void count_shown_frame();
  void report_statistics(bool final_line);

  RestPlanner rest_planner_{kTicksPerMicrosecond};
  FrameView newest_;
  // Where the canvas differs from the newest frame and the box.
  ChangedArea undrawn_;
  // A frame waits for its turn to be drawn.
  bool fresh_ = false;
  double next_draw_ms_ = 0.0;
  // The display's refresh interval, as the animation frames last came.
  double refresh_ms_ = 1000.0 / 60.0;
  bool timing_refresh_ = false;
  double last_animation_frame_ms_ = 0.0;
  std::vector<double> frame_gaps_;
  double next_refresh_timing_ms_ = 0.0;
  bool ended_ = false;
  std::vector<std::uint32_t> canvas_;
  int canvas_width_ = 0;
  int canvas_height_ = 0;
  double next_pad_poll_ms_ = 0.0;
  std::vector<int> keys_down_;
  std::vector<int> host_keys_down_;
  std::vector<int> pad_keys_;
  std::optional<ModalBox> box_;
  // Statistics, when the page asks for them.
  bool statistics_ = false;
  std::int64_t flipped_ = 0;
  std::int64_t shown_ = 0;
  double first_flip_ms_ = 0.0;
  double busy_ms_ = 0.0;
  double resumed_ms_ = 0.0;
  double next_report_ms_ = 0.0;
};

}  // namespace platform
