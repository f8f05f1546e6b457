#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "user32/input.h"

namespace {

std::vector<std::pair<HWND, UINT>> g_received;
LPARAM g_create_lparam = 0;
LRESULT g_create_result = 0;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  g_received.emplace_back(hwnd, message);
  if (message == WM_CREATE) {
    g_create_lparam = lparam;
    return g_create_result;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Records what user32 tells the host about windows.
class WindowRecordingHost final : public platform::Host {
 public:
  std::vector<std::vector<int>> shown;  // {width, height} per show
  std::vector<HWND> shown_windows;
  std::vector<HWND> destroyed;

  void present(const platform::FrameView&) override {}
  void forget_frame() override {}
  void pump_events() override {}
  void show_window(HWND hwnd, int width, int height) override {
    shown_windows.push_back(hwnd);
    shown.push_back({width, height});
  }
  void destroy_window(HWND hwnd) override { destroyed.push_back(hwnd); }
  void message_box(const std::string&, const std::string&) override {}
  std::int64_t counter_frequency() override { return 10'000'000; }
  std::int64_t counter_now() override { return 0; }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received.clear();
    auto recording = std::make_unique<WindowRecordingHost>();
    host_ = recording.get();
    platform::install_host(std::move(recording));
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "Window_Test";
    ASSERT_NE(RegisterClassA(&wc), 0);
  }

  static HWND CreateGameLike(DWORD style = WS_POPUP | WS_BORDER | WS_SYSMENU, HWND owner = NULL) {
    return CreateWindowExA(0, "Window_Test", "Drel_HOPS", style, 0, 0, 1024, 768, owner, NULL, NULL, NULL);
  }

  WindowRecordingHost* host_ = nullptr;
};

using WindowClasses = WindowTest;

TEST_F(WindowClasses, ANameIsTakenOnceWhateverItsCaseAndNeedsAProcedure) {
  WNDCLASSA wc{};
  wc.lpszClassName = "another";
  EXPECT_EQ(RegisterClassA(&wc), 0);
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "WINDOW_TEST";
  EXPECT_EQ(RegisterClassA(&wc), 0);
  wc.lpszClassName = "another";
  EXPECT_NE(RegisterClassA(&wc), 0);
}

TEST_F(WindowClasses, AnUnknownClassCreatesNoWindow) {
  EXPECT_EQ(CreateWindowExA(0, "Drel_HOPS", "Drel_HOPS", WS_POPUP, 0, 0, 1024, 768, NULL, NULL, NULL, NULL),
            nullptr);
  EXPECT_TRUE(g_received.empty());
  EXPECT_EQ(platform::input_window(), nullptr);
}

using WindowCreation = WindowTest;

TEST_F(WindowCreation, APopupOfTheDisplaySizeHasItAllAsClientArea) {
  const HWND hwnd = CreateGameLike();
  ASSERT_NE(hwnd, nullptr);
  RECT rc{-1, -1, -1, -1};
  ASSERT_TRUE(GetClientRect(hwnd, &rc));
  EXPECT_EQ(rc.left, 0);
  EXPECT_EQ(rc.top, 0);
  EXPECT_EQ(rc.right, 1024);
  EXPECT_EQ(rc.bottom, 768);
  EXPECT_EQ(platform::window_title(hwnd), "Drel_HOPS");
  platform::set_client_rect(hwnd, RECT{0, 0, 640, 480});
  ASSERT_TRUE(GetClientRect(hwnd, &rc));
  EXPECT_EQ(rc.right, 640);
  EXPECT_EQ(rc.bottom, 480);
}

TEST_F(WindowCreation, SendsWmCreateBeforeReturningADistinctHandle) {
  const HWND first = CreateGameLike();
  ASSERT_EQ(g_received.size(), 1u);
  EXPECT_EQ(g_received[0], std::make_pair(first, static_cast<UINT>(WM_CREATE)));
  EXPECT_NE(g_create_lparam, 0);
  const HWND second = CreateGameLike();
  DestroyWindow(second);
  const HWND third = CreateGameLike();
  EXPECT_NE(first, second);
  EXPECT_NE(third, second);
  EXPECT_NE(third, first);
}

TEST_F(WindowCreation, ACreateAnsweredWithMinusOneDestroysTheWindow) {
  g_create_result = -1;
  EXPECT_EQ(CreateGameLike(), nullptr);
  ASSERT_EQ(g_received.size(), 2u);
  EXPECT_EQ(g_received[1].second, static_cast<UINT>(WM_DESTROY));
  EXPECT_EQ(platform::input_window(), nullptr);
  g_create_result = 0;
  EXPECT_EQ(CreateGameLike(WS_POPUP, reinterpret_cast<HWND>(0x1234)), nullptr);
  EXPECT_EQ(g_received.size(), 2u);
}

using WindowVisibility = WindowTest;

TEST_F(WindowVisibility, HiddenUntilShowWindow) {
  const HWND hwnd = CreateGameLike();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_FALSE(platform::window_shown(hwnd));
  EXPECT_TRUE(host_->shown.empty());
  EXPECT_FALSE(ShowWindow(hwnd, SW_SHOWDEFAULT));
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(host_->shown_windows, std::vector<HWND>{hwnd});
  EXPECT_EQ(host_->shown, (std::vector<std::vector<int>>{{1024, 768}}));
  EXPECT_TRUE(ShowWindow(hwnd, SW_SHOW));
  EXPECT_EQ(host_->shown.size(), 1u);
  EXPECT_FALSE(ShowWindow(reinterpret_cast<HWND>(0x1234), SW_SHOW));
}

TEST_F(WindowVisibility, HidingTakesTheWindowOffTheHostAndWsVisibleShowsAtOnce) {
  const HWND hwnd = CreateGameLike(WS_POPUP | WS_VISIBLE);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(host_->shown_windows, std::vector<HWND>{hwnd});
  EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(host_->destroyed, std::vector<HWND>{hwnd});
  EXPECT_FALSE(ShowWindow(hwnd, SW_HIDE));
}

using WindowDestruction = WindowTest;

TEST_F(WindowDestruction, SendsWmDestroyOwnedWindowsFirstAndForgetsTheHandles) {
  const HWND owner = CreateGameLike();
  const HWND owned = CreateGameLike(WS_POPUP, owner);
  ShowWindow(owner, SW_SHOW);
  g_received.clear();
  EXPECT_TRUE(DestroyWindow(owner));
  EXPECT_EQ(g_received, (std::vector<std::pair<HWND, UINT>>{{owned, WM_DESTROY}, {owner, WM_DESTROY}}));
  EXPECT_EQ(host_->destroyed, std::vector<HWND>{owner});
  EXPECT_FALSE(IsWindow(owner));
  EXPECT_FALSE(IsWindow(owned));
  RECT rc;
  EXPECT_FALSE(GetClientRect(owner, &rc));
  EXPECT_FALSE(DestroyWindow(owner));
  EXPECT_EQ(g_received.size(), 2u);
}

TEST(StockResources, OnlyTheSystemsIconAndArrowExist) {
  const HICON icon = LoadIconA(NULL, IDI_APPLICATION);
  const HCURSOR cursor = LoadCursorA(NULL, IDC_ARROW);
  EXPECT_NE(icon, nullptr);
  EXPECT_NE(cursor, nullptr);
  EXPECT_NE(static_cast<void*>(icon), static_cast<void*>(cursor));
  EXPECT_EQ(LoadIconA(reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000}), IDI_APPLICATION), nullptr);
  EXPECT_EQ(LoadIconA(NULL, "HOPS"), nullptr);
  EXPECT_EQ(LoadCursorA(NULL, MAKEINTRESOURCEA(32513)), nullptr);
}

}  // namespace
