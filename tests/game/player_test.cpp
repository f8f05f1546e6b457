#include "game/player.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gfx/images.h"
#include "support/test_display.h"

namespace {

using platform::testing::set_key_down;

std::string Show(const BulletInfo& b) {
  char sz[96];
  std::snprintf(sz, sizeof sz, "%s r %d at %d,%d heading %a speed %a", b.bAlive ? "live" : "free", b.nRadius,
                b.nX, b.nY, b.fAngle, b.fSpeed);
  return sz;
}

// The player in a 50 x 100 rectangle with a step of 5 and the game's 91
// pixels wide figure, which makes a bullet's radius.
class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_Display.load(m_Image, 91, 150, [](int, int) { return hops_test::Rgb{0, 0xC0, 0}; }));
    Start(100, 600);
  }
  void Start(LONG nLeft, LONG nTop) {
    m_Player.Init(PlayerInfo{{nLeft, nTop, nLeft + 50, nTop + 100}, 50, 100, 5}, &m_Image, nullptr);
  }
  int LiveBullets() {
    int n = 0;
    for (int i = 0; i < MAX_BULLET; i++) n += m_Player.GetBullet(i).bAlive ? 1 : 0;
    return n;
  }

  hops_test::TestDisplay m_Display;
  CImages m_Image;
  CPlayer m_Player;
};

// Arrows walk by the step each pass, without bound; a shot leaves on the
// pass that sees the space bar up after down, from the corner the same pass
// walked to.
TEST_F(PlayerTest, KeyboardPassesWalkAndFireOnTheRelease) {
  std::string trace;  // the rectangle's left and the live bullets after each pass
  for (const std::string pass : {"L", "LR", "R", "R", "S", "S", "", "", "LS", "L", "S", ""}) {
    set_key_down(VK_LEFT, pass.find('L') != std::string::npos);
    set_key_down(VK_RIGHT, pass.find('R') != std::string::npos);
    set_key_down(VK_SPACE, pass.find('S') != std::string::npos);
    m_Player.Move();
    trace += " " + std::to_string(m_Player.GetInfo().rc.left) + "/" + std::to_string(LiveBullets());
  }
  EXPECT_EQ(trace, " 95/0 95/0 100/0 105/0 105/0 105/0 105/1 105/1 100/1 95/2 95/2 95/3");
  EXPECT_EQ(Show(m_Player.GetBullet(0)), Show(BulletInfo{true, 45, 105, 600, 1.570796f, 5.0f}));
  EXPECT_EQ(Show(m_Player.GetBullet(1)), Show(BulletInfo{true, 45, 95, 600, 1.570796f, 5.0f}));
  set_key_down(VK_LEFT, true);
  for (int i = 0; i < 1000; i++) m_Player.Move();
  const RECT rc = m_Player.GetInfo().rc;
  EXPECT_EQ(std::vector<LONG>({rc.left, rc.top, rc.right, rc.bottom}),
            std::vector<LONG>({-4905, 600, -4855, 700}));
}

TEST_F(PlayerTest, FireTakesTheLowestFreeSlotAndNothingWhenAllAreLive) {
  for (int i = 0; i < 3; i++) m_Player.Fire();
  m_Player.KillBullet(1);
  EXPECT_EQ(Show(m_Player.GetBullet(1)), Show(BulletInfo{false, 45, 100, -500, 1.570796f, 5.0f}));
  Start(200, 300);
  m_Player.Fire();
  EXPECT_EQ(Show(m_Player.GetBullet(1)), Show(BulletInfo{true, 45, 200, 300, 1.570796f, 5.0f}));
  EXPECT_EQ(Show(m_Player.GetBullet(3)), Show(BulletInfo{false, 0, 0, -500, 0, 0}));

  for (int i = 3; i < MAX_BULLET; i++) m_Player.Fire();
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
  std::string trace;
  for (int nPass = 0; nPass < 4; nPass++) {
    m_Player.MoveBullets();
    for (int i : {0, 1}) {
      const BulletInfo b = m_Player.GetBullet(i);
      trace += (b.bAlive ? " live " : " free ") + std::to_string(b.nX) + "," + std::to_string(b.nY);
    }
  }
  EXPECT_EQ(trace,
            " live -2,595 live 100,5 live -1,590 live 100,0 live 0,585 free 100,-5 live 0,580 free 100,-5");
}

}  // namespace
