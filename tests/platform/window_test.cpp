#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "user32/input.h"

namespace {

std::vector<UINT> g_messages;
LPARAM g_create_lparam = 0;
LRESULT g_create_result = 0;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  g_messages.push_back(message);
  if (message == WM_CREATE) {
    g_create_lparam = lparam;
    return g_create_result;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Records what user32 tells the host about windows.
class WindowRecordingHost final : public platform::Host {
 public:
  struct Shown {
    HWND hwnd;
    int width;
    int height;
  };
  std::vector<Shown> shown;
  std::vector<HWND> destroyed;

  void present(const platform::FrameView&) override {}
  void forget_frame() override {}
  void pump_events() override {}
  void show_window(HWND hwnd, int width, int height) override { shown.push_back({hwnd, width, height}); }
  void destroy_window(HWND hwnd) override { destroyed.push_back(hwnd); }
  void message_box(const std::string&, const std::string&) override {}
  std::int64_t counter_frequency() override { return 10'000'000; }
  std::int64_t counter_now() override { return 0; }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_messages.clear();
    g_create_lparam = 0;
    g_create_result = 0;
    auto recording = std::make_unique<WindowRecordingHost>();
    host_ = recording.get();
    platform::install_host(std::move(recording));
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = RecordingProc;
    wc.hIcon = LoadIconA(NULL, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.lpszClassName = "Window_Test";
    ASSERT_NE(RegisterClassA(&wc), 0);
  }

  static HWND CreateGameLike(DWORD style = WS_POPUP | WS_BORDER | WS_SYSMENU, HWND owner = NULL) {
    return CreateWindowExA(0, "Window_Test", "Drel_HOPS", style, 0, 0, 1024, 768, owner, NULL, NULL, NULL);
  }

  WindowRecordingHost* host_ = nullptr;
};

using WindowClasses = WindowTest;

TEST_F(WindowClasses, ANameIsTakenOnceWhateverItsCase) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "WINDOW_TEST";
  EXPECT_EQ(RegisterClassA(&wc), 0);
  wc.lpszClassName = "another";
  EXPECT_NE(RegisterClassA(&wc), 0);
}

TEST_F(WindowClasses, AnIncompleteRecordIsRefused) {
  WNDCLASSA wc{};
  wc.lpszClassName = "no_procedure";
  EXPECT_EQ(RegisterClassA(&wc), 0);
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = NULL;
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_EQ(RegisterClassA(NULL), 0);
}

TEST_F(WindowClasses, TheAtomNamesTheClassToo) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "by_atom";
  const ATOM atom = RegisterClassA(&wc);
  ASSERT_NE(atom, 0);
  const HWND hwnd = CreateWindowExA(0, MAKEINTRESOURCEA(atom), "", WS_POPUP, 0, 0, 8, 8, NULL, NULL, NULL, NULL);
  EXPECT_NE(hwnd, nullptr);
}

TEST_F(WindowClasses, AnUnknownClassCreatesNoWindow) {
  EXPECT_EQ(CreateWindowExA(0, "Drel_HOPS", "Drel_HOPS", WS_POPUP, 0, 0, 1024, 768, NULL, NULL, NULL, NULL),
            nullptr);
  EXPECT_TRUE(g_messages.empty());
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
}

TEST_F(WindowCreation, HandlesAreDistinctAndNeverReused) {
  const HWND first = CreateGameLike();
  const HWND second = CreateGameLike();
  EXPECT_NE(first, nullptr);
  EXPECT_NE(first, second);
  DestroyWindow(second);
  const HWND third = CreateGameLike();
  EXPECT_NE(third, second);
  EXPECT_NE(third, first);
}

TEST_F(WindowCreation, SendsWmCreateBeforeReturning) {
  const HWND hwnd = CreateGameLike();
  ASSERT_EQ(g_messages, std::vector<UINT>{WM_CREATE});
  EXPECT_NE(g_create_lparam, 0);
  EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(WindowCreation, ACreateAnsweredWithMinusOneDestroysTheWindow) {
  g_create_result = -1;
  EXPECT_EQ(CreateGameLike(), nullptr);
  EXPECT_EQ(g_messages, (std::vector<UINT>{WM_CREATE, WM_DESTROY}));
  EXPECT_EQ(platform::input_window(), nullptr);
}

TEST_F(WindowCreation, AnUnknownOwnerCreatesNoWindow) {
  EXPECT_EQ(CreateGameLike(WS_POPUP, reinterpret_cast<HWND>(0x1234)), nullptr);
  EXPECT_TRUE(g_messages.empty());
}

using WindowVisibility = WindowTest;

TEST_F(WindowVisibility, HiddenUntilShowWindow) {
  const HWND hwnd = CreateGameLike();
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_FALSE(platform::window_shown(hwnd));
  EXPECT_TRUE(host_->shown.empty());

  EXPECT_FALSE(ShowWindow(hwnd, SW_SHOWDEFAULT));
  EXPECT_TRUE(IsWindowVisible(hwnd));
  ASSERT_EQ(host_->shown.size(), 1u);
  EXPECT_EQ(host_->shown[0].hwnd, hwnd);
  EXPECT_EQ(host_->shown[0].width, 1024);
  EXPECT_EQ(host_->shown[0].height, 768);

  EXPECT_TRUE(ShowWindow(hwnd, SW_SHOW));
  EXPECT_EQ(host_->shown.size(), 1u);
}

TEST_F(WindowVisibility, HidingTakesTheWindowOffTheHost) {
  const HWND hwnd = CreateGameLike();
  ShowWindow(hwnd, SW_SHOW);
  EXPECT_TRUE(ShowWindow(hwnd, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(host_->destroyed, std::vector<HWND>{hwnd});
  EXPECT_FALSE(ShowWindow(hwnd, SW_HIDE));
}

TEST_F(WindowVisibility, WsVisibleShowsAtCreation) {
  const HWND hwnd = CreateGameLike(WS_POPUP | WS_VISIBLE);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  ASSERT_EQ(host_->shown.size(), 1u);
  EXPECT_EQ(host_->shown[0].hwnd, hwnd);
}

TEST_F(WindowVisibility, ShowWindowRefusesWhatIsNotAWindow) {
  EXPECT_FALSE(ShowWindow(reinterpret_cast<HWND>(0x1234), SW_SHOW));
  EXPECT_FALSE(IsWindowVisible(NULL));
  EXPECT_TRUE(host_->shown.empty());
}

using WindowDestruction = WindowTest;

TEST_F(WindowDestruction, SendsWmDestroyAndForgetsTheHandle) {
  const HWND hwnd = CreateGameLike();
  ShowWindow(hwnd, SW_SHOW);
  g_messages.clear();
  EXPECT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(g_messages, std::vector<UINT>{WM_DESTROY});
  EXPECT_EQ(host_->destroyed, std::vector<HWND>{hwnd});
  EXPECT_FALSE(IsWindow(hwnd));
  RECT rc;
  EXPECT_FALSE(GetClientRect(hwnd, &rc));
  EXPECT_FALSE(DestroyWindow(hwnd));
  EXPECT_EQ(g_messages.size(), 1u);
}

TEST_F(WindowDestruction, OwnedWindowsGoFirst) {
  static std::vector<HWND> s_destroyed;
  s_destroyed.clear();
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
    if (message == WM_DESTROY) s_destroyed.push_back(hwnd);
    return DefWindowProcA(hwnd, message, wparam, lparam);
  };
  wc.lpszClassName = "owned";
  RegisterClassA(&wc);
  const HWND owner = CreateWindowExA(0, "owned", "", WS_POPUP, 0, 0, 8, 8, NULL, NULL, NULL, NULL);
  const HWND owned = CreateWindowExA(0, "owned", "", WS_POPUP, 0, 0, 8, 8, owner, NULL, NULL, NULL);
  DestroyWindow(owner);
  EXPECT_EQ(s_destroyed, (std::vector<HWND>{owned, owner}));
  EXPECT_FALSE(IsWindow(owned));
}

using WindowRectangles = WindowTest;

TEST_F(WindowRectangles, TheTestControlMovesTheClientRectangle) {
  const HWND hwnd = CreateGameLike();
  platform::set_client_rect(hwnd, RECT{0, 0, 640, 480});
  RECT rc;
  ASSERT_TRUE(GetClientRect(hwnd, &rc));
  EXPECT_EQ(rc.right, 640);
  EXPECT_EQ(rc.bottom, 480);
  EXPECT_FALSE(GetClientRect(hwnd, NULL));
  EXPECT_FALSE(GetClientRect(reinterpret_cast<HWND>(0x1234), &rc));
}

TEST(StockResources, OnlyTheSystemsIconAndArrowExist) {
  EXPECT_NE(LoadIconA(NULL, IDI_APPLICATION), nullptr);
  EXPECT_NE(LoadCursorA(NULL, IDC_ARROW), nullptr);
  EXPECT_NE(reinterpret_cast<void*>(LoadIconA(NULL, IDI_APPLICATION)),
            reinterpret_cast<void*>(LoadCursorA(NULL, IDC_ARROW)));
  const auto instance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000});
  EXPECT_EQ(LoadIconA(instance, IDI_APPLICATION), nullptr);
  EXPECT_EQ(LoadIconA(NULL, "HOPS"), nullptr);
  EXPECT_EQ(LoadCursorA(NULL, MAKEINTRESOURCEA(32513)), nullptr);
}

}  // namespace
