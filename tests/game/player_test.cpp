#include "game/player.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/images.h"
#include "support/test_display.h"

namespace {

// The player in a 50 x 100 rectangle with a step of 5 and the game's 91
// pixels wide figure, which makes a bullet's radius. Arrows walk by the step
// each pass, off the screen's edge too; a shot leaves on the pass that sees
// the space bar up after down, from the corner the same pass walked to. The
// launch heading is a hair below pi / 2, so its cosine is a tiny positive
// number: truncation toward zero pulls a bullet at negative x right a pixel a
// pass until it reaches 0, and leaves one at positive x where it is. A bullet
// above row 0 is retired where it is and moves no more. A shot takes the
// lowest free slot, and nothing when all are live; a killed bullet is parked
// above the screen.
TEST(PlayerTest, WalksAndFiresOnTheReleaseAndItsBulletsStepFiveUpSlotBySlot) {
  hops_test::TestDisplay display;
  CImages Image;
  ASSERT_TRUE(display.load(Image, 91, 150, [](int, int) { return 0x00C000u; }));
  CPlayer Player;
  const auto Start = [&](LONG nLeft, LONG nTop) {
    Player.Init(PlayerInfo{{nLeft, nTop, nLeft + 50, nTop + 100}, 50, 100, 5}, &Image, nullptr);
  };
  // The number of live bullets, then the slots as "live 45 at 105,600" (the
  // radius, then the corner) or "free ...".
  const auto Slots = [&](std::initializer_list<int> slots) {
    int nLive = 0;
    for (int i = 0; i < MAX_BULLET; i++) nLive += Player.GetBullet(i).bAlive ? 1 : 0;
    std::string s = std::to_string(nLive);
    for (int i : slots) {
      const BulletInfo b = Player.GetBullet(i);
      s += (b.bAlive ? " live " : " free ") + std::to_string(b.nRadius) + " at " + std::to_string(b.nX) +
           "," + std::to_string(b.nY);
    }
    return s;
  };
  Start(2, 600);
  std::string trace;  // the rectangle's left and the live bullets after each pass
  for (const std::string pass : {"L", "LR", "R", "R", "S", "S", "", "", "LS", "L", "S", ""}) {
    for (const auto& [key, letter] : {std::pair{VK_LEFT, 'L'}, {VK_RIGHT, 'R'}, {VK_SPACE, 'S'}})
      platform::testing::set_key_down(key, pass.find(letter) != std::string::npos);
    Player.Move();
    trace += " " + std::to_string(Player.GetInfo().rc.left) + "/" + Slots({});
  }
  Start(100, 10);
  Player.Fire();
  for (int nPass = 0; nPass < 4; nPass++) {
    Player.MoveBullets();
    trace += " |" + Slots({0, 1, 3});
  }
  Player.KillBullet(1);
  trace += " |" + Slots({1, 4});
  Start(200, 300);
  Player.Fire();
  trace += " |" + Slots({1, 3});
  for (int i = 0; i < MAX_BULLET; i++) Player.Fire();
  Player.KillBullet(MAX_BULLET - 1);
  Start(7, 700);
  Player.Fire();
  Player.Fire();
  EXPECT_EQ(
      trace + " |" + Slots({MAX_BULLET - 1}),
      " -3/0 -3/0 2/0 7/0 7/0 7/0 7/1 7/1 2/1 -3/2 -3/2 -3/3"
      " |4 live 45 at 7,595 live 45 at -2,595 live 45 at 100,5"
      " |4 live 45 at 7,590 live 45 at -1,590 live 45 at 100,0"
      " |3 live 45 at 7,585 live 45 at 0,585 free 45 at 100,-5"
      " |3 live 45 at 7,580 live 45 at 0,580 free 45 at 100,-5"
      " |2 free 45 at 0,-500 free 0 at 0,-500 |3 live 45 at 200,300 free 45 at 100,-5 |100 live 45 at 7,700");
}

}  // namespace
