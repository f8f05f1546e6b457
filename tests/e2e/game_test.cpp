// The whole game on the headless host: WinMain with a virtual clock that
// moves on with every reading, keys posted at chosen flips and the flipped
// frames read back.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "game/main_game.h"
#include "host/frame_pacer.h"
#include "host/picture_scaling.h"
#include "support/test_display.h"

namespace {

namespace pt = platform::testing;
using namespace hops_test;

constexpr std::int64_t kFrame = pt::kCounterFrequency / 100;

// Runs WinMain to its end and returns its exit code. `script` is called in
// every flip, the window shown by then, with the flip's number, and may look
// at the screen and post keys. A run still going after 3000 flips is stuck.
int RunGame(const std::function<void(int flip)>& script) {
  pt::on_flip([&script](int flip) {
    EXPECT_TRUE(pt::window_shown(g_hWnd));
    if (flip <= 3000) return script(flip);
    ADD_FAILURE() << "the game was still running after 3000 frames";
    pt::press_key(VK_ESCAPE);
  });
  char command_line[] = "";
  const int exit_code = WinMain(nullptr, nullptr, command_line, SW_SHOWDEFAULT);
  pt::on_flip(nullptr);
  // Ends the game object as process exit would, and builds an empty one in
  // its place for exit to end again: nothing may be left.
  g_MainGame.~CMainGame();
  new (&g_MainGame) CMainGame;
  EXPECT_EQ(pt::live_objects(), 0);
  return exit_code;
}

void Tap(int key) {
  pt::press_key(key);
  pt::release_key(key);
}

// What a frame shows: the scene behind (title with IMG_BACK in its window,
// play field or ending), the red status text, and the boxes of the player,
// the bullets and the balls.
std::string Describe(const pt::Screen& screen) {
  std::string text = "?";
  for (const auto& [name, colour] :
       {std::pair{"title", kLoadingColour}, {"field", kFieldColour}, {"ending", kEndingColour}})
    if (screen.at(700, 300) == colour) text = name;
  if (screen.at(550, 350) == kBackColour) text += "+back";
  if (colour_box(screen, kTextColour)[2] > 0) text += "+text";
  for (const auto& [name, colour] :
       {std::pair{" player ", kPlayerColour}, {" bullet ", kBulletColour}, {" ball ", kBallColour}}) {
    const std::vector<int> b = colour_box(screen, colour);
    text += name + (b[2] == 0 ? "-"
                              : std::to_string(b[0]) + "," + std::to_string(b[1]) + "-" +
                                    std::to_string(b[2]) + "," + std::to_string(b[3]));
  }
  return text;
}

// Windows of several sizes and scale modes, each shown some of the flips
// (the others dropped, their changes added up by a frame pacer), that draw
// only the parts each flip says changed and must always equal the whole
// frame scaled; in play they count four times what is redrawn less what is
// shown.
struct Window {
  platform::PictureRect rect;
  std::int64_t refresh;
  platform::ScaleMode mode;
  std::vector<std::uint32_t> pixels = {}, whole = {};
  std::int64_t over_a_quarter = 0;
  std::optional<platform::FramePacer> pacer = {};

  void open(const bool& in_play) {
    const int pitch = (2 * rect.x + rect.width) * 4;
    pixels.resize(static_cast<std::size_t>(pitch / 4) * static_cast<std::size_t>(2 * rect.y + rect.height));
    whole = pixels;
    pacer.emplace(refresh, [this, &in_play, pitch](const platform::FrameView& frame,
                                                   const platform::ChangedArea& changed) {
      if (in_play) over_a_quarter -= std::int64_t{rect.width} * rect.height;
      for (const platform::PictureRect& part : platform::parts_to_redraw(rect, 1024, 768, changed, mode)) {
        platform::scale_part(mode, frame, pixels.data(), pitch, rect, part);
        if (in_play) over_a_quarter += std::int64_t{part.width} * part.height * 4;
      }
      platform::scale_part(mode, frame, whole.data(), pitch, rect, rect);
      ASSERT_EQ(pixels, whole) << rect.width;
    });
  }
};

// The title until S (from the frame that posts it on); a frame shows the
// world before that frame's step, and a key posted during a frame reaches
// the keyboard pass of the next one. The
// ball's square crosses the corner in the first frame of play, and a blit
// past an edge draws nothing. Then the player walks right under the ball and
// waits for it: the ending, and S resumes the frozen world; Esc ends the
// game with 0. The loop rests while it polls (each rest moving the clock as
// far as it would sleep) and still flips every frame within a rest of its
// time, on average within a few polls of it. Once the pace is known one rest
// fills a frame but for the margin before it and the polls of its own work,
// and a key that comes in a rest ends it: the game takes Esc at once. On
// the windows, title frames that repeat change nothing, and play (a ball of
// 300 pixels bouncing) redraws under a quarter of each.
TEST(GameTest, FromTheTitleThroughPlayToTheEndingAndBack) {
  enter_game_folder();
  constexpr std::int64_t kPoll = 37, kLongestRest = pt::kCounterFrequency / 1000;
  pt::set_counter_step(kPoll);
  pt::set_rests_move_clock(true);
  std::vector<std::string> trace;
  std::int64_t first = 0, last = -kFrame, rested = 0, key_at = 0;
  int ending = 0;
  std::string last_play, title_changes;
  bool in_play = false;
  Window windows[] = {{{0, 0, 1024, 768}, kFrame / 2, platform::ScaleMode::fit},
                      {{240, 0, 1440, 1080}, kFrame * 5 / 3, platform::ScaleMode::fit},
                      {{0, 32, 1280, 960}, kFrame * 3, platform::ScaleMode::sharp},
                      {{26, 32, 2048, 1536}, 1, platform::ScaleMode::integer}};
  for (Window& w : windows) w.open(in_play);
  EXPECT_EQ(RunGame([&](int flip) {
              const std::int64_t now = pt::counter();
              const pt::Screen screen = pt::screen();
              const platform::ChangedArea& changes = pt::changes();
              in_play = flip > 12 && ending == 0 && g_nGameState == STATE_PLAY;
              if (flip <= 3)
                title_changes += changes.is_everything() ? "*" : std::to_string(changes.rectangles().size());
              for (Window& w : windows) {
                w.pacer->flipped({const_cast<std::uint32_t*>(screen.pixels.data()), 1024, 768, 1024 * 4, 32},
                                 changes);
                w.pacer->poll(now, now + kFrame);
              }
              EXPECT_GE(now - last, kFrame) << flip;
              EXPECT_LE(now - last, kFrame + kLongestRest) << flip;
              last = now;
              if (flip == 10) first = now;
              EXPECT_GE(pt::rested_ticks() - rested, flip > 10 ? kFrame - kLongestRest / 10 - 60 * kPoll : 0)
                  << flip;
              rested = pt::rested_ticks();
              const std::string frame = Describe(screen);
              if (ending == 0 && g_nGameState == STATE_ENDING) {
                ending = flip;
                trace.push_back(last_play);
              }
              if ((flip >= 3 && flip <= 12) || ending > 0) trace.push_back(frame);
              last_play = frame;
              if (flip == 3 || flip == 5) Tap('S');
              if (flip == 6) pt::press_key(VK_RIGHT);
              if (flip == 8) pt::press_key(VK_SPACE);
              if (flip == 9) pt::release_key(VK_SPACE);
              if (flip == 60) pt::release_key(VK_RIGHT);
              if (ending > 0 && flip == ending + 1) Tap('S');
              if (ending > 0 && flip == ending + 3)
                pt::press_key_at(key_at = now + kFrame / 3 + 7, VK_ESCAPE);
            }),
            0);
  EXPECT_EQ(trace, (std::vector<std::string>{
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
  EXPECT_EQ(pt::flip_count(), ending + 3);
  EXPECT_LE(last - first, (ending - 7) * (kFrame + 3 * kPoll));
  EXPECT_TRUE(pt::counter() >= key_at && pt::counter() <= key_at + 4 * kPoll) << pt::counter() - key_at;
  EXPECT_TRUE(pt::message_boxes().empty());
  EXPECT_EQ(title_changes, "*00");
  for (const Window& w : windows) EXPECT_LT(w.over_a_quarter, 0) << w.rect.width;
}

// A display step that fails ends the game with its box before a picture is
// read or the window shows, and releases what was made; pictures that
// cannot be read show a box each, and the game plays on with the status
// text alone until the window is closed.
TEST(GameTest, FailedStartsShowTheirBoxes) {
  const std::pair<pt::Call, const char*> rows[] = {
      {pt::Call::DirectDrawCreateEx, "다이렉트 드로우 객체 설정실패|Tobrikan"},
      {pt::Call::SetCooperativeLevel, "협력레벌 설정실패|Tobrikan"},
      {pt::Call::SetDisplayMode, "디스플레이 모드 설정실패|Tobrikan"},
      {pt::Call::CreatePrimarySurface, "프라이머리 설정 실패|Tobrikan"},
      {pt::Call::GetAttachedSurface, "백버퍼 설정실패|Tobrikan"},
      {pt::Call::CreateOffscreenSurface, "비트맵 로드 실패|실패"},  // no picture files
  };
  for (const auto& [call, text] : rows) {
    pt::reset();
    pt::set_counter_step(kFrame / 2);
    enter_game_folder(false);
    const bool bDisplay = call != pt::Call::CreateOffscreenSurface;
    if (bDisplay) pt::fail_call(call, 1, DDERR_GENERIC);
    std::vector<std::string> frames, boxes;
    EXPECT_EQ(RunGame([&](int flip) {
                frames.push_back(Describe(pt::screen()));
                if (flip == 1) Tap('S');
                if (flip == 3) pt::post_close();
              }),
              0);
    for (const auto& box : pt::message_boxes()) boxes.push_back(box.text + "|" + box.caption);
    EXPECT_EQ(frames, std::vector<std::string>(bDisplay ? 0 : 3, "?+text player - bullet - ball -"));
    EXPECT_EQ(boxes, std::vector<std::string>(bDisplay ? 1 : 7, text));
    EXPECT_FALSE(pt::window_shown(g_hWnd));
  }
}

}  // namespace
