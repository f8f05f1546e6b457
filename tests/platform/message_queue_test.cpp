#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "host/host.h"
#include "user32/input.h"

namespace {

struct Received {
  HWND hwnd;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};

std::vector<Received> g_received;

// Records every message and leaves the rest to DefWindowProcA, as the
// game's procedure does; WM_USER answers 42 so dispatch results show.
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  g_received.push_back({hwnd, message, wparam, lparam});
  if (message == WM_USER) return 42;
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

class MessageQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { g_received.clear(); }

  HWND CreateHidden(const char* name = "queue") {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "queue_test";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "queue_test", name, WS_POPUP, 0, 0, 1024, 768, NULL, NULL, NULL, NULL);
  }

  HWND CreateShownAndPainted() {
    const HWND hwnd = CreateHidden();
    ShowWindow(hwnd, SW_SHOW);
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    g_received.clear();
    return hwnd;
  }

  static MSG Take() {
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
    return msg;
  }

  static bool Empty() {
    MSG msg;
    return PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE) == FALSE;
  }
};

using PostedMessages = MessageQueueTest;

TEST_F(PostedMessages, ComeOutInPostingOrderWithTheirParameters) {
  const HWND hwnd = CreateShownAndPainted();
  ASSERT_TRUE(PostMessageA(hwnd, WM_USER + 1, 10, 100));
  ASSERT_TRUE(PostMessageA(NULL, WM_USER + 2, 20, 200));
  ASSERT_TRUE(PostMessageA(hwnd, WM_USER + 3, 30, -300));

  MSG msg = Take();
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.message, WM_USER + 1u);
  EXPECT_EQ(msg.wParam, 10u);
  EXPECT_EQ(msg.lParam, 100);
  msg = Take();
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.message, WM_USER + 2u);
  EXPECT_EQ(msg.wParam, 20u);
  msg = Take();
  EXPECT_EQ(msg.message, WM_USER + 3u);
  EXPECT_EQ(msg.lParam, -300);
  EXPECT_TRUE(Empty());
}

TEST_F(PostedMessages, ToAnUnknownOrDestroyedWindowAreRefused) {
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
  const HWND hwnd = CreateHidden();
  DestroyWindow(hwnd);
  EXPECT_FALSE(PostMessageA(hwnd, WM_USER, 0, 0));
  EXPECT_TRUE(Empty());
}

TEST_F(PostedMessages, StillQueuedForAWindowAreDroppedWhenItIsDestroyed) {
  const HWND doomed = CreateShownAndPainted();
  PostMessageA(doomed, WM_USER + 1, 0, 0);
  PostMessageA(NULL, WM_USER + 2, 0, 0);
  DestroyWindow(doomed);
  EXPECT_EQ(Take().message, WM_USER + 2u);
  EXPECT_TRUE(Empty());
}

TEST_F(PostedMessages, NoRemoveLeavesTheMessageForTheNextPeek) {
  const HWND hwnd = CreateShownAndPainted();
  PostMessageA(hwnd, WM_USER + 5, 1, 2);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER + 5u);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_USER + 5u);
  EXPECT_EQ(Take().message, WM_USER + 5u);
  EXPECT_TRUE(Empty());
}

TEST_F(PostedMessages, WindowAndRangeFiltersTakeOnlyWhatTheyName) {
  const HWND first = CreateShownAndPainted();
  const HWND second = CreateHidden("second");
  PostMessageA(first, WM_USER + 1, 0, 0);
  PostMessageA(second, WM_USER + 2, 0, 0);
  PostMessageA(NULL, WM_USER + 3, 0, 0);
  PostMessageA(first, WM_KEYDOWN, VK_SPACE, 0);

  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, second, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 2u);
  ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 3u);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_FALSE(PeekMessageA(&msg, second, 0, 0, PM_REMOVE));
  EXPECT_EQ(Take().message, WM_USER + 1u);
  EXPECT_TRUE(Empty());
}

using EmptyQueue = MessageQueueTest;

TEST_F(EmptyQueue, PeekReturnsZeroWhenNothingWaits) {
  MSG msg;
  EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), FALSE);
  EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE), FALSE);
}

TEST_F(EmptyQueue, AHiddenInvalidWindowGetsNoPaint) {
  const HWND hwnd = CreateHidden();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_TRUE(Empty());
}

TEST_F(EmptyQueue, ThePeekPumpsTheHostFirst) {
  // A host whose machine has one key press waiting.
  class KeyWaitingHost final : public platform::Host {
   public:
    void present(const platform::FrameView&) override {}
    void forget_frame() override {}
    void pump_events() override {
      if (!pumped_) platform::post_key('S', true);
      pumped_ = true;
    }
    void show_window(HWND, int, int) override {}
    void destroy_window(HWND) override {}
    void message_box(const std::string&, const std::string&) override {}
    std::int64_t counter_frequency() override { return 10'000'000; }
    std::int64_t counter_now() override { return 0; }

   private:
    bool pumped_ = false;
  };
  const HWND hwnd = CreateShownAndPainted();
  platform::install_host(std::make_unique<KeyWaitingHost>());

  const MSG msg = Take();
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>('S'));
  EXPECT_TRUE(Empty());
}

using QuitMessage = MessageQueueTest;

TEST_F(QuitMessage, EndsTheLoopWithItsCodeAfterThePostedMessages) {
  const HWND hwnd = CreateShownAndPainted();
  PostMessageA(hwnd, WM_USER + 1, 0, 0);
  PostQuitMessage(7);
  PostMessageA(hwnd, WM_USER + 2, 0, 0);

  std::vector<UINT> dispatched;
  MSG msg{};
  int idle_passes = 0;
  for (int pass = 0; pass < 100; ++pass) {
    if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      dispatched.push_back(msg.message);
    } else {
      ++idle_passes;
    }
  }
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_EQ(dispatched, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
  EXPECT_EQ(idle_passes, 0);
}

TEST_F(QuitMessage, ComesOnceAndAfterPaint) {
  const HWND hwnd = CreateHidden();
  ShowWindow(hwnd, SW_SHOW);
  PostQuitMessage(3);

  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
  DispatchMessageA(&msg);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  msg = Take();
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_TRUE(Empty());
}

TEST_F(QuitMessage, IgnoresTheRangeFilter) {
  PostQuitMessage(0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

using Dispatch = MessageQueueTest;

TEST_F(Dispatch, APostedDestroyReachesTheProcedure) {
  const HWND hwnd = CreateShownAndPainted();
  PostMessageA(hwnd, WM_DESTROY, 0, 0);
  const MSG msg = Take();
  DispatchMessageA(&msg);
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].hwnd, hwnd);
  EXPECT_EQ(g_received[0].message, static_cast<UINT>(WM_DESTROY));
  // Posting WM_DESTROY only tells the procedure; the window lives on.
  EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(Dispatch, ReturnsTheProcedureResultAndSkipsThreadMessages) {
  const HWND hwnd = CreateShownAndPainted();
  PostMessageA(hwnd, WM_USER, 5, 6);
  PostMessageA(NULL, WM_USER, 7, 8);
  MSG msg = Take();
  EXPECT_EQ(DispatchMessageA(&msg), 42);
  msg = Take();
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].wparam, 5u);
  EXPECT_EQ(g_received[0].lparam, 6);
}

TEST_F(Dispatch, SendCallsTheProcedureAtOnceWithoutTheQueue) {
  const HWND hwnd = CreateShownAndPainted();
  EXPECT_EQ(SendMessageA(hwnd, WM_USER, 1, 2), 42);
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].message, static_cast<UINT>(WM_USER));
  EXPECT_TRUE(Empty());
  EXPECT_EQ(SendMessageA(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0), 0);
}

TEST_F(Dispatch, CloseThroughDefWindowProcDestroysTheWindow) {
  const HWND hwnd = CreateShownAndPainted();
  platform::post_close();
  const MSG msg = Take();
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_CLOSE));
  DispatchMessageA(&msg);

  ASSERT_EQ(g_received.size(), 2u);
  EXPECT_EQ(g_received[0].message, static_cast<UINT>(WM_CLOSE));
  EXPECT_EQ(g_received[1].message, static_cast<UINT>(WM_DESTROY));
  EXPECT_EQ(g_received[1].hwnd, hwnd);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(Empty());
}

using Paint = MessageQueueTest;

TEST_F(Paint, ComesForAShownInvalidWindowUntilBeginAndEndPaint) {
  const HWND hwnd = CreateHidden();
  ShowWindow(hwnd, SW_SHOWDEFAULT);
  for (int peek = 0; peek < 3; ++peek) {
    const MSG msg = Take();
    EXPECT_EQ(msg.hwnd, hwnd);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
  }
  PAINTSTRUCT ps;
  const HDC hdc = BeginPaint(hwnd, &ps);
  EXPECT_NE(hdc, nullptr);
  EXPECT_EQ(ps.hdc, hdc);
  EXPECT_EQ(ps.rcPaint.left, 0);
  EXPECT_EQ(ps.rcPaint.top, 0);
  EXPECT_EQ(ps.rcPaint.right, 1024);
  EXPECT_EQ(ps.rcPaint.bottom, 768);
  EXPECT_TRUE(EndPaint(hwnd, &ps));
  EXPECT_TRUE(Empty());
}

TEST_F(Paint, PostedMessagesComeBeforePaint) {
  const HWND hwnd = CreateHidden();
  ShowWindow(hwnd, SW_SHOW);
  PostMessageA(hwnd, WM_USER, 0, 0);
  EXPECT_EQ(Take().message, static_cast<UINT>(WM_USER));
  EXPECT_EQ(Take().message, static_cast<UINT>(WM_PAINT));
}

TEST_F(Paint, DefWindowProcValidatesAWindowThatDoesNotPaint) {
  const HWND hwnd = CreateHidden();
  ShowWindow(hwnd, SW_SHOW);
  const MSG msg = Take();
  ASSERT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  EXPECT_TRUE(Empty());
}

TEST_F(Paint, InvalidatedRectanglesAddUpToTheirBoundsClippedToTheClient) {
  const HWND hwnd = CreateShownAndPainted();
  const RECT first{10, 20, 30, 40};
  const RECT second{900, 700, 2000, 2000};
  EXPECT_TRUE(InvalidateRect(hwnd, &first, FALSE));
  EXPECT_TRUE(InvalidateRect(hwnd, &second, TRUE));
  EXPECT_EQ(Take().message, static_cast<UINT>(WM_PAINT));
  PAINTSTRUCT ps;
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
  EXPECT_EQ(ps.rcPaint.left, 10);
  EXPECT_EQ(ps.rcPaint.top, 20);
  EXPECT_EQ(ps.rcPaint.right, 1024);
  EXPECT_EQ(ps.rcPaint.bottom, 768);
  EXPECT_TRUE(Empty());

  const RECT outside{2000, 2000, 2100, 2100};
  EXPECT_TRUE(InvalidateRect(hwnd, &outside, FALSE));
  EXPECT_TRUE(Empty());
}

TEST_F(Paint, TheHostInvalidatesAnExposedWindow) {
  const HWND hwnd = CreateShownAndPainted();
  platform::invalidate_window(hwnd);
  const MSG msg = Take();
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
}

TEST_F(Paint, BeginPaintRefusesWhatIsNotAWindow) {
  PAINTSTRUCT ps;
  EXPECT_EQ(BeginPaint(reinterpret_cast<HWND>(0x1234), &ps), nullptr);
  const HWND hwnd = CreateHidden();
  EXPECT_EQ(BeginPaint(hwnd, NULL), nullptr);
}

using Translate = MessageQueueTest;

TEST_F(Translate, AnswersTrueForKeyMessagesOnly) {
  MSG msg{};
  msg.message = WM_KEYUP;
  msg.wParam = VK_LEFT;
  EXPECT_TRUE(TranslateMessage(&msg));
  msg.message = WM_USER;
  EXPECT_FALSE(TranslateMessage(&msg));
  EXPECT_TRUE(Empty());
}

TEST_F(Translate, KeyDownOfALetterPostsItsCharacterUnderShift) {
  const HWND hwnd = CreateShownAndPainted();
  platform::post_key('S', true);
  MSG msg = Take();
  EXPECT_TRUE(TranslateMessage(&msg));
  msg = Take();
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>('s'));
  EXPECT_EQ(msg.lParam, 0x001F0001);

  platform::set_key_down(VK_SHIFT, true);
  platform::post_key('2', true);
  msg = Take();
  TranslateMessage(&msg);
  EXPECT_EQ(Take().wParam, static_cast<WPARAM>('@'));
  platform::post_key('Q', true);
  msg = Take();
  TranslateMessage(&msg);
  EXPECT_EQ(Take().wParam, static_cast<WPARAM>('Q'));

  platform::post_key(VK_LEFT, true);
  msg = Take();
  EXPECT_TRUE(TranslateMessage(&msg));
  EXPECT_TRUE(Empty());
}

}  // namespace
