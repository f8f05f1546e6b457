#include "game/player.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/main_game.h"
#include "gfx/images.h"
#include "support/game_pictures.h"
#include "support/test_display.h"

namespace {

using hops_test::Rgb;
using platform::testing::set_key_down;

constexpr std::uint32_t kPlayerColour = 0x0000C000;
constexpr std::uint32_t kBulletColour = 0x00FFFF00;

std::string Show(const BulletInfo& b) {
  char sz[96];
  std::snprintf(sz, sizeof sz, "%s r %d at %d,%d heading %a speed %a", b.bAlive ? "live" : "free", b.nRadius,
                b.nX, b.nY, b.fAngle, b.fSpeed);
  return sz;
}

std::string Point(const BulletInfo& b) {
  return std::string(b.bAlive ? "live " : "free ") + std::to_string(b.nX) + "," + std::to_string(b.nY);
}

// The player in its starting rectangle with the game's picture sizes: a
// 91 x 150 figure and a 16 x 32 bullet, each a solid colour.
class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Display.load(m_PlayerImage, 91, 150, [](int, int) { return Rgb{0, 0xC0, 0}; }));
    ASSERT_TRUE(m_Display.load(m_BulletImage, 16, 32, [](int, int) { return Rgb{0xFF, 0xFF, 0}; }));
    Start(100, 600);
  }
  void Start(LONG nLeft, LONG nTop) {
    m_Player.Init(PlayerInfo{{nLeft, nTop, nLeft + 50, nTop + 100}, 50, 100, 5}, &m_PlayerImage,
                  &m_BulletImage);
  }
  int LiveBullets() {
    int n = 0;
    for (int i = 0; i < MAX_BULLET; i++) n += m_Player.GetBullet(i).bAlive ? 1 : 0;
    return n;
  }

  hops_test::TestDisplay m_Display;
  CImages m_PlayerImage;
  CImages m_BulletImage;
  CPlayer m_Player;
};

// Arrows walk by the step each pass, without bound; a shot leaves on the
// pass that sees the space bar up after down, from the corner the same pass
// walked to.
TEST_F(PlayerTest, KeyboardPassesWalkAndFireOnTheRelease) {
  const struct {
    bool bLeft, bRight, bSpace;
  } passes[] = {{true, false, false}, {true, true, false},  {false, true, false},  {false, true, false},
                {false, false, true}, {false, false, true}, {false, false, false}, {false, false, false},
                {true, false, true},  {true, false, false}, {false, false, true},  {false, false, false}};
  std::vector<std::string> trace;
  for (const auto& pass : passes) {
    set_key_down(VK_LEFT, pass.bLeft);
    set_key_down(VK_RIGHT, pass.bRight);
    set_key_down(VK_SPACE, pass.bSpace);
    m_Player.Move();
    const RECT rc = m_Player.GetInfo().rc;
    trace.push_back(std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) +
                    "," + std::to_string(rc.bottom) + " bullets " + std::to_string(LiveBullets()));
  }
  EXPECT_EQ(trace, (std::vector<std::string>{
                       "95,600,145,700 bullets 0", "95,600,145,700 bullets 0", "100,600,150,700 bullets 0",
                       "105,600,155,700 bullets 0", "105,600,155,700 bullets 0", "105,600,155,700 bullets 0",
                       "105,600,155,700 bullets 1", "105,600,155,700 bullets 1", "100,600,150,700 bullets 1",
                       "95,600,145,700 bullets 2", "95,600,145,700 bullets 2", "95,600,145,700 bullets 3"}));
  EXPECT_EQ(Show(m_Player.GetBullet(0)), Show(BulletInfo{true, 45, 105, 600, 1.570796f, 5.0f}));
  EXPECT_EQ(Show(m_Player.GetBullet(1)), Show(BulletInfo{true, 45, 95, 600, 1.570796f, 5.0f}));

  set_key_down(VK_LEFT, true);
  for (int i = 0; i < 1000; i++) m_Player.Move();
  EXPECT_EQ(m_Player.GetInfo().rc.left, 95 - 5000);
}

TEST_F(PlayerTest, FireTakesTheLowestFreeSlotAndNothingWhenAllAreLive) {
  for (int i = 0; i < 3; i++) m_Player.Fire();
  m_Player.KillBullet(1);
  EXPECT_EQ(Show(m_Player.GetBullet(1)), Show(BulletInfo{false, 45, 100, -500, 1.570796f, 5.0f}));
  Start(200, 300);
  m_Player.Fire();
  EXPECT_EQ(Show(m_Player.GetBullet(1)), Show(BulletInfo{true, 45, 200, 300, 1.570796f, 5.0f}));
  EXPECT_FALSE(m_Player.GetBullet(3).bAlive);

  for (int i = 3; i < MAX_BULLET; i++) m_Player.Fire();
  EXPECT_EQ(LiveBullets(), MAX_BULLET);
  m_Player.KillBullet(MAX_BULLET - 1);
  Start(7, 700);
  m_Player.Fire();
  m_Player.Fire();
  EXPECT_EQ(Show(m_Player.GetBullet(MAX_BULLET - 1)), Show(BulletInfo{true, 45, 7, 700, 1.570796f, 5.0f}));
  EXPECT_EQ(LiveBullets(), MAX_BULLET);
}

// The launch heading is a hair below pi / 2, so its cosine is a tiny positive
// number: truncation toward zero pulls a bullet at negative x right a pixel a
// pass until it reaches 0, and leaves one at positive x where it is. A bullet
// above row 0 is retired where it is and moves no more.
TEST_F(PlayerTest, BulletsStepFiveUpDriftTowardZeroFromNegativeXAndRetireAboveTheTop) {
  Start(-3, 600);
  m_Player.Fire();
  Start(100, 10);
  m_Player.Fire();
  std::vector<std::string> trace;
  for (int nPass = 0; nPass < 4; nPass++) {
    m_Player.MoveBullets();
    for (int i : {0, 1}) trace.push_back(Point(m_Player.GetBullet(i)));
  }
  EXPECT_EQ(trace, (std::vector<std::string>{"live -2,595", "live 100,5", "live -1,590", "live 100,0",
                                             "live 0,585", "free 100,-5", "live 0,580", "free 100,-5"}));
}

TEST_F(PlayerTest, ThePictureSitsLeftOfAndAboveTheRectangleAndBulletsAtTheirPoint) {
  m_Display.fill(0);
  m_Player.Draw(m_Display.back());
  m_Player.DrawBullets(m_Display.back());  // every slot parked
  platform::testing::Screen screen = m_Display.read();
  EXPECT_EQ(hops_test::colour_box(screen, kPlayerColour).left, 80);
  EXPECT_EQ(hops_test::colour_box(screen, kPlayerColour).top, 550);
  EXPECT_EQ(hops_test::count_colour(screen, kPlayerColour, 80, 550, 171, 700), 91 * 150);
  EXPECT_EQ(hops_test::count_colour(screen, 0), 1024 * 768 - 91 * 150);

  for (int i = 0; i < MAX_BULLET; i++) m_Player.Fire();
  m_Player.KillBullet(MAX_BULLET - 1);
  Start(1000, 0);
  m_Player.Fire();
  m_Display.fill(0);
  m_Player.DrawBullets(m_Display.back());
  screen = m_Display.read();
  EXPECT_EQ(hops_test::count_colour(screen, kBulletColour, 100, 600, 116, 632), 16 * 32);
  EXPECT_EQ(hops_test::count_colour(screen, kBulletColour, 1000, 0, 1016, 32), 16 * 32);
  EXPECT_EQ(hops_test::count_colour(screen, 0), 1024 * 768 - 2 * 16 * 32);
}

}  // namespace
