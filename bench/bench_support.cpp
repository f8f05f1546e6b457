#include "bench_support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "testing/testing.h"

namespace bench {

IDirectDraw7* direct_draw() {
  static IDirectDraw7* s_dd = [] {
    platform::testing::reset();
    IDirectDraw7* dd = nullptr;
    if (DirectDrawCreateEx(nullptr, reinterpret_cast<LPVOID*>(&dd), IID_IDirectDraw7, nullptr) != DD_OK)
      std::abort();
    dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    return dd;
  }();
  return s_dd;
}

IDirectDrawSurface7* make_surface(int width, int height, const PixelFn& fn, bool keyed) {
  DDSURFACEDESC2 ddsd = {};
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ddsd.dwWidth = static_cast<DWORD>(width);
  ddsd.dwHeight = static_cast<DWORD>(height);
  IDirectDrawSurface7* surface = nullptr;
  if (direct_draw()->CreateSurface(&ddsd, &surface, nullptr) != DD_OK) std::abort();
  DDSURFACEDESC2 locked = {};
  locked.dwSize = sizeof(locked);
  if (surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr) != DD_OK) std::abort();
  for (int y = 0; y < height; ++y) {
    auto* row =
        reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(locked.lpSurface) + y * locked.lPitch);
    for (int x = 0; x < width; ++x) row[x] = fn(x, y);
  }
  surface->Unlock(nullptr);
  if (keyed) {
    DDCOLORKEY key = {kKey, kKey};
    surface->SetColorKey(DDCKEY_SRCBLT, &key);
  }
  return surface;
}

SDL_Surface* make_sdl_surface(int width, int height, const PixelFn& fn, bool keyed, bool rle) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
  if (surface == nullptr) std::abort();
  for (int y = 0; y < height; ++y) {
    auto* row =
        reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(surface->pixels) + y * surface->pitch);
    for (int x = 0; x < width; ++x) row[x] = fn(x, y);
  }
  SDL_SetSurfaceBlendMode(surface, SDL_BLENDMODE_NONE);
  if (keyed) {
    SDL_SetColorKey(surface, SDL_TRUE, kKey);
    if (rle) SDL_SetSurfaceRLE(surface, 1);
  }
  return surface;
}

std::uint32_t opaque(int x, int y) {
  return static_cast<std::uint32_t>((x * 3) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | 0x40;
}

std::uint32_t play_field(int x, int y) {
  const double horizon = 256.0 + 40.0 * std::sin(x / 60.0);
  return y < horizon ? kKey : opaque(x, y);
}

std::uint32_t ball(int x, int y) {
  const int dx = x - 150, dy = y - 150;
  return dx * dx + dy * dy < 150 * 150 ? opaque(x, y) | 0x00800000 : kKey;
}

std::uint32_t figure(int x, int y) {
  const double dx = (x - 45) / 45.0, dy = (y - 75) / 75.0;
  return dx * dx + dy * dy < 1.0 ? opaque(x, y) : kKey;
}

std::uint32_t shot(int x, int y) {
  const double dx = (x - 8) / 8.0, dy = (y - 16) / 16.0;
  return dx * dx + dy * dy < 1.0 ? 0x00FFE080 : kKey;
}

void SideBySideReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.run_type != Run::RT_Aggregate && run.repetitions > 1) continue;
    if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
    const std::string& name = run.run_name.function_name;
    const auto slash = name.find('/');
    if (slash == std::string::npos) continue;
    const std::string side = name.substr(0, slash);
    std::string work = name.substr(slash + 1);
    if (!run.run_name.args.empty()) work += "/" + run.run_name.args;
    if (!times_.count(work)) order_.push_back(work);
    times_[work][side] = run.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
  }
}

namespace {

std::string cell(double value, const char* format) {
  if (value < 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

void SideBySideReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::printf("\n%-36s %12s %12s %12s %11s %11s\n", "work (CPU time, median)", "ours us", "SDL2 us",
              "memcpy us", "ours/SDL2", "ours/memcpy");
  for (const std::string& work : order_) {
    const auto& sides = times_[work];
    auto us = [&](const char* side) { return sides.count(side) ? sides.at(side) / 1000.0 : -1.0; };
    const double ours = us("ours"), sdl = us("sdl"), copy = us("memcpy");
    const double sdl_ratio = ours >= 0 && sdl > 0 ? ours / sdl : -1.0;
    const double copy_ratio = ours >= 0 && copy > 0 ? ours / copy : -1.0;
    std::printf("%-36s %12s %12s %12s %11s %11s\n", work.c_str(), cell(ours, "%.3f").c_str(),
                cell(sdl, "%.3f").c_str(), cell(copy, "%.3f").c_str(), cell(sdl_ratio, "%.3f").c_str(),
                cell(copy_ratio, "%.3f").c_str());
  }
  std::fflush(stdout);
}

int run_main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SideBySideReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
