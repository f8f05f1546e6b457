// The blit kernels through IDirectDrawSurface7::Blt, each beside SDL2 doing the
// same work on the same pixels at its best (RLE for colour keys,
// SDL_BlitScaled for stretches) and beside memcpy of the destination's bytes.
#include <cstring>
#include <vector>

#include "bench_support.h"

namespace {

constexpr int kScreenW = 1024;
constexpr int kScreenH = 768;

struct Screens {
  IDirectDrawSurface7* ours = bench::make_surface(kScreenW, kScreenH, bench::opaque, false);
  SDL_Surface* sdl = bench::make_sdl_surface(kScreenW, kScreenH, bench::opaque, false, false);
};

Screens& screens() {
  static Screens s_screens;
  return s_screens;
}

void BltOurs(benchmark::State& state, IDirectDrawSurface7* source, RECT dest, DWORD flags) {
  IDirectDrawSurface7* back = screens().ours;
  for (auto _ : state) {
    benchmark::DoNotOptimize(back->Blt(&dest, source, nullptr, flags, nullptr));
    benchmark::ClobberMemory();
  }
}

// A blit that covers a whole surface with every pixel of another is only
// noted until the pixels are needed; locking the screen after each blit,
// as reading it would, makes every copy really happen.
void BltOursAndLock(benchmark::State& state, IDirectDrawSurface7* source, RECT dest, DWORD flags) {
  IDirectDrawSurface7* back = screens().ours;
  DDSURFACEDESC2 ddsd = {};
  ddsd.dwSize = sizeof(ddsd);
  for (auto _ : state) {
    benchmark::DoNotOptimize(back->Blt(&dest, source, nullptr, flags, nullptr));
    benchmark::DoNotOptimize(back->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr));
    back->Unlock(nullptr);
    benchmark::ClobberMemory();
  }
}

void BltSdl(benchmark::State& state, SDL_Surface* source, SDL_Rect dest, bool scaled) {
  SDL_Surface* back = screens().sdl;
  for (auto _ : state) {
    SDL_Rect rect = dest;
    benchmark::DoNotOptimize(scaled ? SDL_BlitScaled(source, nullptr, back, &rect)
                                    : SDL_BlitSurface(source, nullptr, back, &rect));
    benchmark::ClobberMemory();
  }
}

void Memcpy(benchmark::State& state, std::size_t bytes) {
  std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

constexpr DWORD kKeyed = DDBLT_WAIT | DDBLT_KEYSRC;

// Full screen, opaque.
void ours_opaque_fullscreen(benchmark::State& state) {
  static IDirectDrawSurface7* s_picture = bench::make_surface(kScreenW, kScreenH, bench::opaque, false);
  BltOursAndLock(state, s_picture, {0, 0, kScreenW, kScreenH}, DDBLT_WAIT);
}
void sdl_opaque_fullscreen(benchmark::State& state) {
  static SDL_Surface* s_picture = bench::make_sdl_surface(kScreenW, kScreenH, bench::opaque, false, false);
  BltSdl(state, s_picture, {0, 0, kScreenW, kScreenH}, false);
}
void memcpy_opaque_fullscreen(benchmark::State& state) { Memcpy(state, kScreenW * kScreenH * 4); }
BENCHMARK(ours_opaque_fullscreen)->Name("ours/opaque_fullscreen");
BENCHMARK(sdl_opaque_fullscreen)->Name("sdl/opaque_fullscreen");
BENCHMARK(memcpy_opaque_fullscreen)->Name("memcpy/opaque_fullscreen");

// Full screen with a third keyed: the play field over the sky.
void ours_keyed_fullscreen(benchmark::State& state) {
  static IDirectDrawSurface7* s_picture = bench::make_surface(kScreenW, kScreenH, bench::play_field, true);
  BltOursAndLock(state, s_picture, {0, 0, kScreenW, kScreenH}, kKeyed);
}
void sdl_keyed_fullscreen(benchmark::State& state) {
  static SDL_Surface* s_picture = bench::make_sdl_surface(kScreenW, kScreenH, bench::play_field, true, true);
  BltSdl(state, s_picture, {0, 0, kScreenW, kScreenH}, false);
}
BENCHMARK(ours_keyed_fullscreen)->Name("ours/keyed_fullscreen");
BENCHMARK(sdl_keyed_fullscreen)->Name("sdl/keyed_fullscreen");
BENCHMARK(memcpy_opaque_fullscreen)->Name("memcpy/keyed_fullscreen");

// The game's first two blits of a frame: the opaque sky over the whole
// screen, then the play field keyed over it.
void ours_sky_then_field(benchmark::State& state) {
  static IDirectDrawSurface7* s_sky = bench::make_surface(kScreenW, kScreenH, bench::opaque, true);
  static IDirectDrawSurface7* s_field = bench::make_surface(kScreenW, kScreenH, bench::play_field, true);
  IDirectDrawSurface7* back = screens().ours;
  RECT screen = {0, 0, kScreenW, kScreenH};
  DDSURFACEDESC2 ddsd = {};
  ddsd.dwSize = sizeof(ddsd);
  for (auto _ : state) {
    benchmark::DoNotOptimize(back->Blt(&screen, s_sky, nullptr, kKeyed, nullptr));
    benchmark::DoNotOptimize(back->Blt(&screen, s_field, nullptr, kKeyed, nullptr));
    benchmark::DoNotOptimize(back->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr));
    back->Unlock(nullptr);
    benchmark::ClobberMemory();
  }
}
void sdl_sky_then_field(benchmark::State& state) {
  static SDL_Surface* s_sky = bench::make_sdl_surface(kScreenW, kScreenH, bench::opaque, true, true);
  static SDL_Surface* s_field = bench::make_sdl_surface(kScreenW, kScreenH, bench::play_field, true, true);
  SDL_Surface* back = screens().sdl;
  for (auto _ : state) {
    SDL_Rect screen = {0, 0, kScreenW, kScreenH};
    benchmark::DoNotOptimize(SDL_BlitSurface(s_sky, nullptr, back, &screen));
    screen = {0, 0, kScreenW, kScreenH};
    benchmark::DoNotOptimize(SDL_BlitSurface(s_field, nullptr, back, &screen));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(ours_sky_then_field)->Name("ours/sky_then_field");
BENCHMARK(sdl_sky_then_field)->Name("sdl/sky_then_field");
BENCHMARK(memcpy_opaque_fullscreen)->Name("memcpy/sky_then_field");

// Keyed sprites: the player figure and a bullet.
void ours_sprite_91x150(benchmark::State& state) {
  static IDirectDrawSurface7* s_picture = bench::make_surface(91, 150, bench::figure, true);
  BltOurs(state, s_picture, {80, 550, 171, 700}, kKeyed);
}
void sdl_sprite_91x150(benchmark::State& state) {
  static SDL_Surface* s_picture = bench::make_sdl_surface(91, 150, bench::figure, true, true);
  BltSdl(state, s_picture, {80, 550, 91, 150}, false);
}
void memcpy_sprite_91x150(benchmark::State& state) { Memcpy(state, 91 * 150 * 4); }
BENCHMARK(ours_sprite_91x150)->Name("ours/sprite_91x150");
BENCHMARK(sdl_sprite_91x150)->Name("sdl/sprite_91x150");
BENCHMARK(memcpy_sprite_91x150)->Name("memcpy/sprite_91x150");

void ours_sprite_16x32(benchmark::State& state) {
  static IDirectDrawSurface7* s_picture = bench::make_surface(16, 32, bench::shot, true);
  BltOurs(state, s_picture, {100, 300, 116, 332}, kKeyed);
}
void sdl_sprite_16x32(benchmark::State& state) {
  static SDL_Surface* s_picture = bench::make_sdl_surface(16, 32, bench::shot, true, true);
  BltSdl(state, s_picture, {100, 300, 16, 32}, false);
}
void memcpy_sprite_16x32(benchmark::State& state) { Memcpy(state, 16 * 32 * 4); }
BENCHMARK(ours_sprite_16x32)->Name("ours/sprite_16x32");
BENCHMARK(sdl_sprite_16x32)->Name("sdl/sprite_16x32");
BENCHMARK(memcpy_sprite_16x32)->Name("memcpy/sprite_16x32");

// Keyed stretches of the ball picture to the sizes balls take.
IDirectDrawSurface7* OurBall() {
  static IDirectDrawSurface7* s_picture = bench::make_surface(300, 300, bench::ball, true);
  return s_picture;
}
SDL_Surface* SdlBall() {
  static SDL_Surface* s_picture = bench::make_sdl_surface(300, 300, bench::ball, true, false);
  return s_picture;
}
void ours_stretch(benchmark::State& state) {
  const LONG size = static_cast<LONG>(state.range(0));
  BltOurs(state, OurBall(), {200, 200, 200 + size, 200 + size}, kKeyed);
}
SDL_Surface* SdlBallRle() {
  static SDL_Surface* s_picture = bench::make_sdl_surface(300, 300, bench::ball, true, true);
  return s_picture;
}
// At its own size SDL needs no stretch, and blits the RLE picture.
void sdl_stretch(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  if (size == 300) {
    BltSdl(state, SdlBallRle(), {200, 200, size, size}, false);
  } else {
    BltSdl(state, SdlBall(), {200, 200, size, size}, true);
  }
}
void memcpy_stretch(benchmark::State& state) {
  Memcpy(state, static_cast<std::size_t>(state.range(0) * state.range(0) * 4));
}
BENCHMARK(ours_stretch)->Name("ours/stretch_300_to")->Arg(300)->Arg(150)->Arg(74)->Arg(36);
BENCHMARK(sdl_stretch)->Name("sdl/stretch_300_to")->Arg(300)->Arg(150)->Arg(74)->Arg(36);
BENCHMARK(memcpy_stretch)->Name("memcpy/stretch_300_to")->Arg(300)->Arg(150)->Arg(74)->Arg(36);

void ours_stretch_up(benchmark::State& state) {
  static IDirectDrawSurface7* s_picture = bench::make_surface(
      37, 37, [](int x, int y) { return bench::ball(x * 8, y * 8); }, true);
  BltOurs(state, s_picture, {200, 200, 275, 275}, kKeyed);
}
void sdl_stretch_up(benchmark::State& state) {
  static SDL_Surface* s_picture = bench::make_sdl_surface(
      37, 37, [](int x, int y) { return bench::ball(x * 8, y * 8); }, true, false);
  BltSdl(state, s_picture, {200, 200, 75, 75}, true);
}
void memcpy_stretch_up(benchmark::State& state) { Memcpy(state, 75 * 75 * 4); }
BENCHMARK(ours_stretch_up)->Name("ours/stretch_37_to_75");
BENCHMARK(sdl_stretch_up)->Name("sdl/stretch_37_to_75");
BENCHMARK(memcpy_stretch_up)->Name("memcpy/stretch_37_to_75");

// Blits the game relies on being rejected: parked bullets, a ball crossing an edge.
void ours_rejected_parked_bullet(benchmark::State& state) {
  static IDirectDrawSurface7* s_picture = bench::make_surface(16, 32, bench::shot, true);
  BltOurs(state, s_picture, {100, -500, 116, -468}, kKeyed);
}
void ours_rejected_crossing_ball(benchmark::State& state) {
  BltOurs(state, OurBall(), {-50, -50, 250, 250}, kKeyed);
}
BENCHMARK(ours_rejected_parked_bullet)->Name("ours/rejected_parked_bullet");
BENCHMARK(ours_rejected_crossing_ball)->Name("ours/rejected_crossing_ball");

}  // namespace

int main(int argc, char** argv) { return bench::run_main(argc, argv); }
