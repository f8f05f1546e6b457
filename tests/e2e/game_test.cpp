// The whole game on the headless host: WinMain with a virtual clock that
// moves on with every reading, keys posted at chosen flips and the flipped
// frames read back; and the game object's first frames, world and all.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "game/ball.h"
#include "game/main_game.h"
#include "game/player.h"
#include "support/bmp_file.h"
#include "support/game_pictures.h"
#include "support/test_display.h"
#include "testing/testing.h"

namespace {

namespace pt = platform::testing;
using hops_test::Box;
using hops_test::colour_box;
using hops_test::count_colour;

constexpr std::int64_t kFrame = pt::kCounterFrequency / 100;
// A run that has not ended by then is stuck.
constexpr int kFlipLimit = 3000;

struct RunResult {
  int exit_code = -1;
  int flips = 0;
  bool shown = false;
};

// Runs WinMain to its end. `script` is called in every flip with the flip's
// number and may look at the screen and post keys.
RunResult RunGame(const std::function<void(int flip)>& script) {
  pt::on_flip([&script](int flip) {
    if (flip > kFlipLimit) {
      ADD_FAILURE() << "the game was still running after " << kFlipLimit << " frames";
      pt::press_key(VK_ESCAPE);
      return;
    }
    script(flip);
  });
  char command_line[] = "";
  RunResult result;
  result.exit_code = WinMain(nullptr, nullptr, command_line, SW_SHOWDEFAULT);
  result.flips = pt::flip_count();
  result.shown = g_hWnd != nullptr && pt::window_shown(g_hWnd);
  pt::on_flip(nullptr);
  // Ends the game object as process exit would, and builds an empty one in
  // its place for exit to end again: nothing may be left.
  g_MainGame.~CMainGame();
  new (&g_MainGame) CMainGame;
  EXPECT_EQ(pt::live_objects(), 0);
  return result;
}

void Tap(int key) {
  pt::press_key(key);
  pt::release_key(key);
}

std::string Show(const Box& box) {
  if (box.empty()) return "-";
  return std::to_string(box.left) + "," + std::to_string(box.top) + "-" + std::to_string(box.right) + "," +
         std::to_string(box.bottom);
}

// What a frame shows: the scene behind (title with IMG_BACK in its window,
// play field or ending), the red status text, and the boxes of the player,
// the bullets and the balls.
std::string Describe(const pt::Screen& screen) {
  const std::uint32_t behind = screen.at(700, 300);
  std::string scene = behind == hops_test::kLoadingColour  ? "title"
                      : behind == hops_test::kFieldColour  ? "field"
                      : behind == hops_test::kEndingColour ? "ending"
                                                           : "?";
  if (screen.at(hops_test::kLoadingHoleLeft + 50, hops_test::kLoadingHoleTop + 50) == hops_test::kBackColour)
    scene += "+back";
  if (count_colour(screen, hops_test::kTextColour, 0, 0, 300, 61) > 50) scene += "+text";
  return scene + " player " + Show(colour_box(screen, hops_test::kPlayerColour)) + " bullet " +
         Show(colour_box(screen, hops_test::kBulletColour)) + " ball " +
         Show(colour_box(screen, hops_test::kBallColour));
}

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hops_test::enter_folder(hops_test::make_game_folder());
    // Every reading moves the clock half a frame on, so each idle pass of
    // the loop finds a frame due.
    pt::set_counter_step(kFrame / 2);
  }
};

// The title until S; a frame shows the world before that frame's step, and a
// key posted during a frame reaches the keyboard pass of the next one. The
// ball's square crosses the corner in the first frame of play, and a blit
// past an edge draws nothing. Then the player walks right under the ball and
// waits for it: the ending, and S resumes the frozen world.
TEST_F(GameTest, FromTheTitleThroughPlayToTheEndingAndBack) {
  // Every reading moves the clock on, so the loop polls about a hundred
  // times a frame.
  pt::set_counter_step(1000);
  std::vector<std::string> trace;
  std::int64_t last = -kFrame;
  int ending = 0;
  std::string last_play;
  const RunResult result = RunGame([&](int flip) {
    const std::int64_t now = pt::counter();
    EXPECT_GE(now - last, kFrame) << flip;
    EXPECT_LE(now - last, kFrame + 3000) << flip;
    last = now;
    const std::string frame = Describe(pt::screen());
    if (ending == 0 && g_nGameState == STATE_ENDING) {
      ending = flip;
      trace.push_back(last_play);
    }
    if (flip <= 12 || ending > 0) trace.push_back(frame);
    last_play = frame;
    if (flip == 3 || flip == 5) Tap('S');
    if (flip == 6) pt::press_key(VK_RIGHT);
    if (flip == 8) pt::press_key(VK_SPACE);
    if (flip == 9) pt::release_key(VK_SPACE);
    if (flip == 60) pt::release_key(VK_RIGHT);
    if (ending > 0 && flip == ending + 1) Tap('S');
    if (ending > 0 && flip == ending + 3) Tap(VK_ESCAPE);
  });
  EXPECT_EQ(trace, (std::vector<std::string>{
                       "title+back+text player - bullet - ball -",
                       "title+back+text player - bullet - ball -",
                       "title+back+text player - bullet - ball -",
                       "field+text player 80,550-171,700 bullet - ball -",
                       "field+text player 80,550-171,700 bullet - ball 0,0-300,300",
                       "field+text player 80,550-171,700 bullet - ball 0,7-300,307",
                       "field+text player 80,550-171,700 bullet - ball 4,14-304,314",
                       "field+text player 85,550-176,700 bullet - ball 8,21-308,321",
                       "field+text player 90,550-181,700 bullet - ball 12,28-312,328",
                       "field+text player 95,550-186,700 bullet - ball 16,35-316,335",
                       "field+text player 100,550-191,700 bullet 120,600-136,632 ball 20,42-320,342",
                       "field+text player 105,550-196,700 bullet 120,595-136,627 ball 24,49-324,349",
                       // The last frame of play, the ending twice, the resumed
                       // world one step on, and at once the ending again: the
                       // ball's centre still lies in the player's rectangle.
                       "field+text player 345,550-436,700 bullet - ball 53,520-446,670",
                       "ending+text player - bullet - ball -",
                       "ending+text player - bullet - ball -",
                       "field+text player 350,550-441,700 bullet - ball 48,529-450,679",
                       "ending+text player - bullet - ball -",
                   }));
  EXPECT_GT(ending, 60);
  EXPECT_EQ(result.flips, ending + 3);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_TRUE(result.shown);
  EXPECT_TRUE(pt::message_boxes().empty());
}

// The game object itself, frame by frame: the world it starts with and
// every step of it, in the order bullets, keyboard, balls, collisions.
class CTraceGame : public CMainGame {
 public:
  std::string World() const {
    char sz[256];
    const BallInfo b = m_pBall->GetBall(0);
    const PlayerInfo p = m_pPlayer->GetInfo();
    const BulletInfo u = m_pPlayer->GetBullet(0);
    std::snprintf(
        sz, sizeof sz,
        "ball %d at %d,%d r %d heading %a speed %a fall %a gravity %a; player %ld,%ld-%ld,%ld %dx%d step "
        "%d; bullet %d at %d,%d r %d",
        b.bAlive, b.nX, b.nY, b.nRadius, b.fAngle, b.fSpeed, b.fFallSpeed, b.fGravity, (long)p.rc.left,
        (long)p.rc.top, (long)p.rc.right, (long)p.rc.bottom, p.nWidth, p.nHeight, p.nSpeed, u.bAlive, u.nX,
        u.nY, u.nRadius);
    return sz;
  }
};

TEST_F(GameTest, TheStartingWorldAndItsFirstSteps) {
  hops_test::make_game_window();
  pt::set_counter_step(0);
  CTraceGame game;
  ASSERT_TRUE(game.Init());
  std::vector<std::string> trace{game.World()};
  g_nGameState = STATE_PLAY;
  for (int frame = 1; frame <= 6; frame++) {
    pt::set_key_down(VK_SPACE, frame == 1);
    pt::advance_counter(kFrame);
    game.Frame();
    game.Frame();  // not due yet
    trace.push_back(game.World());
  }
  EXPECT_EQ(pt::flip_count(), 6);
  const std::string kPlayer = "; player 100,600-150,700 50x100 step 5; ";
  EXPECT_EQ(
      trace,
      (std::vector<std::string>{
          "ball 1 at 100,100 r 150 heading 0x1.0c152p+0 speed 0x1p+3 fall 0x1p+0 gravity 0x1.99999ap-5" +
              kPlayer + "bullet 0 at 0,-500 r 0",
          "ball 1 at 150,150 r 150 heading 0x1.0c152p+2 speed 0x1p+3 fall 0x1.0cccccp+0 gravity "
          "0x1.99999ap-5" +
              kPlayer + "bullet 0 at 0,-500 r 0",
          "ball 1 at 150,157 r 150 heading -0x1.0c152p+0 speed 0x1p+3 fall 0x1.199998p+0 gravity "
          "0x1.99999ap-5" +
              kPlayer + "bullet 1 at 100,600 r 45",
          "ball 1 at 154,164 r 150 heading -0x1.0c152p+0 speed 0x1p+3 fall 0x1.266664p+0 gravity "
          "0x1.99999ap-5" +
              kPlayer + "bullet 1 at 100,595 r 45",
          "ball 1 at 158,171 r 150 heading -0x1.0c152p+0 speed 0x1p+3 fall 0x1.33333p+0 gravity "
          "0x1.99999ap-5" +
              kPlayer + "bullet 1 at 100,590 r 45",
          "ball 1 at 162,178 r 150 heading -0x1.0c152p+0 speed 0x1p+3 fall 0x1.3ffffcp+0 gravity "
          "0x1.99999ap-5" +
              kPlayer + "bullet 1 at 100,585 r 45",
          "ball 1 at 166,185 r 150 heading -0x1.0c152p+0 speed 0x1p+3 fall 0x1.4cccc8p+0 gravity "
          "0x1.99999ap-5" +
              kPlayer + "bullet 1 at 100,580 r 45",
      }));
}

// A thread that rests while it polls (each rest moving the clock as far as
// it would sleep) still flips every frame within a rest of its time, on
// average within a few polls, and spends nearly all of the time resting.
TEST_F(GameTest, RestingWhileIdleMakesNoFrameLate) {
  constexpr std::int64_t kPollTicks = 37;
  constexpr std::int64_t kLongestRest = pt::kCounterFrequency / 1000;
  pt::set_counter_step(kPollTicks);
  pt::set_rests_move_clock(true);
  std::int64_t first = -1;
  std::int64_t last = -1;
  const RunResult result = RunGame([&](int flip) {
    const std::int64_t now = pt::counter();
    if (last >= 0) {
      EXPECT_GE(now - last, kFrame) << flip;
      EXPECT_LE(now - last, kFrame + kLongestRest) << flip;
    }
    if (flip == 10) first = now;
    last = now;
    if (flip == 2) Tap('S');
    if (flip == 310) Tap(VK_ESCAPE);
  });
  EXPECT_EQ(result.flips, 310);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_LE(last - first, 300 * (kFrame + 3 * kPollTicks));
  EXPECT_GE(pt::rested_ticks(), (last - first) * 95 / 100);
}

TEST_F(GameTest, ClosingTheWindowEndsTheGameWithZero) {
  const RunResult result = RunGame([&](int flip) {
    if (flip == 2) pt::post_close();
  });
  EXPECT_EQ(result.flips, 2);
  EXPECT_EQ(result.exit_code, 0);
}

// A display that cannot be set up: one box, no picture read, no frame, the
// window never shown, and WinMain returns 0.
TEST_F(GameTest, AFailedDisplayEndsTheGameBeforeItsWindowShows) {
  pt::fail_call(pt::Call::CreatePrimarySurface, 1, DDERR_OUTOFVIDEOMEMORY);
  const RunResult result = RunGame([](int) { ADD_FAILURE() << "a frame was drawn"; });
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_FALSE(result.shown);
  ASSERT_EQ(pt::message_boxes().size(), 1u);
  EXPECT_EQ(pt::message_boxes()[0].text, "프라이머리 설정 실패");
  EXPECT_EQ(pt::message_boxes()[0].caption, "Tobrikan");
  EXPECT_EQ(pt::call_count(pt::Call::CreateOffscreenSurface), 0);
}

// Pictures that cannot be read each show a box, and the game plays on
// without them.
void ExpectBoxesAndPlay(std::size_t nBoxes, const std::vector<std::string>& expected) {
  std::vector<std::string> frames;
  const RunResult result = RunGame([&](int flip) {
    if (flip == 1 || flip == 3) frames.push_back(Describe(pt::screen()));
    if (flip == 1) Tap('S');
    if (flip == 3) Tap(VK_ESCAPE);
  });
  EXPECT_EQ(frames, expected);
  EXPECT_EQ(result.exit_code, 0);
  ASSERT_EQ(pt::message_boxes().size(), nBoxes);
  for (const auto& box : pt::message_boxes()) EXPECT_EQ(box.text + box.caption, "비트맵 로드 실패실패");
}

TEST_F(GameTest, WithoutTheImgFolderOnlyTheStatusTextIsDrawn) {
  hops_test::enter_folder(hops_test::make_temp_dir());
  ExpectBoxesAndPlay(7, {"?+text player - bullet - ball -", "?+text player - bullet - ball -"});
}

TEST_F(GameTest, WithTheTitlesSurfaceRefusedItsBackdropShows) {
  pt::fail_call(pt::Call::Lock, 1 + IMG_LOADING, DDERR_SURFACELOST);
  ExpectBoxesAndPlay(1, {"?+back+text player - bullet - ball -",
                         "field+text player 80,550-171,700 bullet - ball 0,0-300,300"});
}

}  // namespace
