#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/main_game.h"
#include "support/test_display.h"

namespace {

namespace pt = platform::testing;

// The game object with its two screens opened up.
struct CDisplayGame : CMainGame {
  IDirectDrawSurface7* Back() const { return m_pDDSBack; }
  IDirectDrawSurface7* Primary() const { return m_pDDSPrimary; }
};

// The status text is the three lines "57프레임", "32비트모드" and
// "메모리모드 : VVV" (57 the count of the last closed second), red, at y =
// 0, 15 and 45 over the scene of the back buffer: the same pixels as those
// lines written by hand in CP949 over the same scene on the other screen.
TEST(DisplayTest, StatusTextIsThreeRedLinesOverTheScene) {
  hops_test::enter_game_folder();
  hops_test::make_game_window();
  CDisplayGame game;
  ASSERT_TRUE(game.Init());
  for (int k = 0; k < 58; k++) {
    pt::set_counter(1 + k);
    game.DrawStatusText();
  }
  pt::set_counter(2 + pt::kCounterFrequency);
  for (IDirectDrawSurface7* pSurface : {game.Back(), game.Primary()})
    hops_test::paint_surface(pSurface, [](int x, int) { return (x / 2) % 2 ? 0x00204060u : 0x00406020u; });
  game.DrawStatusText();

  HDC hdc = nullptr;
  ASSERT_EQ(game.Primary()->GetDC(&hdc), DD_OK);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, RGB(255, 0, 0));
  const std::pair<int, std::string> lines[] = {{0, "57\xC7\xC1\xB7\xB9\xC0\xD3"},
                                               {15, "32\xBA\xF1\xC6\xAE\xB8\xF0\xB5\xE5"},
                                               {45, "\xB8\xDE\xB8\xF0\xB8\xAE\xB8\xF0\xB5\xE5 : VVV"}};
  for (const auto& [y, line] : lines) TextOutA(hdc, 0, y, line.c_str(), static_cast<int>(line.size()));
  game.Primary()->ReleaseDC(hdc);
  const std::vector<std::uint32_t> drawn = hops_test::read_surface(game.Back()).pixels;
  EXPECT_EQ(drawn, hops_test::read_surface(game.Primary()).pixels);
  EXPECT_GT(std::count(drawn.begin(), drawn.end(), 0x00FF0000u), 200);
}

}  // namespace
