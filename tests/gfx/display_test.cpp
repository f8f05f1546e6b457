#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/count.h"
#include "game/main_game.h"
#include "support/test_display.h"

namespace {

namespace pt = platform::testing;

// The game object with its back buffer opened up and a frame timer.
class CDisplayGame : public CMainGame {
 public:
  IDirectDrawSurface7* Back() const { return m_pDDSBack; }
  void StartTimer() {
    m_pCount = new CCount;
    m_pCount->Init();
  }
};

// The status text is the three lines "57프레임", "32비트모드" and
// "메모리모드 : VVV" (57 the count of the last closed second), red, at y =
// 0, 15 and 45 over the scene of the back buffer: the same pixels as those
// lines written by hand in CP949.
TEST(DisplayTest, StatusTextIsThreeRedLinesOverTheScene) {
  hops_test::make_game_window();
  CDisplayGame game;
  ASSERT_TRUE(game.InitDisplay());
  game.StartTimer();
  const auto paint_scene = [&] {
    hops_test::paint_surface(game.Back(), [](int x, int) { return (x / 2) % 2 ? 0x00204060u : 0x00406020u; });
  };
  for (int k = 0; k < 58; k++) {
    pt::set_counter(1 + k);
    game.DrawStatusText();
  }
  pt::set_counter(2 + pt::kCounterFrequency);
  paint_scene();
  game.DrawStatusText();
  const std::vector<std::uint32_t> drawn = hops_test::read_surface(game.Back()).pixels;

  paint_scene();
  HDC hdc = nullptr;
  ASSERT_EQ(game.Back()->GetDC(&hdc), DD_OK);
  SetBkMode(hdc, TRANSPARENT);
  SetTextColor(hdc, RGB(255, 0, 0));
  const std::string lines[] = {"57\xC7\xC1\xB7\xB9\xC0\xD3", "32\xBA\xF1\xC6\xAE\xB8\xF0\xB5\xE5",
                               "\xB8\xDE\xB8\xF0\xB8\xAE\xB8\xF0\xB5\xE5 : VVV"};
  const int y[] = {0, 15, 45};
  for (int i = 0; i < 3; i++) TextOutA(hdc, 0, y[i], lines[i].c_str(), static_cast<int>(lines[i].size()));
  game.Back()->ReleaseDC(hdc);
  EXPECT_EQ(drawn, hops_test::read_surface(game.Back()).pixels);
  int nRed = 0;
  for (std::uint32_t pixel : drawn) nRed += pixel == 0x00FF0000;
  EXPECT_GT(nRed, 200);
}

}  // namespace
