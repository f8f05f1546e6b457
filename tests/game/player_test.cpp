#include "game/player.h"

#include <gtest/gtest.h>

#include <string>

#include "game/main_game.h"
#include "gfx/images.h"
#include "support/bmp_file.h"
#include "support/test_display.h"
#include "testing/testing.h"

namespace {

using hops_test::Rgb;
using platform::testing::set_key_down;

constexpr std::uint32_t kPlayerColour = 0x0000C000;
constexpr std::uint32_t kBulletColour = 0x00FFFF00;
constexpr std::uint32_t kBackground = 0x00202020;

PlayerInfo StartingInfo() {
  PlayerInfo Info;
  Info.nWidth = 50;
  Info.nHeight = 100;
  Info.nSpeed = 5;
  Info.rc = RECT{100, 600, 150, 700};
  return Info;
}

// The player with the game's picture sizes: a 91 x 150 figure and a
// 16 x 32 bullet, each a solid colour.
class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = hops_test::make_temp_dir();
    const std::string player = hops_test::write_bmp(dir, "player.bmp", 91, 150, [](int, int) { return Rgb{0, 0xC0, 0}; });
    const std::string bullet =
        hops_test::write_bmp(dir, "bullet.bmp", 16, 32, [](int, int) { return Rgb{0xFF, 0xFF, 0}; });
    ASSERT_TRUE(m_PlayerImage.LoadBitmap32(m_Display.dd(), player.c_str()));
    ASSERT_TRUE(m_BulletImage.LoadBitmap32(m_Display.dd(), bullet.c_str()));
    m_Player.Init(StartingInfo(), &m_PlayerImage, &m_BulletImage);
  }

  int LiveBullets() {
    int n = 0;
    for (int i = 0; i < MAX_BULLET; i++) n += m_Player.GetBullet(i).bAlive ? 1 : 0;
    return n;
  }

  // Press and release of the space bar across two keyboard passes.
  void Shoot() {
    set_key_down(VK_SPACE, true);
    m_Player.Move();
    set_key_down(VK_SPACE, false);
    m_Player.Move();
  }

  hops_test::TestDisplay m_Display;
  CImages m_PlayerImage;
  CImages m_BulletImage;
  CPlayer m_Player;
};

TEST_F(PlayerTest, ArrowsWalkByTheSpeedAndCancelWhenHeldTogether) {
  set_key_down(VK_LEFT, true);
  m_Player.Move();
  EXPECT_EQ(m_Player.GetInfo().rc.left, 95);
  EXPECT_EQ(m_Player.GetInfo().rc.right, 145);
  EXPECT_EQ(m_Player.GetInfo().rc.top, 600);

  set_key_down(VK_RIGHT, true);
  m_Player.Move();
  EXPECT_EQ(m_Player.GetInfo().rc.left, 95);

  set_key_down(VK_LEFT, false);
  m_Player.Move();
  m_Player.Move();
  EXPECT_EQ(m_Player.GetInfo().rc.left, 105);
  EXPECT_EQ(m_Player.GetInfo().rc.bottom, 700);
}

TEST_F(PlayerTest, NoBoundStopsTheWalk) {
  set_key_down(VK_LEFT, true);
  for (int i = 0; i < 1000; i++) m_Player.Move();
  EXPECT_EQ(m_Player.GetInfo().rc.left, 100 - 5000);
}

TEST_F(PlayerTest, HeldSpaceFiresNothingAndItsReleaseFiresOneFromTheMovedCorner) {
  set_key_down(VK_SPACE, true);
  for (int i = 0; i < 5; i++) m_Player.Move();
  EXPECT_EQ(LiveBullets(), 0);

  // The release pass walks first, then fires from where the rectangle is.
  set_key_down(VK_SPACE, false);
  set_key_down(VK_LEFT, true);
  m_Player.Move();
  ASSERT_EQ(LiveBullets(), 1);
  const BulletInfo Bullet = m_Player.GetBullet(0);
  EXPECT_TRUE(Bullet.bAlive);
  EXPECT_EQ(Bullet.nX, 95);
  EXPECT_EQ(Bullet.nY, 600);
  EXPECT_EQ(Bullet.nRadius, 45);  // half the 91-pixel-wide player picture
  EXPECT_EQ(Bullet.fSpeed, 5.0f);
  EXPECT_EQ(Bullet.fAngle, 1.570796f);

  m_Player.Move();
  EXPECT_EQ(LiveBullets(), 1);
}

TEST_F(PlayerTest, PressAndReleaseBetweenTwoPassesFireNothing) {
  m_Player.Move();
  set_key_down(VK_SPACE, true);
  set_key_down(VK_SPACE, false);
  m_Player.Move();
  m_Player.Move();
  EXPECT_EQ(LiveBullets(), 0);
}

TEST_F(PlayerTest, FireTakesTheLowestFreeSlotAndNothingWhenAllAreLive) {
  for (int i = 0; i < 3; i++) Shoot();
  m_Player.KillBullet(1);
  Shoot();
  EXPECT_TRUE(m_Player.GetBullet(1).bAlive);
  EXPECT_FALSE(m_Player.GetBullet(3).bAlive);

  for (int i = 3; i < MAX_BULLET; i++) m_Player.Fire();
  EXPECT_EQ(LiveBullets(), MAX_BULLET);
  const BulletInfo Last = m_Player.GetBullet(MAX_BULLET - 1);
  m_Player.Fire();
  EXPECT_EQ(LiveBullets(), MAX_BULLET);
  EXPECT_EQ(m_Player.GetBullet(MAX_BULLET - 1).nY, Last.nY);
}

TEST_F(PlayerTest, SlotsStartParkedAboveTheScreen) {
  for (int i = 0; i < MAX_BULLET; i++) {
    EXPECT_FALSE(m_Player.GetBullet(i).bAlive);
    EXPECT_EQ(m_Player.GetBullet(i).nY, -500);
  }
}

TEST_F(PlayerTest, KillBulletParksTheSlotAndKeepsTheRest) {
  Shoot();
  m_Player.MoveBullets();
  m_Player.KillBullet(0);
  const BulletInfo Bullet = m_Player.GetBullet(0);
  EXPECT_FALSE(Bullet.bAlive);
  EXPECT_EQ(Bullet.nY, -500);
  EXPECT_EQ(Bullet.nX, 100);
  EXPECT_EQ(Bullet.nRadius, 45);
  EXPECT_EQ(Bullet.fSpeed, 5.0f);
}

// The launch heading is a hair below pi / 2, so its cosine is a tiny positive
// number: truncation toward zero pulls a bullet at negative x right a pixel a
// pass until it reaches 0, and leaves one at positive x where it is.
TEST_F(PlayerTest, BulletsDriftTowardZeroOnlyFromNegativeX) {
  PlayerInfo Info = StartingInfo();
  Info.rc = RECT{-3, 600, 47, 700};
  m_Player.Init(Info, &m_PlayerImage, &m_BulletImage);
  m_Player.Fire();
  Info.rc = RECT{100, 600, 150, 700};
  m_Player.Init(Info, &m_PlayerImage, &m_BulletImage);
  m_Player.Fire();

  const int expected[4] = {-2, -1, 0, 0};
  for (int step = 0; step < 4; step++) {
    m_Player.MoveBullets();
    EXPECT_EQ(m_Player.GetBullet(0).nX, expected[step]) << "pass " << step + 1;
    EXPECT_EQ(m_Player.GetBullet(1).nX, 100) << "pass " << step + 1;
    EXPECT_EQ(m_Player.GetBullet(0).nY, 600 - 5 * (step + 1));
  }
}

TEST_F(PlayerTest, ABulletAtTheTopRowStaysLiveAndOneAboveIsRetired) {
  PlayerInfo Info = StartingInfo();
  Info.rc = RECT{100, 10, 150, 110};
  m_Player.Init(Info, &m_PlayerImage, &m_BulletImage);
  m_Player.Fire();
  m_Player.MoveBullets();
  m_Player.MoveBullets();
  EXPECT_EQ(m_Player.GetBullet(0).nY, 0);
  EXPECT_TRUE(m_Player.GetBullet(0).bAlive);
  m_Player.MoveBullets();
  EXPECT_EQ(m_Player.GetBullet(0).nY, -5);
  EXPECT_FALSE(m_Player.GetBullet(0).bAlive);
  // A retired bullet no longer moves.
  m_Player.MoveBullets();
  EXPECT_EQ(m_Player.GetBullet(0).nY, -5);
}

TEST_F(PlayerTest, PictureSitsLeftOfAndAboveTheRectangle) {
  m_Display.fill(kBackground);
  m_Player.Draw(m_Display.dest());
  EXPECT_EQ(m_Display.at(80, 550), kPlayerColour);
  EXPECT_EQ(m_Display.at(170, 699), kPlayerColour);
  EXPECT_EQ(m_Display.at(79, 550), kBackground);
  EXPECT_EQ(m_Display.at(80, 549), kBackground);
  EXPECT_EQ(m_Display.at(171, 699), kBackground);
  EXPECT_EQ(m_Display.at(170, 700), kBackground);
}

TEST_F(PlayerTest, BulletsAreDrawnFromTheirPointAndParkedSlotsNowhere) {
  m_Display.fill(kBackground);
  m_Player.DrawBullets(m_Display.dest());
  for (std::uint32_t pixel : m_Display.read()) ASSERT_EQ(pixel, kBackground);

  m_Player.Fire();
  m_Player.MoveBullets();
  m_Player.DrawBullets(m_Display.dest());
  EXPECT_EQ(m_Display.at(100, 595), kBulletColour);
  EXPECT_EQ(m_Display.at(115, 626), kBulletColour);
  EXPECT_EQ(m_Display.at(99, 595), kBackground);
  EXPECT_EQ(m_Display.at(116, 626), kBackground);
  EXPECT_EQ(m_Display.at(100, 594), kBackground);
  EXPECT_EQ(m_Display.at(100, 627), kBackground);
}

}  // namespace
