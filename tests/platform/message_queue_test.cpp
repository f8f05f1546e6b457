#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "host/host.h"
#include "user32/input.h"

namespace {

std::vector<MSG> g_received;

// Records every message and leaves the rest to DefWindowProcA, as the
// game's procedure does; WM_USER answers 42 so dispatch results show.
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  g_received.push_back(MSG{hwnd, message, wparam, lparam, 0, {}});
  if (message == WM_USER) return 42;
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

class MessageQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received.clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "queue_test";
    RegisterClassA(&wc);
  }

  static HWND CreateHidden() {
    return CreateWindowExA(0, "queue_test", "", WS_POPUP, 0, 0, 1024, 768, NULL, NULL, NULL, NULL);
  }

  static HWND CreateShownAndPainted() {
    const HWND hwnd = CreateHidden();
    ShowWindow(hwnd, SW_SHOW);
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    g_received.clear();
    return hwnd;
  }

  // The next message's window, number and wParam, removed from the queue.
  static MSG Take() {
    MSG msg{};
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
  msg = Take();
  EXPECT_EQ(msg.message, WM_USER + 3u);
  EXPECT_EQ(msg.lParam, -300);
  EXPECT_TRUE(Empty());
}

TEST_F(PostedMessages, NeverReachAWindowThatIsGone) {
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
  const HWND doomed = CreateShownAndPainted();
  PostMessageA(doomed, WM_USER + 1, 0, 0);
  PostMessageA(NULL, WM_USER + 2, 0, 0);
  DestroyWindow(doomed);
  EXPECT_FALSE(PostMessageA(doomed, WM_USER, 0, 0));
  EXPECT_EQ(Take().message, WM_USER + 2u);
  EXPECT_TRUE(Empty());
}

TEST_F(PostedMessages, AQueueOfTenThousandTakesNoMoreUntilOneIsRead) {
  for (WPARAM i = 0; i < 10'000; ++i) ASSERT_TRUE(PostMessageA(NULL, WM_USER, i, 0)) << i;
  EXPECT_FALSE(PostMessageA(NULL, WM_USER, 10'000, 0));
  EXPECT_EQ(Take().wParam, 0u);
  EXPECT_TRUE(PostMessageA(NULL, WM_USER, 77'777, 0));
  MSG msg{};
  WPARAM last = 0;
  int count = 0;
  for (; PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE); ++count) last = msg.wParam;
  EXPECT_EQ(count, 10'000);
  EXPECT_EQ(last, 77'777u) << "the refused post was never queued";
}

TEST_F(PostedMessages, NoRemoveLeavesTheMessageForTheNextPeek) {
  const HWND hwnd = CreateShownAndPainted();
  PostMessageA(hwnd, WM_USER + 5, 1, 2);
  MSG msg;
  for (int peek = 0; peek < 2; ++peek) {
    ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 5u);
  }
  EXPECT_EQ(Take().message, WM_USER + 5u);
  EXPECT_TRUE(Empty());
}

TEST_F(PostedMessages, WindowAndRangeFiltersTakeOnlyWhatTheyName) {
  const HWND first = CreateShownAndPainted();
  const HWND second = CreateHidden();
  PostMessageA(first, WM_USER + 1, 0, 0);
  PostMessageA(second, WM_USER + 2, 0, 0);
  PostMessageA(NULL, WM_USER + 3, 0, 0);
  PostMessageA(first, WM_KEYDOWN, VK_SPACE, 0);
  PostQuitMessage(0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, second, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 2u);
  ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_USER + 3u);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  // WM_QUIT ignores the range, as on Windows.
  ASSERT_TRUE(PeekMessageA(&msg, NULL, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(Take().message, WM_USER + 1u);
  EXPECT_TRUE(Empty());
}

using EmptyQueue = MessageQueueTest;

TEST_F(EmptyQueue, PeekReturnsZeroAndAHiddenInvalidWindowGetsNoPaint) {
  MSG msg;
  EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE), FALSE);
  ASSERT_NE(CreateHidden(), nullptr);
  EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), FALSE);
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
  MSG msg{};
  int idle_passes = 0;
  for (int pass = 0; pass < 100; ++pass) {
    if (!PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      ++idle_passes;
      continue;
    }
    if (msg.message == WM_QUIT) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.wParam, 7u);
  ASSERT_EQ(g_received.size(), 2u);
  EXPECT_EQ(g_received[0].message, WM_USER + 1u);
  EXPECT_EQ(g_received[1].message, WM_USER + 2u);
  EXPECT_EQ(idle_passes, 0);
}

TEST_F(QuitMessage, ComesAfterPaintAndOnlyOnce) {
  ShowWindow(CreateHidden(), SW_SHOW);
  PostQuitMessage(3);
  MSG msg = Take();
  ASSERT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
  // The procedure does not paint; DefWindowProcA validates the window.
  EXPECT_EQ(DispatchMessageA(&msg), 0);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  msg = Take();
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_TRUE(Empty());
}

using Dispatch = MessageQueueTest;

TEST_F(Dispatch, APostedDestroyReachesTheProcedureAndTheWindowLivesOn) {
  const HWND hwnd = CreateShownAndPainted();
  PostMessageA(hwnd, WM_DESTROY, 0, 0);
  const MSG msg = Take();
  DispatchMessageA(&msg);
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0].hwnd, hwnd);
  EXPECT_EQ(g_received[0].message, static_cast<UINT>(WM_DESTROY));
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
  EXPECT_EQ(SendMessageA(hwnd, WM_USER, 9, 10), 42);
  ASSERT_EQ(g_received.size(), 2u);
  EXPECT_EQ(g_received[0].wParam, 5u);
  EXPECT_EQ(g_received[1].wParam, 9u);
  EXPECT_TRUE(Empty());
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
  PostMessageA(hwnd, WM_USER, 0, 0);
  EXPECT_EQ(Take().message, static_cast<UINT>(WM_USER));
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

TEST_F(Paint, InvalidatedRectanglesAddUpToTheirBoundsClippedToTheClient) {
  const HWND hwnd = CreateShownAndPainted();
  const RECT outside{2000, 2000, 2100, 2100};
  EXPECT_TRUE(InvalidateRect(hwnd, &outside, FALSE));
  EXPECT_TRUE(Empty());
  const RECT first{10, 20, 30, 40};
  const RECT second{900, 700, 2000, 2000};
  InvalidateRect(hwnd, &first, FALSE);
  InvalidateRect(hwnd, &second, TRUE);
  EXPECT_EQ(Take().message, static_cast<UINT>(WM_PAINT));
  PAINTSTRUCT ps;
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
  EXPECT_EQ(ps.rcPaint.left, 10);
  EXPECT_EQ(ps.rcPaint.top, 20);
  EXPECT_EQ(ps.rcPaint.right, 1024);
  EXPECT_EQ(ps.rcPaint.bottom, 768);
  platform::invalidate_window(hwnd);
  EXPECT_EQ(Take().hwnd, hwnd);
}

}  // namespace
