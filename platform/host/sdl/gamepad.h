// Game controllers on the SDL2 host, through SDL's GameController API: every
// pad becomes the keyboard the game knows. The d-pad and the left stick are
// the Left and Right arrows, the south button (A, Cross) the space bar, Start
// the S key, Back (Select) Esc. They arrive as the keyboard's keys do,
// WM_KEYDOWN and WM_KEYUP through the queue, so GetKeyState and the game's
// own key handling cannot tell them apart; pads may come and go while the
// game runs.
#pragma once

#include <SDL.h>

#include <array>
#include <map>

namespace platform {

class Gamepads {
 public:
  // Starts SDL's game controller subsystem; without it no pad is ever seen.
  Gamepads();
  ~Gamepads();
  Gamepads(const Gamepads&) = delete;
  Gamepads& operator=(const Gamepads&) = delete;

  // Takes a controller event (a pad added or removed, a button, an axis) and
  // posts the keys it changes; false for an event that is not a pad's.
  bool handle(const SDL_Event& event);
  // Whether any pad is open: SDL learns of a pad's input only by polling.
  bool any() const { return !pads_.empty(); }

  // How far the stick must lean, of 32767, before it presses an arrow: worn
  // sticks rest a little off centre.
  static constexpr int kDeadZone = 12000;

 private:
  // Left, Right, Space, S, Esc: the keys a pad can press, each held by any
  // of its sources.
  static constexpr std::size_t kKeyCount = 5;
  enum Source : unsigned { kButton = 1, kStick = 2 };
  struct Pad {
    SDL_GameController* controller = nullptr;
    std::array<unsigned, kKeyCount> held{};
  };

  void open(int device_index);
  void close(SDL_JoystickID id);
  // Sets or clears one source of a key on one pad, posting the key's change
  // as all pads together hold it.
  void hold(SDL_JoystickID id, std::size_t key, Source source, bool on);
  bool held_by_any(std::size_t key) const;

  bool started_ = false;
  std::map<SDL_JoystickID, Pad> pads_;
};

}  // namespace platform
