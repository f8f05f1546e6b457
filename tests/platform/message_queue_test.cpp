#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "testing/testing.h"
#include "user32/input.h"

namespace {

std::vector<std::string> g_received;
HWND g_first = nullptr;

std::string Name(HWND hwnd) { return hwnd == nullptr ? "thread" : hwnd == g_first ? "first" : "other"; }

std::string Show(const MSG& msg) {
  char sz[64];
  std::snprintf(sz, sizeof sz, "%s %04X %lu %ld", Name(msg.hwnd).c_str(), msg.message,
                static_cast<unsigned long>(msg.wParam), static_cast<long>(msg.lParam));
  return sz;
}

// Records every message and leaves the rest to DefWindowProcA, as the
// game's procedure does; WM_USER answers 42 so dispatch results show.
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  g_received.push_back(Show(MSG{hwnd, message, wparam, lparam, 0, {}}));
  return message == WM_USER ? 42 : DefWindowProcA(hwnd, message, wparam, lparam);
}

class MessageQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "queue_test";
    RegisterClassA(&wc);
    g_first = CreateHidden();
    ShowWindow(g_first, SW_SHOW);
    Peeks({{g_first, 0, 0, PM_REMOVE}});  // its first WM_PAINT, validated
    g_received.clear();
  }
  static HWND CreateHidden() {
    return CreateWindowExA(0, "queue_test", "", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr, nullptr,
                           nullptr);
  }
  struct Peek {
    HWND hwnd;
    UINT first, last, remove;
  };
  // What each peek returns ("-" for nothing); a removed WM_PAINT is
  // dispatched, so that DefWindowProcA validates the window.
  static std::vector<std::string> Peeks(const std::vector<Peek>& peeks) {
    std::vector<std::string> seen;
    for (const Peek& peek : peeks) {
      MSG msg{};
      const BOOL got = PeekMessageA(&msg, peek.hwnd, peek.first, peek.last, peek.remove);
      seen.push_back(got ? Show(msg) : "-");
      if (got && msg.message == WM_PAINT && peek.remove) {
        EXPECT_EQ(DispatchMessageA(&msg), 0);
      }
    }
    return seen;
  }
  static std::vector<std::string> Drain() {
    return Peeks(std::vector<Peek>(8, Peek{nullptr, 0, 0, PM_REMOVE}));
  }
};

// Posted messages come out in posting order; a window filter takes only
// that window's, (HWND)-1 only the thread's, a range only its messages (a
// lower bound above the upper wraps around), and WM_QUIT ignores the
// range, after every posted message that passes.
TEST_F(MessageQueue, PostedMessagesPassTheFiltersInPostingOrder) {
  const HWND other = CreateHidden();
  ASSERT_TRUE(PostMessageA(g_first, WM_USER + 1, 1, 10));
  ASSERT_TRUE(PostMessageA(other, WM_USER + 2, 2, -20));
  ASSERT_TRUE(PostMessageA(nullptr, WM_USER + 3, 3, 30));
  ASSERT_TRUE(PostMessageA(g_first, WM_KEYDOWN, VK_SPACE, 0));
  ASSERT_TRUE(PostMessageA(g_first, WM_USER + 5, 5, 50));
  PostQuitMessage(7);
  EXPECT_EQ(
      Peeks({{other, 0, 0, PM_REMOVE},
             {reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE},
             {nullptr, WM_KEYDOWN, WM_KEYUP, PM_NOREMOVE},
             {nullptr, WM_USER + 5, WM_USER + 5, PM_NOREMOVE},
             {nullptr, WM_USER + 4, WM_USER + 1, PM_REMOVE},
             {nullptr, WM_USER + 4, WM_USER + 1, PM_REMOVE},
             {nullptr, WM_USER + 2, WM_USER + 3, PM_NOREMOVE},
             {nullptr, WM_USER + 2, WM_USER + 3, PM_REMOVE}}),
      (std::vector<std::string>{"other 0402 2 -20", "thread 0403 3 30", "first 0100 32 0", "first 0405 5 50",
                                "first 0401 1 10", "first 0100 32 0", "thread 0012 7 0", "thread 0012 7 0"}));
  EXPECT_EQ(Drain(), (std::vector<std::string>{"first 0405 5 50", "-", "-", "-", "-", "-", "-", "-"}));
}

// A post to what is not a window fails; a destroyed window's messages go
// with it; a queue holding 10,000 takes no more until one is read.
TEST_F(MessageQueue, PostsReachOnlyLiveWindowsAndAFullQueueRefuses) {
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0));
  const HWND doomed = CreateHidden();
  PostMessageA(doomed, WM_USER + 1, 0, 0);
  PostMessageA(nullptr, WM_USER + 2, 0, 0);
  DestroyWindow(doomed);
  EXPECT_FALSE(PostMessageA(doomed, WM_USER, 0, 0));
  EXPECT_EQ(Peeks({{nullptr, 0, 0, PM_REMOVE}, {nullptr, 0, 0, PM_REMOVE}}),
            (std::vector<std::string>{"thread 0402 0 0", "-"}));

  for (WPARAM i = 0; i < 10'000; ++i) ASSERT_TRUE(PostMessageA(nullptr, WM_USER, i, 0)) << i;
  EXPECT_FALSE(PostMessageA(nullptr, WM_USER, 10'000, 0));
  EXPECT_EQ(Peeks({{nullptr, 0, 0, PM_REMOVE}}), (std::vector<std::string>{"thread 0400 0 0"}));
  EXPECT_TRUE(PostMessageA(nullptr, WM_USER, 77'777, 0));
  MSG msg{};
  WPARAM last = 0;
  int count = 0;
  for (; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++count) last = msg.wParam;
  EXPECT_EQ(count, 10'000);
  EXPECT_EQ(last, 77'777u) << "the refused post was never queued";
}

// WM_PAINT is never queued: it comes for a shown window with an update
// region after every posted message and before WM_QUIT, until the region is
// validated; (HWND)-1 never sees it, nor does a hidden window get one.
TEST_F(MessageQueue, PaintComesForAShownWindowUntilItIsValidated) {
  const HWND hidden = CreateHidden();
  platform::invalidate_window(hidden);
  platform::invalidate_window(g_first);
  PostMessageA(g_first, WM_USER + 1, 0, 0);
  PostQuitMessage(3);
  EXPECT_EQ(Peeks({{reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE},
                   {nullptr, 0, 0, PM_REMOVE},
                   {nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE},
                   {nullptr, 0, 0, PM_NOREMOVE},
                   {nullptr, 0, 0, PM_REMOVE},
                   {nullptr, 0, 0, PM_REMOVE},
                   {nullptr, 0, 0, PM_REMOVE}}),
            (std::vector<std::string>{"thread 0012 3 0", "first 0401 0 0", "first 000F 0 0", "first 000F 0 0",
                                      "first 000F 0 0", "thread 0012 3 0", "-"}));

  // The update region is the bounds of what was invalidated, within the client.
  const RECT outside{2000, 2000, 2100, 2100}, first{10, 20, 30, 40}, second{900, 700, 2000, 2000};
  InvalidateRect(g_first, &outside, FALSE);
  EXPECT_EQ(Drain()[0], "-");
  InvalidateRect(g_first, &first, FALSE);
  InvalidateRect(g_first, &second, TRUE);
  PAINTSTRUCT ps;
  const HDC hdc = BeginPaint(g_first, &ps);
  EXPECT_TRUE(EndPaint(g_first, &ps));
  EXPECT_NE(hdc, nullptr);
  EXPECT_EQ(ps.hdc, hdc);
  EXPECT_EQ(std::vector<LONG>({ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom}),
            std::vector<LONG>({10, 20, 1024, 768}));
  EXPECT_EQ(Drain()[0], "-");
}

// Dispatch hands a window's message to its procedure and answers with its
// result; thread messages go nowhere. DefWindowProcA answers 0: WM_CLOSE
// destroys the window (which gets WM_DESTROY), a posted WM_DESTROY does not.
// TranslateMessage answers TRUE for key messages only.
TEST_F(MessageQueue, DispatchReachesTheProcedureAndDefWindowProcClosesWindows) {
  PostMessageA(g_first, WM_USER, 5, 6);
  PostMessageA(nullptr, WM_USER, 7, 8);
  PostMessageA(g_first, WM_DESTROY, 0, 0);
  PostMessageA(g_first, WM_KEYUP, VK_SPACE, 0);
  platform::post_close();
  std::vector<LRESULT> results;
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    results.push_back(TranslateMessage(&msg));
    results.push_back(DispatchMessageA(&msg));
  }
  EXPECT_EQ(results, (std::vector<LRESULT>{FALSE, 42, FALSE, 0, FALSE, 0, TRUE, 0, FALSE, 0}));
  EXPECT_EQ(g_received, (std::vector<std::string>{"first 0400 5 6", "first 0002 0 0", "first 0101 32 0",
                                                  "first 0010 0 0", "first 0002 0 0"}));
  EXPECT_FALSE(IsWindow(g_first));
  EXPECT_EQ(TranslateMessage(nullptr), FALSE);
  EXPECT_EQ(DispatchMessageA(nullptr), 0);
  EXPECT_EQ(SendMessageA(g_first, WM_USER, 0, 0), 0) << "the window is gone";
  for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP}) {
    msg.message = message;
    EXPECT_EQ(TranslateMessage(&msg), TRUE);
  }
}

// The thread rests from its third empty peek in a row on, and never while
// a message, a quit or a paint is waiting to be returned.
TEST_F(MessageQueue, AnIdleThreadRestsButNeverWithSomethingToReturn) {
  struct Step {
    std::function<void()> before;
    const char* returns;
    int rests;
  };
  const Step steps[] = {
      {[] {}, "-", 0},
      {[] {}, "-", 0},
      {[] {}, "-", 1},
      {[] {}, "-", 2},
      {[] { platform::post_key('S', true); }, "first 0100 83 2031617", 2},
      {[] {}, "-", 2},
      {[] {}, "-", 2},
      {[] {}, "-", 3},
      {[] { InvalidateRect(g_first, nullptr, FALSE); }, "first 000F 0 0", 3},
      {[] {}, "-", 3},
      {[] {}, "-", 3},
      {[] { PostQuitMessage(0); }, "thread 0012 0 0", 3},
      {[] {}, "-", 3},
  };
  for (const Step& step : steps) {
    step.before();
    EXPECT_EQ(Peeks({{nullptr, 0, 0, PM_REMOVE}}), std::vector<std::string>{step.returns});
    EXPECT_EQ(platform::testing::rest_count(), step.rests) << step.returns;
  }
}

// Each peek first takes what the machine has waiting from the host.
TEST_F(MessageQueue, ThePeekPumpsTheHostFirst) {
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
  platform::install_host(std::make_unique<KeyWaitingHost>());
  EXPECT_EQ(Drain(), (std::vector<std::string>{"first 0100 83 2031617", "-", "-", "-", "-", "-", "-", "-"}));
}

}  // namespace
