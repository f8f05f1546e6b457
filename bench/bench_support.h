// What the benchmarks share: pictures made the same way for our DirectDraw
// and for SDL2, and a reporter that prints ours / SDL2 / memcpy side by side.
#pragma once

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <ddraw.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace bench {

inline constexpr std::uint32_t kKey = 0x00FF00FF;

using PixelFn = std::function<std::uint32_t(int x, int y)>;

// The DirectDraw object of the benchmarks, on the headless host.
IDirectDraw7* direct_draw();
// An off-screen 32-bit surface in system memory filled by fn; keyed with
// magenta when keyed is true.
IDirectDrawSurface7* make_surface(int width, int height, const PixelFn& fn, bool keyed);
// The same picture as an SDL surface (RGB888); keyed pictures get SDL's
// colour key and, when rle is true, its run-length encoding.
SDL_Surface* make_sdl_surface(int width, int height, const PixelFn& fn, bool keyed, bool rle);

// Pictures the game draws.
std::uint32_t play_field(int x, int y);  // a third keyed: sky over hills
std::uint32_t ball(int x, int y);        // 300 x 300 disc on magenta
std::uint32_t figure(int x, int y);      // 91 x 150 figure on magenta
std::uint32_t shot(int x, int y);        // 16 x 32 shot on magenta
std::uint32_t opaque(int x, int y);

// Prints the usual table, then one line per work: our time, SDL2's, memcpy's
// and the ratios ours/SDL2 and ours/memcpy (below 1: ours is faster),
// matched by the part of the name after "ours/", "sdl/" and "memcpy/" with
// the arguments. With repetitions, the medians.
class SideBySideReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::map<std::string, std::map<std::string, double>> times_;  // work -> side -> ns
  std::vector<std::string> order_;
};

int run_main(int argc, char** argv);

}  // namespace bench
