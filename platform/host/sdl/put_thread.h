// Hands a window's pixels to the display on a thread of its own. Putting
// the pixels on an X display waits for the X server to have read them (SDL
// syncs after each put), and a busy server can take milliseconds: the game's
// thread never waits for that. It draws the next picture into the window's
// pixels only once the last put is done (idle), then asks for the put and
// goes on at once. A costly drawing (a smoothed scale) is made on that
// thread too, from a copy of the frame.
#pragma once

#include <SDL.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

class PutThread {
 public:
  PutThread();
  ~PutThread();
  PutThread(const PutThread&) = delete;
  PutThread& operator=(const PutThread&) = delete;

  // True when no put is pending or under way: the window's pixels are free.
  bool idle();
  // Waits until idle; before the window or its pixels change or go away.
  void wait_until_idle();
  // Puts the `changed` rectangles of the window's pixels (the whole window
  // when there are none), after drawing them with `draw` on the presenting
  // thread when given.
  void put(SDL_Window* window, std::vector<SDL_Rect> changed, std::function<void()> draw = {});

 private:
  void run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  SDL_Window* window_ = nullptr;
  std::function<void()> draw_;
  std::vector<SDL_Rect> changed_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace platform
