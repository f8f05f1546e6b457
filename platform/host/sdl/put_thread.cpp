#include "host/sdl/put_thread.h"

namespace platform {

PutThread::PutThread() : thread_([this] { run(); }) {}

PutThread::~PutThread() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

bool PutThread::idle() {
  const std::lock_guard lock(mutex_);
  return !busy_;
}

void PutThread::wait_until_idle() {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return !busy_; });
}

void PutThread::put(SDL_Window* window, std::vector<SDL_Rect> changed, std::function<void()> draw) {
  {
    const std::lock_guard lock(mutex_);
    window_ = window;
    draw_ = std::move(draw);
    changed_ = std::move(changed);
    busy_ = true;
  }
  wake_.notify_one();
}

void PutThread::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return busy_ || stopping_; });
    if (stopping_) return;
    SDL_Window* const window = window_;
    const std::vector<SDL_Rect> changed = std::move(changed_);
    const std::function<void()> draw = std::move(draw_);
    draw_ = nullptr;
    lock.unlock();
    if (draw) draw();
    if (changed.empty()) {
      SDL_UpdateWindowSurface(window);
    } else {
      SDL_UpdateWindowSurfaceRects(window, changed.data(), static_cast<int>(changed.size()));
    }
    lock.lock();
    busy_ = false;
    done_.notify_all();
  }
}

}  // namespace platform
