// Whole frames as the game draws them, through its own classes (CMainGame's
// Render with its pictures, ball set, player, bullets and status text,
// flipped), each beside SDL2 composing the same frame from the same picture
// files at its best (RLE colour keys, balls scaled once per size, the status
// text drawn once) and beside memcpy of one frame. Then the SDL2 host's cost
// of showing a frame, and the start-up from the seven picture files to the
// first frame on the screen.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "game/ball.h"
#include "game/main_game.h"
#include "game/player.h"
#include "gfx/images.h"
#include "host/sdl/sdl_host.h"
#include "testing/testing.h"

namespace {

constexpr int kScreenW = SCREEN_WIDTH;
constexpr int kScreenH = SCREEN_HEIGHT;
constexpr std::size_t kFrameBytes = static_cast<std::size_t>(kScreenW) * kScreenH * 4;
constexpr std::uint32_t kMagenta = 0x00FF00FF;

// The game reads .\IMG\ below its working directory; the build tree holds
// one, next to the bench/ folder this program lives in.
void enter_picture_folder() {
  if (std::filesystem::exists("IMG/IMG_BACK.bmp")) return;
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return;
  std::filesystem::current_path(program.parent_path().parent_path(), error);
}

HWND game_window() {
  static const HWND s_hwnd = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Bench_HOPS";
    RegisterClassA(&wc);
    g_hWnd = CreateWindowExA(0, "Bench_HOPS", "HOPS bench", WS_POPUP, 0, 0, kScreenW, kScreenH, nullptr,
                             nullptr, nullptr, nullptr);
    return g_hWnd;
  }();
  return s_hwnd;
}

// --- What a frame shows ---

struct Scene {
  int state = STATE_LOADING;
  std::vector<BallInfo> balls;      // live balls, slot by slot
  std::vector<BulletInfo> bullets;  // live bullets; the other slots are parked
};

// The player's rectangle as CMainGame::Init sets it, and where CPlayer
// draws the figure from it.
constexpr int kPlayerLeft = 100;
constexpr int kPlayerTop = 600;

BallInfo ball_at(int x, int y, int radius) {
  BallInfo ball{};
  ball.bAlive = 1;
  ball.nX = x;
  ball.nY = y;
  ball.nRadius = radius;
  ball.fAngle = PI / 3;
  ball.fSpeed = 8.0f;
  ball.fFallSpeed = 1.0f;
  ball.fGravity = 0.05f;
  return ball;
}

// Spread over the game window, every ball wholly inside it (a ball crossing
// an edge is not drawn at all) and every bullet on the screen.
Scene play_scene(const std::vector<int>& radii, int bullets) {
  Scene scene;
  scene.state = STATE_PLAY;
  std::uint32_t seed = 12345;
  const auto next = [&seed](int below) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(below));
  };
  for (const int radius : radii) {
    const int x = radius + next(kScreenW - 2 * radius);
    const int y = radius + next(kScreenH - 2 * radius);
    scene.balls.push_back(ball_at(x, y, radius));
  }
  for (int i = 0; i < bullets; ++i) {
    BulletInfo bullet{};
    bullet.bAlive = true;
    bullet.nRadius = 45;
    bullet.nX = next(kScreenW - 16);
    bullet.nY = next(kScreenH - 32);
    bullet.fAngle = 1.570796f;
    bullet.fSpeed = 5.0f;
    scene.bullets.push_back(bullet);
  }
  return scene;
}

// Radii as a ball set has them once the starting ball of radius 150 has
// split down: twice as many balls in each generation as in the one before.
std::vector<int> split_radii(int count, const std::vector<int>& cycle) {
  std::vector<int> radii;
  for (int i = 0; i < count; ++i) radii.push_back(cycle[static_cast<std::size_t>(i) % cycle.size()]);
  return radii;
}

const Scene& title_scene() {
  static const Scene s_scene;
  return s_scene;
}
const Scene& typical_scene() {
  static const Scene s_scene = play_scene({75, 37, 37, 37, 18, 18, 18, 18}, 10);
  return s_scene;
}
const Scene& crowded_scene() {
  static const Scene s_scene =
      play_scene(split_radii(MAX_BALL, {75, 75, 37, 37, 37, 37, 18, 18, 18, 18, 18, 18, 18, 18}), MAX_BULLET);
  return s_scene;
}

// The destination rectangle of CImages::DrawScaled for a ball.
RECT ball_rect(const BallInfo& ball) {
  const double scale = static_cast<double>(static_cast<float>(static_cast<double>(ball.nRadius) / 150.0));
  const int left = ball.nX - ball.nRadius;
  const int top = ball.nY - ball.nRadius;
  return RECT{left, top, static_cast<int>(static_cast<double>(left) + 300.0 * scale),
              static_cast<int>(static_cast<double>(top) + 300.0 * scale)};
}

// --- Ours: the game's own objects ---

class BenchBalls final : public CBall {
 public:
  void Show(const std::vector<BallInfo>& balls) {
    for (int i = 0; i < MAX_BALL; ++i) m_Ball[i].bAlive = 0;
    for (std::size_t i = 0; i < balls.size(); ++i) m_Ball[i] = balls[i];
  }
};

class BenchPlayer final : public CPlayer {
 public:
  void Show(const std::vector<BulletInfo>& bullets) {
    for (int i = 0; i < MAX_BULLET; ++i) KillBullet(i);
    for (std::size_t i = 0; i < bullets.size(); ++i) m_Bullet[i] = bullets[i];
  }
};

// CMainGame with its ball set and player replaced by ones whose slots the
// benchmark fills; everything else, Render included, is the game's.
class BenchGame final : public CMainGame {
 public:
  bool Start() {
    game_window();
    if (!Init()) return false;
    const PlayerInfo info = m_pPlayer->GetInfo();
    delete m_pPlayer;
    player_ = new BenchPlayer;
    m_pPlayer = player_;
    player_->Init(info, &m_pImages[IMG_PLAYER], &m_pImages[IMG_BULLET]);
    const BallInfo first = m_pBall->GetBall(0);
    delete m_pBall;
    balls_ = new BenchBalls;
    m_pBall = balls_;
    balls_->Init(first, &m_pImages[IMG_BALL]);
    return true;
  }

  void Show(const Scene& scene) {
    g_nGameState = scene.state;
    balls_->Show(scene.balls);
    player_->Show(scene.bullets);
  }

  // The status text alone, drawn by the game onto `onto` instead of its
  // back buffer.
  void DrawStatusTextOnto(IDirectDrawSurface7* onto) {
    std::swap(m_pDDSBack, onto);
    DrawStatusText();
    std::swap(m_pDDSBack, onto);
  }

  IDirectDraw7* direct_draw() { return m_pDD; }

 private:
  BenchBalls* balls_ = nullptr;
  BenchPlayer* player_ = nullptr;
};

BenchGame& shared_game() {
  static BenchGame* s_game = [] {
    auto* game = new BenchGame;
    if (!game->Start()) std::abort();
    return game;
  }();
  return *s_game;
}

void OursFrame(benchmark::State& state, const Scene& scene) {
  BenchGame& game = shared_game();
  game.Show(scene);
  game.Render();  // the first frame finds each picture's runs
  for (auto _ : state) {
    game.Render();
    benchmark::ClobberMemory();
  }
}

// --- SDL2: the same pictures and frames ---

SDL_Surface* keyed_rle(SDL_Surface* surface) {
  SDL_SetSurfaceBlendMode(surface, SDL_BLENDMODE_NONE);
  SDL_SetColorKey(surface, SDL_TRUE, kMagenta);
  SDL_SetSurfaceRLE(surface, 1);
  return surface;
}

const char* const kPictureFiles[MAX_IMAGE] = {
    "IMG/IMG_BACK.bmp", "IMG/IMG_BACKGROUND.bmp", "IMG/IMG_PLAYER.bmp", "IMG/IMG_BULLET.bmp",
    "IMG/IMG_BALL.bmp", "IMG/IMG_LOADING.bmp",    "IMG/IMG_ENDING.bmp",
};

SDL_Surface* load_picture(const char* file) {
  SDL_Surface* loaded = SDL_LoadBMP(file);
  if (loaded == nullptr) std::abort();
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
  SDL_FreeSurface(loaded);
  if (converted == nullptr) std::abort();
  return keyed_rle(converted);
}

// A 32-bit SDL surface holding a copy of a DirectDraw surface's rectangle.
SDL_Surface* copy_to_sdl(IDirectDrawSurface7* surface, const RECT& rect) {
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  if (surface->Lock(nullptr, &ddsd, DDLOCK_WAIT, nullptr) != DD_OK) std::abort();
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  SDL_Surface* copy = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
  for (int y = 0; y < height; ++y) {
    std::memcpy(
        static_cast<std::uint8_t*>(copy->pixels) + static_cast<std::ptrdiff_t>(y) * copy->pitch,
        static_cast<const std::uint8_t*>(ddsd.lpSurface) + (rect.top + y) * ddsd.lPitch + rect.left * 4,
        static_cast<std::size_t>(width) * 4);
  }
  surface->Unlock(nullptr);
  return copy;
}

// The three status lines as the game prints them, on magenta, cut to the
// rectangle they cover; `at` is where that lies on the screen.
SDL_Surface* status_text_picture(SDL_Rect& at) {
  BenchGame& game = shared_game();
  DDSURFACEDESC2 ddsd{};
  ddsd.dwSize = sizeof(ddsd);
  ddsd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  ddsd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ddsd.dwWidth = kScreenW;
  ddsd.dwHeight = kScreenH;
  IDirectDrawSurface7* canvas = nullptr;
  if (game.direct_draw()->CreateSurface(&ddsd, &canvas, nullptr) != DD_OK) std::abort();
  DDSURFACEDESC2 locked{};
  locked.dwSize = sizeof(locked);
  canvas->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr);
  RECT ink{kScreenW, kScreenH, 0, 0};
  for (int y = 0; y < kScreenH; ++y) {
    auto* row =
        reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.lpSurface) + y * locked.lPitch);
    for (int x = 0; x < kScreenW; ++x) row[x] = kMagenta;
  }
  canvas->Unlock(nullptr);
  game.DrawStatusTextOnto(canvas);
  canvas->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr);
  for (int y = 0; y < kScreenH; ++y) {
    auto* row =
        reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.lpSurface) + y * locked.lPitch);
    for (int x = 0; x < kScreenW; ++x) {
      if ((row[x] & 0x00FFFFFFu) == kMagenta) continue;
      ink.left = std::min<LONG>(ink.left, x);
      ink.top = std::min<LONG>(ink.top, y);
      ink.right = std::max<LONG>(ink.right, x + 1);
      ink.bottom = std::max<LONG>(ink.bottom, y + 1);
    }
  }
  canvas->Unlock(nullptr);
  if (ink.right <= ink.left) ink = RECT{0, 0, 1, 1};
  at = SDL_Rect{ink.left, ink.top, ink.right - ink.left, ink.bottom - ink.top};
  SDL_Surface* text = keyed_rle(copy_to_sdl(canvas, ink));
  canvas->Release();
  return text;
}

struct SdlWorld {
  SDL_Surface* pictures[MAX_IMAGE] = {};
  SDL_Surface* screen = nullptr;
  SDL_Surface* text = nullptr;
  SDL_Rect text_at{};
  std::map<std::pair<int, int>, SDL_Surface*> balls;  // by width and height, scaled once

  void load() {
    for (int i = 0; i < MAX_IMAGE; ++i) pictures[i] = load_picture(kPictureFiles[i]);
    screen = SDL_CreateRGBSurfaceWithFormat(0, kScreenW, kScreenH, 32, SDL_PIXELFORMAT_RGB888);
    if (screen == nullptr) std::abort();
  }
  void release() {
    for (SDL_Surface*& picture : pictures) SDL_FreeSurface(picture);
    SDL_FreeSurface(screen);
    for (auto& [size, ball] : balls) SDL_FreeSurface(ball);
    balls.clear();
  }

  SDL_Surface* ball_of(int width, int height) {
    SDL_Surface*& scaled = balls[{width, height}];
    if (scaled == nullptr) {
      scaled = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
      SDL_Surface* source = SDL_ConvertSurfaceFormat(pictures[IMG_BALL], SDL_PIXELFORMAT_RGB888, 0);
      SDL_SetColorKey(source, SDL_FALSE, 0);
      SDL_SetSurfaceRLE(source, 0);
      SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
      SDL_BlitScaled(source, nullptr, scaled, nullptr);
      SDL_FreeSurface(source);
      keyed_rle(scaled);
    }
    return scaled;
  }

  void blit(SDL_Surface* picture, int x, int y) {
    SDL_Rect at{x, y, picture->w, picture->h};
    SDL_BlitSurface(picture, nullptr, screen, &at);
  }

  // What CMainGame::Render draws for the scene, without the flip.
  void render(const Scene& scene) {
    blit(pictures[IMG_BACK], 0, 0);
    if (scene.state == STATE_LOADING) {
      blit(pictures[IMG_LOADING], 0, 0);
    } else if (scene.state == STATE_ENDING) {
      blit(pictures[IMG_ENDING], 0, 0);
    } else {
      blit(pictures[IMG_BACKGROUND], 0, 0);
      blit(pictures[IMG_PLAYER], kPlayerLeft - 20, kPlayerTop - 50);
      for (int i = 0; i < MAX_BULLET; ++i) {
        const bool live = static_cast<std::size_t>(i) < scene.bullets.size();
        blit(pictures[IMG_BULLET], live ? scene.bullets[static_cast<std::size_t>(i)].nX : 0,
             live ? scene.bullets[static_cast<std::size_t>(i)].nY : -500);
      }
      for (const BallInfo& ball : scene.balls) {
        const RECT rect = ball_rect(ball);
        blit(ball_of(rect.right - rect.left, rect.bottom - rect.top), rect.left, rect.top);
      }
    }
    blit(text, text_at.x, text_at.y);
  }
};

SdlWorld& sdl_world() {
  static SdlWorld* s_world = [] {
    auto* world = new SdlWorld;
    world->load();
    world->text = status_text_picture(world->text_at);
    return world;
  }();
  return *s_world;
}

void SdlFrame(benchmark::State& state, const Scene& scene) {
  SdlWorld& world = sdl_world();
  world.render(scene);  // RLE encodings and scaled balls are made here, once
  for (auto _ : state) {
    world.render(scene);
    benchmark::ClobberMemory();
  }
}

void MemcpyFrame(benchmark::State& state) {
  std::vector<unsigned char> from(kFrameBytes, 0x5A), to(kFrameBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kFrameBytes);
    benchmark::ClobberMemory();
  }
}

void ours_title_frame(benchmark::State& state) { OursFrame(state, title_scene()); }
void sdl_title_frame(benchmark::State& state) { SdlFrame(state, title_scene()); }
BENCHMARK(ours_title_frame)->Name("ours/title_frame");
BENCHMARK(sdl_title_frame)->Name("sdl/title_frame");
BENCHMARK(MemcpyFrame)->Name("memcpy/title_frame");

void ours_play_frame(benchmark::State& state) { OursFrame(state, typical_scene()); }
void sdl_play_frame(benchmark::State& state) { SdlFrame(state, typical_scene()); }
BENCHMARK(ours_play_frame)->Name("ours/play_8_balls_10_bullets");
BENCHMARK(sdl_play_frame)->Name("sdl/play_8_balls_10_bullets");
BENCHMARK(MemcpyFrame)->Name("memcpy/play_8_balls_10_bullets");

void ours_crowded_frame(benchmark::State& state) { OursFrame(state, crowded_scene()); }
void sdl_crowded_frame(benchmark::State& state) { SdlFrame(state, crowded_scene()); }
BENCHMARK(ours_crowded_frame)->Name("ours/play_100_balls_100_bullets");
BENCHMARK(sdl_crowded_frame)->Name("sdl/play_100_balls_100_bullets");
BENCHMARK(MemcpyFrame)->Name("memcpy/play_100_balls_100_bullets");

// How the frame grows with the balls: n balls of radius 37 and 10 bullets.
const Scene& scene_with_balls(int count) {
  static std::map<int, Scene> s_scenes;
  auto found = s_scenes.find(count);
  if (found == s_scenes.end())
    found = s_scenes.emplace(count, play_scene(split_radii(count, {37}), 10)).first;
  return found->second;
}
void ours_balls(benchmark::State& state) {
  OursFrame(state, scene_with_balls(static_cast<int>(state.range(0))));
}
void sdl_balls(benchmark::State& state) {
  SdlFrame(state, scene_with_balls(static_cast<int>(state.range(0))));
}
BENCHMARK(ours_balls)->Name("ours/play_r37_balls")->Arg(0)->Arg(25)->Arg(50)->Arg(100);
BENCHMARK(sdl_balls)->Name("sdl/play_r37_balls")->Arg(0)->Arg(25)->Arg(50)->Arg(100);
BENCHMARK(MemcpyFrame)->Name("memcpy/play_r37_balls")->Arg(0)->Arg(25)->Arg(50)->Arg(100);

// --- Showing a frame through the SDL2 host ---

// Without a display SDL's dummy video driver stands in: the frame goes
// through the host's texture upload and software renderer, but reaches no
// monitor, so this is the host's own share of a present. Vsync makes
// the host show every frame flipped (the dummy display has no refresh to
// wait for); the paced host would show one in a refresh and drop the rest.
// bench/pacing.sh measures the paced presentation on a real X server.
void ours_sdl_host_present(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  platform::Settings settings;
  settings.vsync = true;
  std::unique_ptr<platform::Host> host = platform::make_sdl_host(settings);
  if (!host) {
    state.SkipWithError("SDL video does not start");
    return;
  }
  const HWND hwnd = game_window();
  host->show_window(hwnd, kScreenW, kScreenH);
  std::vector<std::uint32_t> frame(static_cast<std::size_t>(kScreenW) * kScreenH, 0x00336699);
  const platform::FrameView view{frame.data(), kScreenW, kScreenH, kScreenW * 4, 32};
  host->present(view, platform::ChangedArea::everything());
  for (auto _ : state) {
    host->present(view, platform::ChangedArea::everything());
    benchmark::ClobberMemory();
  }
  host->destroy_window(hwnd);
}
BENCHMARK(ours_sdl_host_present)->Name("ours/sdl_host_present");
BENCHMARK(MemcpyFrame)->Name("memcpy/sdl_host_present");

// --- Start-up: the display, the seven pictures and the first frame ---

void ours_startup(benchmark::State& state) {
  for (auto _ : state) {
    auto* game = new BenchGame;
    if (!game->Start()) {
      state.SkipWithError("Init failed");
      break;
    }
    game->Show(title_scene());
    game->Render();
    delete game;
  }
}
void sdl_startup(benchmark::State& state) {
  for (auto _ : state) {
    SdlWorld world;
    world.load();
    world.text = sdl_world().text;
    world.text_at = sdl_world().text_at;
    world.render(title_scene());
    world.release();
  }
}
BENCHMARK(ours_startup)->Name("ours/startup_to_first_frame")->Unit(benchmark::kMillisecond);
BENCHMARK(sdl_startup)->Name("sdl/startup_to_first_frame")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  enter_picture_folder();
  if (!std::filesystem::exists("IMG/IMG_BACK.bmp")) {
    std::fprintf(stderr,
                 "frame_bench: no IMG/ here or in the build tree (the hops_images target makes it)\n");
    return 1;
  }
  platform::testing::reset();
  return bench::run_main(argc, argv);
}
