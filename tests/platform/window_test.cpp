#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "user32/input.h"

namespace {

// What the windows' procedure received and what user32 told the host, in order.
std::vector<std::string> g_events;
std::vector<HWND> g_windows;  // named by their place here
LRESULT g_create_result = 0;

std::string Name(HWND hwnd) {
  for (std::size_t i = 0; i < g_windows.size(); ++i)
    if (g_windows[i] == hwnd) return "w" + std::to_string(i);
  return "new";
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_CREATE) {
    g_events.push_back(Name(hwnd) + " WM_CREATE" + (lparam != 0 ? " with its CREATESTRUCT" : ""));
    return g_create_result;
  }
  if (message == WM_DESTROY) g_events.push_back(Name(hwnd) + " WM_DESTROY");
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

class RecordingHost final : public platform::Host {
 public:
  void present(const platform::FrameView&) override {}
  void forget_frame() override {}
  void pump_events() override {}
  void show_window(HWND hwnd, int width, int height) override {
    g_events.push_back("host shows " + Name(hwnd) + " " + std::to_string(width) + "x" +
                       std::to_string(height));
  }
  void destroy_window(HWND hwnd) override { g_events.push_back("host drops " + Name(hwnd)); }
  void message_box(const std::string&, const std::string&) override {}
  std::int64_t counter_frequency() override { return 10'000'000; }
  std::int64_t counter_now() override { return 0; }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_events.clear();
    g_windows.clear();
    platform::install_host(std::make_unique<RecordingHost>());
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "Window_Test";
    ASSERT_NE(RegisterClassA(&wc), 0);
  }
  static HWND Create(DWORD style = WS_POPUP | WS_BORDER | WS_SYSMENU, HWND owner = nullptr,
                     const char* class_name = "Window_Test") {
    const HWND hwnd =
        CreateWindowExA(0, class_name, "Drel_HOPS", style, 0, 0, 1024, 768, owner, nullptr, nullptr, nullptr);
    if (hwnd != nullptr) g_windows.push_back(hwnd);
    return hwnd;
  }
};

// A class name is taken once whatever its case and needs a procedure; a
// window of an unknown class, of an owner that is not a window, or whose
// WM_CREATE answers -1 is not made.
TEST_F(WindowTest, ClassesAndCreationsThatFail) {
  WNDCLASSA wc{};
  wc.lpszClassName = "another";
  EXPECT_EQ(RegisterClassA(&wc), 0);
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = "WINDOW_TEST";
  EXPECT_EQ(RegisterClassA(&wc), 0);
  wc.lpszClassName = "another";
  EXPECT_NE(RegisterClassA(&wc), 0);

  EXPECT_EQ(Create(WS_POPUP, nullptr, "Drel_HOPS"), nullptr);
  EXPECT_EQ(Create(WS_POPUP, reinterpret_cast<HWND>(0x1234)), nullptr);
  g_create_result = -1;
  EXPECT_EQ(Create(), nullptr);
  g_create_result = 0;
  EXPECT_EQ(g_events, (std::vector<std::string>{"new WM_CREATE with its CREATESTRUCT", "new WM_DESTROY"}));
  EXPECT_EQ(platform::input_window(), nullptr);
}

// A pop-up of the display's size is all client area; windows stay hidden
// until shown, the host shows and drops them, and destroying an owner
// destroys what it owns first and forgets both handles.
TEST_F(WindowTest, WindowsAreCreatedShownHiddenAndDestroyed) {
  const HWND game = Create();
  RECT rc{-1, -1, -1, -1};
  ASSERT_TRUE(GetClientRect(game, &rc));
  EXPECT_EQ(std::vector<LONG>({rc.left, rc.top, rc.right, rc.bottom}), std::vector<LONG>({0, 0, 1024, 768}));
  EXPECT_EQ(platform::window_title(game), "Drel_HOPS");
  platform::set_client_rect(game, RECT{0, 0, 640, 480});
  ASSERT_TRUE(GetClientRect(game, &rc));
  EXPECT_EQ(std::vector<LONG>({rc.right, rc.bottom}), std::vector<LONG>({640, 480}));

  const HWND owned = Create(WS_POPUP | WS_VISIBLE, game);
  EXPECT_NE(owned, game);
  std::vector<BOOL> answers{IsWindowVisible(game),
                            ShowWindow(game, SW_SHOWDEFAULT),
                            IsWindowVisible(game),
                            ShowWindow(game, SW_SHOW),
                            ShowWindow(owned, SW_HIDE),
                            ShowWindow(owned, SW_HIDE),
                            IsWindowVisible(owned),
                            ShowWindow(reinterpret_cast<HWND>(0x1234), SW_SHOW),
                            DestroyWindow(game),
                            DestroyWindow(game),
                            IsWindow(game),
                            IsWindow(owned),
                            GetClientRect(game, &rc)};
  EXPECT_EQ(answers, (std::vector<BOOL>{FALSE, FALSE, TRUE, TRUE, TRUE, FALSE, FALSE, FALSE, TRUE, FALSE,
                                        FALSE, FALSE, FALSE}));
  EXPECT_EQ(g_events, (std::vector<std::string>{
                          "new WM_CREATE with its CREATESTRUCT", "new WM_CREATE with its CREATESTRUCT",
                          "host shows new 1024x768", "host shows w0 640x480", "host drops w1",
                          "w1 WM_DESTROY", "host drops w0", "w0 WM_DESTROY"}));
  const HWND again = Create();
  EXPECT_NE(again, game);
  EXPECT_NE(again, owned);
}

}  // namespace
