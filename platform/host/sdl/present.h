// The picture on the game's window: the newest frame scaled by the
// platform's own kernels (host/picture_scaling.h) into its place, black bars
// around it, and handed to the display in one of two ways. Straight in the
// window's own pixels (X's shared memory, no renderer in between: on a
// display without a GPU a renderer is a software rasteriser costing ten
// times as much). Or, where the window has no pixels of its own (Wayland) or
// every frame must wait for the display's refresh, through SDL's renderer
// from a texture of the picture's size, copied 1:1. Either way the screen
// shows the same pixels, and only the parts of the picture that changed
// since the frame drawn before are drawn again and handed to the display.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "host/host.h"
#include "host/picture_scaling.h"

namespace platform {

class Presentation {
 public:
  explicit Presentation(ScaleMode scale) : scale_(scale) {}
  ~Presentation() { close(); }
  Presentation(const Presentation&) = delete;
  Presentation& operator=(const Presentation&) = delete;

  // Takes the window to draw on: through the renderer first when each
  // frame must wait for the refresh, else the window's pixels first. False,
  // the reason on standard error, when neither way works there.
  bool open(SDL_Window* window, bool vsync);
  void close();
  // The window changed size or lost what it showed: the next frame is
  // drawn on all of it, bars too.
  void invalidate() { redraw_all_ = true; }
  // Draws what changed of the frame since the one drawn before and hands
  // that to the display: all of it the first time, after invalidate() or
  // when the window's pixels or size changed; nothing when nothing changed.
  void draw(const FrameView& frame, const ChangedArea& changed);

 private:
  bool open_renderer(bool vsync);
  void draw_on_window_pixels(const FrameView& frame, const ChangedArea& changed);
  void draw_with_renderer(const FrameView& frame, const ChangedArea& changed);
  // `part` of the picture scaled into `rect`, drawn into converted_ alone.
  void convert_part(const FrameView& frame, const PictureRect& rect, const PictureRect& part);
  bool fit_texture(int width, int height);

  const ScaleMode scale_;
  SDL_Window* window_ = nullptr;

  bool redraw_all_ = true;
  // The window's pixels, or the renderer's output, as last drawn on: a new
  // surface, or one of a new size, is cleared whole and drawn whole.
  SDL_Surface* surface_ = nullptr;
  int output_width_ = 0;
  int output_height_ = 0;
  // A part of the picture, for window pixels of a format other than
  // 0x00RRGGBB and for the renderer's texture.
  std::vector<std::uint32_t> converted_;
  // The window's rectangles handed to the display, kept between frames.
  std::vector<SDL_Rect> put_;

  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int texture_width_ = 0;
  int texture_height_ = 0;
};

}  // namespace platform
