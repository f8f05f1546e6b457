// A long run of the game object with random keys, round after round,
// checking the world after every frame and that memory stays flat.
// HOPS_SOAK_FRAMES sets the number of frames (20,000 unless given;
// scripts/soak runs a million) and HOPS_SOAK_SEED the seed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <vector>

#include "game/ball.h"
#include "game/main_game.h"
#include "game/player.h"
#include "support/test_display.h"

namespace {

namespace pt = platform::testing;

class CSoakGame : public CMainGame {
 public:
  // What the live balls can still become: a starting ball makes at most
  // eight of the smallest, and a split keeps the sum. Each lies in the
  // 1024 x 768 cage, or the split offset out of it.
  int Weight() const {
    int weight = 0;
    for (int i = 0; i < MAX_BALL; i++) {
      const BallInfo b = m_pBall->GetBall(i);
      if (b.bAlive != 1) continue;
      weight += b.nRadius == 150 ? 8 : b.nRadius == 75 ? 4 : b.nRadius == 37 ? 2 : b.nRadius == 18 ? 1 : 99;
      EXPECT_TRUE(std::abs(b.nX - 512) <= 522 - b.nRadius && std::abs(b.nY - 384) <= 394 - b.nRadius)
          << "radius " << b.nRadius << " at " << b.nX << "," << b.nY;
    }
    return weight;
  }
  LONG PlayerLeft() const { return m_pPlayer->GetInfo().rc.left; }
  // The first ball's centre and radius, the player's rectangle.
  std::vector<int> World() const {
    const BallInfo b = m_pBall->GetBall(0);
    const RECT rc = m_pPlayer->GetInfo().rc;
    return {b.nX, b.nY, b.nRadius, int(rc.left), int(rc.top), int(rc.right), int(rc.bottom)};
  }
};

long ResidentKilobytes() {
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST(Soak, RandomPlayKeepsTheWorldsRulesAndMemoryFlat) {
  const char* env_frames = std::getenv("HOPS_SOAK_FRAMES");
  const char* env_seed = std::getenv("HOPS_SOAK_SEED");
  const long frames = env_frames != nullptr ? std::atol(env_frames) : 20000;
  std::mt19937 random(env_seed != nullptr ? std::atol(env_seed) : 20261207);
  hops_test::enter_game_folder();
  hops_test::make_game_window();
  long vanished = 0, resident = 0, weight = 0;
  std::unique_ptr<CSoakGame> game;
  for (long frame = 0; frame < frames && !HasFailure(); frame++) {
    // Once every ball is shot away a new round starts with a new game
    // object in the starting world: set-up and teardown are soaked too.
    if (weight == 0) {
      game.reset();
      game = std::make_unique<CSoakGame>();
      ASSERT_TRUE(game->Init());
      ASSERT_EQ(game->World(), std::vector<int>({100, 100, 150, 100, 600, 150, 700}));
      g_nGameState = STATE_PLAY;
      weight = 8;
    }
    // Keys change now and then, as a player's would, the arrows leading back
    // onto the screen; S on the ending screen after a random wait.
    pt::set_key_down(VK_SPACE, random() % 2);
    pt::set_key_down(VK_LEFT, game->PlayerLeft() > 974 || (game->PlayerLeft() >= 0 && random() % 2));
    pt::set_key_down(VK_RIGHT, game->PlayerLeft() < 0 || (game->PlayerLeft() <= 974 && random() % 2));
    if (g_nGameState == STATE_ENDING && random() % 50 == 0) g_nGameState = STATE_PLAY;
    pt::advance_counter(pt::kCounterFrequency / 100);
    game->Frame();
    const int now = game->Weight();
    ASSERT_LE(now, weight) << "frame " << frame;
    vanished += weight - now;
    weight = now;
    // The allocator settles over the first rounds; from then on nothing grows.
    if (frame == frames / 4) resident = ResidentKilobytes();
  }
  EXPECT_GT(vanished, 0);
  // The address sanitizer holds freed memory back.
  EXPECT_TRUE(HOPS_TEST_SANITIZED || frames <= 2000 || ResidentKilobytes() - resident <= 1024)
      << "memory grew during the run";
}

}  // namespace
