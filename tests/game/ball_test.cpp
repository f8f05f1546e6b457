#include "game/ball.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "game/main_game.h"
#include "game/player.h"
#include "gfx/images.h"
#include "support/test_display.h"

namespace {

// Headings the game reaches from its pi / 3, as the floats they are.
constexpr float kUpRight = 1.0471973f, kUpLeft = 2.0943947f, kDownLeft = 4.1887894f;
constexpr float kDownRightAt300 = 5.2359867f;

BallInfo Ball(int nX, int nY, int nRadius, float fAngle = kUpRight, float fSpeed = 8.0f,
              float fFallSpeed = 1.0f, float fGravity = 0.05f) {
  return BallInfo{1, nX, nY, nRadius, fAngle, fSpeed, fFallSpeed, fGravity};
}

// Every field, floats as their exact hexadecimal values.
std::string Show(const BallInfo& b) {
  char sz[160];
  std::snprintf(sz, sizeof sz, "alive %d at %d,%d r %d heading %a speed %a fall %a gravity %a", b.bAlive,
                b.nX, b.nY, b.nRadius, b.fAngle, b.fSpeed, b.fFallSpeed, b.fGravity);
  return sz;
}

class CBallTable : public CBall {
 public:
  void Put(int nIndex, BallInfo Ball) { m_Ball[nIndex] = Ball; }
};

class CPlayerTable : public CPlayer {
 public:
  CPlayerTable() { Init(PlayerInfo{{100, 600, 150, 700}, 50, 100, 5}, nullptr, nullptr); }
  void PutBullet(int nIndex, int nX, int nY, int nRadius) {
    m_Bullet[nIndex] = BulletInfo{true, nRadius, nX, nY, 1.570796f, 5.0f};
  }
};

// The heading step, then the fall step, then the four walls in the order
// left, right, top, floor, each seeing the last; the floor takes the fall
// speed away. Run in the first and the last slot.
TEST(BallTest, OnePassOfMoveStepsFallsAndBouncesOffEachEdge) {
  hops_test::make_game_window();
  const RECT kFree{-1000, -1000, 2000, 2000}, kScreen{0, 0, 1024, 768}, kTight{10, 20, 110, 120};
  const std::tuple<RECT, BallInfo, BallInfo> rows[] = {
      {kFree, Ball(100, 100, 150), Ball(104, 94, 150, kUpRight, 8, 1.05f)},
      {kScreen, Ball(500, 690, 75, kUpRight, 8, 10.95f), Ball(504, 693, 75, kDownRightAt300, 8, 0)},
      {kTight, Ball(60, 70, 50, kUpRight, 0, 0, 0), Ball(60, 70, 50, kUpRight, 0, 0, 0)},
      {kTight, Ball(59, 69, 50, kUpRight, 0, 0, 0), Ball(60, 70, 50, kDownLeft, 0, 0, 0)},
      {kTight, Ball(61, 71, 50, kUpRight, 0, 0, 0.05f), Ball(60, 70, 50, kDownLeft, 0, 0, 0.05f)},
      {{0, 0, 100, 90}, Ball(50, 45, 60, kUpRight, 0, 0, 0), Ball(40, 30, 60, kUpRight, 0, 0, 0)},
      {kTight, BallInfo{0, 1, 2, 3, 4, 5, 6, 7}, BallInfo{0, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const auto& [cage, in, out] : rows) {
    CBallTable Balls;
    platform::testing::set_client_rect(g_hWnd, cage);
    Balls.Put(0, in);
    Balls.Put(MAX_BALL - 1, in);
    Balls.Move();
    EXPECT_EQ(Show(Balls.GetBall(0)) + Show(Balls.GetBall(MAX_BALL - 1)), Show(out) + Show(out)) << Show(in);
  }
}

// Only the ball's centre in the player's rectangle (right and bottom
// exclusive) ends the game; a bullet splits a ball when the sum of the radii
// passes their distance, and is parked. The distance is the single-precision
// root of the single-precision sum of the squares, also for points of 32-bit
// coordinates at and next to the edges, where the sum passes 64 bits.
TEST(BallTest, CollisionEndsTheGameOnACentreInTheRectangleAndSplitsWhatABulletReaches) {
  // The ball in slot 0, the last bullet; 1 if the game ends, the balls afterwards.
  const int rows[][8] = {
      {500, 300, 10, 515, 300, 5, 0, 1},       {500, 300, 10, 509, 312, 6, 0, 0},
      {500, 300, 150, 500, 300, 45, 0, 2},     {500, 300, 150, 100500, 300, 45, 0, 1},
      {500, 300, 150, INT_MIN, 300, 45, 0, 1}, {100, 600, 150, 900, 0, 1, 1, 1},
      {149, 699, 150, 900, 0, 1, 1, 1},        {150, 600, 150, 900, 0, 1, 0, 1},
      {100, 700, 150, 900, 0, 1, 0, 1},        {99, 650, 150, 900, 0, 1, 0, 1},
      {120, 650, 150, 120, 640, 45, 1, 2},
  };
  for (const auto& [nX, nY, nRadius, nBulletX, nBulletY, nBulletRadius, nEnds, nLive] : rows) {
    CBallTable Balls;
    CPlayerTable Player;
    g_nGameState = STATE_PLAY;
    Balls.Put(0, Ball(nX, nY, nRadius));
    Player.PutBullet(MAX_BULLET - 1, nBulletX, nBulletY, nBulletRadius);
    Balls.Collision(&Player);
    // A bullet that hits is parked; the halves take slots 0 and 1.
    const BulletInfo Bullet = Player.GetBullet(MAX_BULLET - 1);
    EXPECT_EQ(std::vector<int>({g_nGameState == STATE_ENDING,
                                Balls.GetBall(0).bAlive + Balls.GetBall(1).bAlive, Bullet.bAlive, Bullet.nY}),
              std::vector<int>({nEnds, nLive, nLive == 1, nLive == 1 ? nBulletY : -500}))
        << nX << "," << nY << " bullet " << nBulletX << "," << nBulletY;
  }
  CBallTable Balls;
  const auto reference = [](int nX1, int nY1, int nX2, int nY2) {
    const __int128 dx = (__int128)nX1 - nX2, dy = (__int128)nY1 - nY2;
    return (float)std::sqrt((double)(float)(dx * dx + dy * dy));
  };
  const int kEdges[] = {INT_MIN, INT_MIN + 1, -46341, -1, 0, 1, 3, 4, 46340, 65536, INT_MAX - 1, INT_MAX};
  for (int a : kEdges)
    for (int b : kEdges)
      for (int c : kEdges) EXPECT_EQ(Balls.GetDistance(a, b, c, ~b), reference(a, b, c, ~b)) << a << " " << b;
  // A sum past 2^64 whose lowest bit decides how it rounds.
  EXPECT_EQ(Balls.GetDistance(INT_MAX, 1865708240, -1722739586, 0),
            reference(INT_MAX, 1865708240, -1722739586, 0));
}

// A bullet splits only the lowest ball it reaches into halves that start
// ten pixels along its heading, the second mirrored, with its speeds, in the
// lowest free slots: the ball in slot 1 splits into slots 0 and 1, and the
// half left in the slot under test meets the remaining bullets there, its
// own halves skipping slot 0 for 1 and 2. Below radius 30 the ball is gone,
// its record kept, and a bullet over it stays live; the vanished ball draws
// nothing, a live one is its picture scaled to its radius around its centre.
// With every slot live there is one half, in the hit slot.
TEST(BallTest, ASplitChainsThroughTheRemainingBulletsAndOnlyLiveBallsDraw) {
  hops_test::TestDisplay display;
  CImages Image;
  ASSERT_TRUE(display.load(Image, 300, 300, [](int, int) { return 0xFF8000u; }));
  CBallTable Balls, Small, Full;
  CPlayerTable Player;
  Balls.Put(1, Ball(500, 300, 150, kUpRight, 8, 2.5f));
  Balls.Put(7, Ball(500, 300, 75));
  for (int i : {0, 1}) Player.PutBullet(i, 500, 300, 45);
  Player.PutBullet(2, 900, 100, 45);
  Balls.Collision(&Player);
  std::string bullets =
      std::to_string(Player.GetBullet(1).bAlive) + std::to_string(Player.GetBullet(2).bAlive);
  Small.Init(Ball(200, 300, 75), &Image);
  Small.Put(1, Ball(500, 300, 29));
  for (int i : {0, 1}) Player.PutBullet(i, 500, 300, 45);
  Small.Collision(&Player);
  display.fill(0);
  Small.Draw(display.back());
  EXPECT_EQ(hops_test::colour_box(display.read(), 0, true), std::vector<int>({125, 225, 275, 375}));
  bullets += std::to_string(Player.GetBullet(0).bAlive) + std::to_string(Player.GetBullet(1).bAlive);
  std::string live;  // the live slots, a line each
  for (int i = 0; i < MAX_BALL; i++)
    if (Balls.GetBall(i).bAlive) live += std::to_string(i) + ": " + Show(Balls.GetBall(i)) + "\n";
  Full.Init(Ball(400, 300, 30), &Image);
  for (int i = 0; i < MAX_BALL; i++) Full.Put(i, Ball(400, 300, 30));
  Full.Split(50, Full.GetBall(50));
  Full.Draw(display.back());  // the split wrote nothing past the table, such as over its picture
  EXPECT_EQ(live + Show(Small.GetBall(1)) + Show(Full.GetBall(50)) + Show(Full.GetBall(51)) + bullets,
            "0: " + Show(Ball(505, 291, 75, kUpRight, 8, 2.5f)) +
                "\n1: " + Show(Ball(500, 282, 37, kUpLeft, 8, 2.5f)) +
                "\n2: " + Show(Ball(500, 282, 37, kUpRight, 8, 2.5f)) + "\n7: " + Show(Ball(500, 300, 75)) +
                "\n" + Show(BallInfo{0, 500, 300, 29, kUpRight, 8, 1, 0.05f}) + Show(Ball(405, 291, 15)) +
                Show(Ball(400, 300, 30)) + "0101");
}

}  // namespace
