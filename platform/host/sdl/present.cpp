#include "host/sdl/present.h"

#include <cstdio>
#include <string>

namespace platform {

bool Presentation::open(SDL_Window* window, bool vsync) {
  close();
  window_ = window;
  if (vsync && open_renderer(true)) return true;
  if (SDL_GetWindowSurface(window) != nullptr) return true;
  const std::string why = SDL_GetError();
  if (!vsync && open_renderer(false)) return true;
  std::fprintf(stderr,
               "hops: the game cannot be shown: its window has no pixels of its own (%s) and SDL's renderer "
               "does not start (%s)\n",
               why.c_str(), SDL_GetError());
  window_ = nullptr;
  return false;
}

bool Presentation::open_renderer(bool vsync) {
  const Uint32 wait = vsync ? static_cast<Uint32>(SDL_RENDERER_PRESENTVSYNC) : 0u;
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | wait);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE | wait);
  if (renderer_ == nullptr) return false;
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderPresent(renderer_);
  return true;
}

void Presentation::close() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  texture_ = nullptr;
  renderer_ = nullptr;
  texture_width_ = texture_height_ = 0;
  surface_ = nullptr;
  output_width_ = output_height_ = 0;
  redraw_all_ = true;
  window_ = nullptr;
}

void Presentation::draw(const FrameView& frame, const ChangedArea& changed) {
  if (window_ == nullptr || frame.pixels == nullptr) return;
  if (renderer_ != nullptr) {
    draw_with_renderer(frame, changed);
  } else {
    draw_on_window_pixels(frame, changed);
  }
}

void Presentation::convert_part(const FrameView& frame, const PictureRect& rect, const PictureRect& part) {
  converted_.resize(static_cast<std::size_t>(part.width) * static_cast<std::size_t>(part.height));
  // The same picture, its origin moved so that the part starts at the
  // buffer's first pixel.
  const PictureRect moved{rect.x - part.x, rect.y - part.y, rect.width, rect.height};
  scale_part(scale_, frame, converted_.data(), part.width * 4, moved,
             PictureRect{0, 0, part.width, part.height});
}

void Presentation::draw_on_window_pixels(const FrameView& frame, const ChangedArea& changed) {
  SDL_Surface* const surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr) return;
  const bool fresh =
      redraw_all_ || surface != surface_ || surface->w != output_width_ || surface->h != output_height_;
  if (fresh) {
    SDL_FillRect(surface, nullptr, 0);
    surface_ = surface;
    output_width_ = surface->w;
    output_height_ = surface->h;
    redraw_all_ = false;
  }
  const PictureRect rect = picture_rect(surface->w, surface->h, frame.width, frame.height, scale_);
  const std::vector<PictureRect> parts =
      parts_to_redraw(rect, frame.width, frame.height, fresh ? ChangedArea::everything() : changed, scale_);
  if (parts.empty()) return;
  const Uint32 format = surface->format->format;
  if ((format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888) && !SDL_MUSTLOCK(surface)) {
    for (const PictureRect& part : parts)
      scale_part(scale_, frame, static_cast<std::uint32_t*>(surface->pixels), surface->pitch, rect, part);
  } else {
    // Window pixels of another format: each part is drawn in 0x00RRGGBB of
    // its own and SDL converts it.
    SDL_LockSurface(surface);
    for (const PictureRect& part : parts) {
      convert_part(frame, rect, part);
      auto* const place = static_cast<std::uint8_t*>(surface->pixels) +
                          static_cast<std::ptrdiff_t>(part.y) * surface->pitch +
                          static_cast<std::ptrdiff_t>(part.x) * surface->format->BytesPerPixel;
      SDL_ConvertPixels(part.width, part.height, SDL_PIXELFORMAT_RGB888, converted_.data(), part.width * 4,
                        format, place, surface->pitch);
    }
    SDL_UnlockSurface(surface);
  }
  // A fresh window is put whole, bars too.
  if (fresh) {
    SDL_UpdateWindowSurface(window_);
    return;
  }
  put_.clear();
  for (const PictureRect& part : parts) put_.push_back(SDL_Rect{part.x, part.y, part.width, part.height});
  SDL_UpdateWindowSurfaceRects(window_, put_.data(), static_cast<int>(put_.size()));
}

bool Presentation::fit_texture(int width, int height) {
  if (texture_ != nullptr && texture_width_ == width && texture_height_ == height) return true;
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_width_ = texture_height_ = 0;
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (texture_ == nullptr) {
    std::fprintf(stderr, "SDL: no texture: %s\n", SDL_GetError());
    return false;
  }
  SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
  texture_width_ = width;
  texture_height_ = height;
  return true;
}

void Presentation::draw_with_renderer(const FrameView& frame, const ChangedArea& changed) {
  int output_width = 0;
  int output_height = 0;
  if (SDL_GetRendererOutputSize(renderer_, &output_width, &output_height) != 0) return;
  const PictureRect rect = picture_rect(output_width, output_height, frame.width, frame.height, scale_);
  if (rect.width <= 0 || rect.height <= 0) return;
  const bool fresh = redraw_all_ || texture_width_ != rect.width || texture_height_ != rect.height ||
                     output_width != output_width_ || output_height != output_height_;
  if (!fit_texture(rect.width, rect.height)) return;
  output_width_ = output_width;
  output_height_ = output_height;
  redraw_all_ = false;
  // The texture holds the picture alone, 1:1 with the output's pixels.
  const PictureRect picture{0, 0, rect.width, rect.height};
  const std::vector<PictureRect> parts = parts_to_redraw(picture, frame.width, frame.height,
                                                         fresh ? ChangedArea::everything() : changed, scale_);
  if (parts.empty()) return;
  for (const PictureRect& part : parts) {
    convert_part(frame, picture, part);
    const SDL_Rect place{part.x, part.y, part.width, part.height};
    SDL_UpdateTexture(texture_, &place, converted_.data(), part.width * 4);
  }
  // A picture covering the whole output needs no clearing, and clearing a
  // whole frame costs as much as drawing one.
  if (rect.width != output_width || rect.height != output_height) SDL_RenderClear(renderer_);
  const SDL_Rect target{rect.x, rect.y, rect.width, rect.height};
  SDL_RenderCopy(renderer_, texture_, nullptr, &target);
  SDL_RenderPresent(renderer_);
}

}  // namespace platform
