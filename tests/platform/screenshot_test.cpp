#include "host/screenshot.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <png.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/sdl_host.h"
#include "testing/testing.h"

namespace {

namespace fs = std::filesystem;

struct Decoded {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

Decoded ReadPng(const fs::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Decoded decoded;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return decoded;
  image.format = PNG_FORMAT_RGB;
  decoded.rgb.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr) == 0) return {};
  decoded.width = static_cast<int>(image.width);
  decoded.height = static_cast<int>(image.height);
  return decoded;
}

// The R, G, B bytes of a 32-bit frame's pixels, the padding past each row's end left out.
std::vector<std::uint8_t> Rgb(const std::vector<std::uint32_t>& pixels, int width, int height,
                              int pitch_pixels) {
  std::vector<std::uint8_t> rgb;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = pixels[static_cast<std::size_t>(y * pitch_pixels + x)];
      rgb.insert(rgb.end(), {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                             static_cast<std::uint8_t>(pixel)});
    }
  }
  return rgb;
}

std::vector<std::uint32_t> Noise(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::uint32_t> pixels(count);
  for (auto& pixel : pixels) pixel = random() & 0x00FFFFFFu;
  return pixels;
}

class ScreenshotFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string name = (fs::temp_directory_path() / "hops-shots-XXXXXX").string();
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    folder_ = name;
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

TEST_F(ScreenshotFolder, PngHoldsEveryPixelOfTheFrame) {
  constexpr int kWidth = 37, kHeight = 5, kPitch = 40;
  const std::vector<std::uint32_t> pixels = Noise(kPitch * kHeight, 7);
  const fs::path path = folder_ / "frame32.png";
  ASSERT_TRUE(platform::write_png({pixels.data(), kWidth, kHeight, kPitch * 4, 32}, path));
  const Decoded decoded = ReadPng(path);
  EXPECT_EQ(decoded.width, kWidth);
  EXPECT_EQ(decoded.height, kHeight);
  EXPECT_EQ(decoded.rgb, Rgb(pixels, kWidth, kHeight, kPitch));

  // 5-6-5 widened with its top bits repeated, so white stays white; the
  // fourth pixel of each row lies past the frame's width.
  const std::uint16_t pixels16[] = {0xF800, 0x07E0, 0x001F, 0xBEEF, 0xFFFF, 0x8410, 0x0821, 0xBEEF};
  ASSERT_TRUE(platform::write_png({pixels16, 3, 2, 8, 16}, folder_ / "frame16.png"));
  const std::vector<std::uint8_t> expected16 = {255, 0,   0,   0,   255, 0,   0, 0, 255,
                                                255, 255, 255, 132, 130, 132, 8, 4, 8};
  EXPECT_EQ(ReadPng(folder_ / "frame16.png").rgb, expected16);

  EXPECT_FALSE(
      platform::write_png({pixels.data(), kWidth, kHeight, kPitch * 4, 32}, folder_ / "missing" / "x.png"));
}

TEST_F(ScreenshotFolder, NamedByTheTimeAndNeverOverwritten) {
  setenv("TZ", "UTC", 1);
  tzset();
  const std::time_t when = 1'700'000'000;  // 2023-11-14 22:13:20 UTC
  EXPECT_EQ(platform::screenshot_path(folder_, when), folder_ / "hops-20231114-221320.png");
  std::fclose(std::fopen((folder_ / "hops-20231114-221320.png").c_str(), "w"));
  EXPECT_EQ(platform::screenshot_path(folder_, when), folder_ / "hops-20231114-221320-2.png");

  setenv("XDG_PICTURES_DIR", folder_.c_str(), 1);
  EXPECT_EQ(platform::screenshot_folder(), folder_);
  setenv("XDG_PICTURES_DIR", (folder_ / "missing").c_str(), 1);
  setenv("HOME", folder_.c_str(), 1);
  EXPECT_EQ(platform::screenshot_folder(), fs::path("."));
  fs::create_directory(folder_ / "Pictures");
  EXPECT_EQ(platform::screenshot_folder(), folder_ / "Pictures");
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

void PushKey(SDL_Keycode key, bool down) {
  SDL_Event event{};
  event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = key;
  ASSERT_EQ(SDL_PushEvent(&event), 1);
}

// The SDL host on SDL's dummy video driver: no display needed.
TEST_F(ScreenshotFolder, F12SavesTheLastFlippedFrameAndTheGameNeverSeesIt) {
  setenv("XDG_PICTURES_DIR", folder_.c_str(), 1);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  auto sdl = platform::make_sdl_host();
  ASSERT_NE(sdl, nullptr) << SDL_GetError();
  platform::install_host(std::move(sdl));
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "shots";
  RegisterClassA(&wc);
  const HWND hwnd = CreateWindowExA(0, "shots", "shots", WS_POPUP, 0, 0, 1024, 768, NULL, NULL, NULL, NULL);
  ShowWindow(hwnd, SW_SHOW);

  const std::vector<std::uint32_t> older = Noise(1024 * 768, 1);
  const std::vector<std::uint32_t> newest = Noise(1024 * 768, 2);
  platform::host().present({older.data(), 1024, 768, 1024 * 4, 32});
  platform::host().present({newest.data(), 1024, 768, 1024 * 4, 32});
  PushKey(SDLK_F12, true);
  PushKey(SDLK_F12, false);
  PushKey(SDLK_a, true);

  ::testing::internal::CaptureStderr();
  std::vector<WPARAM> keys;
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) keys.push_back(msg.wParam);
    DispatchMessageA(&msg);
  }
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(keys, std::vector<WPARAM>{'A'});

  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder_)) files.push_back(entry.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(said, "hops: screenshot saved to " + files[0].string() + "\n");
  const Decoded decoded = ReadPng(files[0]);
  EXPECT_EQ(decoded.width, 1024);
  EXPECT_EQ(decoded.height, 768);
  EXPECT_TRUE(decoded.rgb == Rgb(newest, 1024, 768, 1024)) << "the PNG is not the last frame";
  DestroyWindow(hwnd);
  platform::testing::reset();
}

}  // namespace
