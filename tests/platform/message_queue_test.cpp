// user32: windows, the thread's message queue and the key state it keeps.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "host/headless/headless_host.h"
#include "testing/testing.h"
#include "user32/input.h"
#include "user32/key_state.h"

namespace {

using Strings = std::vector<std::string>;
const HWND kThreadOnly = reinterpret_cast<HWND>(-1);
const HWND kNoWindow = reinterpret_cast<HWND>(0x1234);

// What the windows' procedure received and what user32 told the host, in order.
Strings g_log;
std::vector<HWND> g_windows;  // w0, w1, ... by their place here
LRESULT g_create_result = 0;

std::string Name(HWND hwnd) {
  for (std::size_t i = 0; i < g_windows.size(); ++i)
    if (g_windows[i] == hwnd) return std::string("w").append(std::to_string(i));
  return hwnd == nullptr ? "thread" : "new";
}

std::string Show(const MSG& msg) {
  char sz[64];
  // lParam's bits at its own width: a pointer's, 64 or 32.
  std::snprintf(sz, sizeof sz, "%s %04X %lX %llX", Name(msg.hwnd).c_str(), msg.message,
                static_cast<unsigned long>(msg.wParam),
                static_cast<unsigned long long>(static_cast<ULONG_PTR>(msg.lParam)));
  return sz;
}

// WM_CREATE is logged with 1 for its CREATESTRUCT and answers g_create_result,
// WM_USER answers 42; the rest goes to DefWindowProcA, as in the game.
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  g_log.push_back(Show(MSG{hwnd, message, wparam, message == WM_CREATE ? lparam != 0 : lparam, 0, {}}));
  if (message == WM_CREATE) return g_create_result;
  return message == WM_USER ? 42 : DefWindowProcA(hwnd, message, wparam, lparam);
}

// The headless host, logging the windows it is told to show and drop.
struct RecordingHost final : platform::HeadlessHost {
  void show_window(HWND hwnd, int width, int height) override {
    g_log.push_back("host shows " + Name(hwnd) + " " + std::to_string(width) + "x" + std::to_string(height));
  }
  void destroy_window(HWND hwnd) override { g_log.push_back("host drops " + Name(hwnd)); }
};

bool Register(const char* name, WNDPROC procedure = RecordingProc) {
  const WNDCLASSA wc{0, procedure, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, name};
  return RegisterClassA(&wc) != 0;
}

HWND Create(DWORD style = WS_POPUP, HWND owner = nullptr, const char* class_name = "rec") {
  const HWND hwnd = CreateWindowExA(0, class_name, "Drel_HOPS", style, 0, 0, 1024, 768, owner, {}, {}, {});
  if (hwnd != nullptr) g_windows.push_back(hwnd);
  return hwnd;
}

// Window filter, range, removal and what the peek returns ("-" for nothing).
using Peek = std::tuple<HWND, UINT, UINT, UINT, const char*>;
// Each peek of the sequence returns what its row says; a removed WM_PAINT is
// dispatched, so that DefWindowProcA validates the window.
Strings Peeks(const std::vector<Peek>& peeks, bool check = true) {
  Strings seen, expected;
  for (const auto& [hwnd, first, last, remove, returns] : peeks) {
    MSG msg{};
    const BOOL got = PeekMessageA(&msg, hwnd, first, last, remove);
    seen.push_back(got ? Show(msg) : "-");
    expected.push_back(returns);
    if (got && msg.message == WM_PAINT && remove) DispatchMessageA(&msg);
  }
  EXPECT_TRUE(!check || seen == expected) << ::testing::PrintToString(seen);
  return seen;
}
Strings Drain(int count) { return Peeks(std::vector<Peek>(count, {nullptr, 0, 0, PM_REMOVE, ""}), false); }

class User32 : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log.clear();
    g_windows.clear();
    ASSERT_TRUE(Register("rec"));
  }
  // w0, shown, its first WM_PAINT taken.
  static HWND Shown() {
    const HWND hwnd = Create(WS_POPUP | WS_VISIBLE);
    Drain(1);
    return hwnd;
  }
};

// A class name is taken once whatever its case and needs a procedure; a
// window of an unknown class, of an owner that is not a window, or whose
// WM_CREATE answers -1 is not made. A pop-up is all client area; windows
// stay hidden until shown, the host shows and drops them, keys go to the
// last shown window else the last made (nowhere without one), and
// destroying an owner destroys what it owns first and forgets both.
TEST_F(User32, WindowsAreMadeShownHiddenAndDestroyed) {
  platform::install_host(std::make_unique<RecordingHost>());
  const auto keys_to = [] {
    const HWND input = platform::input_window();
    g_log.push_back("keys to " + (input == nullptr ? "-" : Name(input)));
  };
  const auto show = [&](HWND hwnd, int command) { return keys_to(), ShowWindow(hwnd, command); };
  EXPECT_EQ(std::vector<bool>({Register("another", nullptr), Register("REC"), Register("another"),
                               Create(WS_POPUP, nullptr, "Drel_HOPS") != nullptr,
                               Create(WS_POPUP, kNoWindow) != nullptr}),
            std::vector<bool>({false, false, true, false, false}));
  g_create_result = -1;
  EXPECT_EQ(Create(), nullptr);
  g_create_result = 0;
  keys_to();
  const HWND game = Create(WS_POPUP | WS_BORDER | WS_SYSMENU);
  EXPECT_EQ(platform::window_title(game), "Drel_HOPS");
  platform::testing::set_client_rect(game, RECT{0, 0, 640, 480});
  keys_to();
  const HWND owned = Create(WS_POPUP | WS_BORDER | WS_VISIBLE, game);
  RECT rc;
  const std::vector<BOOL> answers{IsWindowVisible(game),   show(game, SW_SHOWDEFAULT),
                                  IsWindowVisible(game),   show(owned, SW_SHOW),
                                  show(owned, SW_HIDE),    show(owned, SW_HIDE),
                                  IsWindowVisible(owned),  ShowWindow(kNoWindow, SW_SHOW),
                                  DestroyWindow(game),     DestroyWindow(game),
                                  IsWindow(game),          IsWindow(owned),
                                  GetClientRect(game, &rc)};
  EXPECT_EQ(answers, (std::vector<BOOL>{0, 0, 1, 1, 1, 0, 0, 0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(g_log, (Strings{"new 0001 0 1", "new 0002 0 0", "keys to -", "new 0001 0 1", "keys to w0",
                            "new 0001 0 1", "host shows new 1024x768", "keys to w1", "host shows w0 640x480",
                            "keys to w0", "keys to w1", "host drops w1", "keys to w0", "w1 0002 0 0",
                            "host drops w0", "w0 0002 0 0"}));
  EXPECT_EQ(Name(Create()), "w2");  // a handle of its own
}

// Posted messages come out in posting order; a window filter takes only
// that window's, (HWND)-1 only the thread's, a range only its messages (a
// lower bound above the upper wraps around), and WM_QUIT ignores the
// range, after every posted message that passes. A post to what is not a
// window fails; a destroyed window's messages go with it; a queue holding
// 10,000 takes no more until one is read. WM_PAINT is never queued: it
// comes for a shown window with an update region after every posted message
// and before WM_QUIT, until the region is validated; (HWND)-1 never sees it,
// nor does a hidden window get one. The update region is the bounds of what
// was invalidated, within the client.
TEST_F(User32, PostedMessagesAndPaintsPassTheFiltersInOrder) {
  const HWND first = Shown(), other = Create();
  ASSERT_TRUE(PostMessageA(first, WM_USER + 1, 1, 0x10) && PostMessageA(other, WM_USER + 2, 2, -20) &&
              PostMessageA(nullptr, WM_USER + 3, 3, 0x30) && PostMessageA(first, WM_KEYDOWN, VK_SPACE, 0) &&
              PostMessageA(first, WM_USER + 5, 5, 0x50));
  PostQuitMessage(7);
  constexpr const char* kMinusTwenty =
      sizeof(LPARAM) == 8 ? "w1 0402 2 FFFFFFFFFFFFFFEC" : "w1 0402 2 FFFFFFEC";
  Peeks({{other, 0, 0, PM_REMOVE, kMinusTwenty},
         {kThreadOnly, 0, 0, PM_REMOVE, "thread 0403 3 30"},
         {nullptr, WM_KEYDOWN, WM_KEYUP, PM_NOREMOVE, "w0 0100 20 0"},
         {nullptr, WM_USER + 5, WM_USER + 5, PM_NOREMOVE, "w0 0405 5 50"},
         {nullptr, WM_USER + 4, WM_USER + 1, PM_REMOVE, "w0 0401 1 10"},
         {nullptr, WM_USER + 4, WM_USER + 1, PM_REMOVE, "w0 0100 20 0"},
         {nullptr, WM_USER + 2, WM_USER + 3, PM_NOREMOVE, "thread 0012 7 0"},
         {nullptr, WM_USER + 2, WM_USER + 3, PM_REMOVE, "thread 0012 7 0"},
         {nullptr, WM_USER + 4, WM_USER + 1, PM_REMOVE, "w0 0405 5 50"},
         {nullptr, 0, 0, PM_REMOVE, "-"}});

  platform::invalidate_window(other);
  platform::invalidate_window(first);
  PostMessageA(first, WM_USER + 1, 0, 0);
  PostQuitMessage(3);
  Peeks({{kThreadOnly, 0, 0, PM_NOREMOVE, "thread 0012 3 0"},
         {nullptr, 0, 0, PM_REMOVE, "w0 0401 0 0"},
         {nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE, "w0 000F 0 0"},
         {nullptr, 0, 0, PM_NOREMOVE, "w0 000F 0 0"},
         {nullptr, 0, 0, PM_REMOVE, "w0 000F 0 0"},
         {nullptr, 0, 0, PM_REMOVE, "thread 0012 3 0"},
         {nullptr, 0, 0, PM_REMOVE, "-"}});

  const RECT outside{2000, 2000, 2100, 2100}, one{10, 20, 30, 40}, two{900, 700, 2000, 2000};
  InvalidateRect(first, &outside, FALSE);
  EXPECT_EQ(Drain(1), Strings{"-"});
  InvalidateRect(first, &one, FALSE);
  InvalidateRect(first, &two, TRUE);
  PAINTSTRUCT ps;
  const HDC hdc = BeginPaint(first, &ps);
  EXPECT_TRUE(EndPaint(first, &ps) && hdc != nullptr && ps.hdc == hdc);
  EXPECT_EQ(std::vector<LONG>({ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom}),
            std::vector<LONG>({10, 20, 1024, 768}));
  EXPECT_EQ(Drain(1), Strings{"-"});

  const HWND doomed = Create();
  ASSERT_TRUE(PostMessageA(doomed, WM_USER + 1, 0, 0) && PostMessageA(nullptr, WM_USER + 2, 0, 0) &&
              DestroyWindow(doomed));
  EXPECT_FALSE(PostMessageA(kNoWindow, WM_USER, 0, 0) || PostMessageA(doomed, WM_USER, 0, 0));
  EXPECT_EQ(Drain(2), (Strings{"thread 0402 0 0", "-"}));

  for (WPARAM i = 0; i < 10'000; ++i) ASSERT_TRUE(PostMessageA(nullptr, WM_USER, i, 0)) << i;
  EXPECT_FALSE(PostMessageA(nullptr, WM_USER, 10'000, 0));
  EXPECT_EQ(Drain(1), Strings{"thread 0400 0 0"});
  EXPECT_TRUE(PostMessageA(nullptr, WM_USER, 77'777, 0));
}

// Dispatch hands a window's message to its procedure and answers with its
// result; thread messages go nowhere. DefWindowProcA answers 0: WM_CLOSE
// destroys the window (which gets WM_DESTROY), a posted WM_DESTROY does not.
// TranslateMessage answers TRUE for key messages only; a peek without a MSG
// to fill answers FALSE.
TEST_F(User32, DispatchReachesTheProcedureAndDefWindowProcClosesWindows) {
  const HWND first = Shown();
  ASSERT_TRUE(PostMessageA(first, WM_USER, 5, 6) && PostMessageA(nullptr, WM_USER, 7, 8) &&
              PostMessageA(first, WM_DESTROY, 0, 0) && PostMessageA(first, WM_KEYUP, VK_SPACE, 0));
  platform::post_close();
  std::vector<LRESULT> results;
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    results.insert(results.end(), {TranslateMessage(&msg), DispatchMessageA(&msg)});  // in this order
  for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR})
    results.push_back(TranslateMessage(&(msg = MSG{nullptr, message, 0, 0, 0, {}})));
  results.insert(results.end(), {PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE), TranslateMessage(nullptr),
                                 DispatchMessageA(nullptr), SendMessageA(first, WM_USER, 0, 0)});
  EXPECT_EQ(results, (std::vector<LRESULT>{FALSE, 42, FALSE, 0, FALSE, 0, TRUE, 0, FALSE, 0, TRUE, TRUE, TRUE,
                                           FALSE, FALSE, FALSE, 0, 0}));
  EXPECT_EQ(g_log, (Strings{"new 0001 0 1", "w0 000F 0 0", "w0 0400 5 6", "w0 0002 0 0", "w0 0101 20 0",
                            "w0 0010 0 0", "w0 0002 0 0"}));
}

// The thread rests from its third empty peek in a row on, and never while a
// message, a quit or a paint is waiting to be returned. (That each peek first
// takes what the host has waiting, the SDL host's test shows.)
TEST_F(User32, AnIdleThreadRestsButNeverWithSomethingToReturn) {
  const HWND first = Shown();
  // One peek after each step: nothing (.), a key (K), a paint (P), a quit (Q);
  // what it returned if anything, and the rests so far.
  std::string trace;
  for (const char step : std::string("....K...P..Q.")) {
    if (step == 'K') platform::post_key('S', true);
    if (step == 'P') InvalidateRect(first, nullptr, FALSE);
    if (step == 'Q') PostQuitMessage(0);
    const std::string returned = Drain(1)[0];
    trace += (returned == "-" ? "" : "[" + returned + "] ") + std::to_string(platform::testing::rest_count());
  }
  EXPECT_EQ(trace, "0012[w0 0100 53 1F0001] 2223[w0 000F 0 0] 333[thread 0012 0 0] 33");
}

// The US keyboard's set-1 make codes, the layout Windows maps virtual keys
// with: each row's keys take the codes from its first on (Alt, Space, Caps
// Lock; F1-F10, Pause; Home, Up, Page Up; End, Down, Page Down, Insert,
// Delete); the arrows and the block above them are extended keys.
TEST(KeyState, ScanCodesAreThoseOfTheUsKeyboard) {
  const std::pair<std::string_view, unsigned> rows[] = {
      {"\x1B", 0x01},     {"1234567890", 0x02},    {"\b\tQWERTYUIOP", 0x0E},
      {"\r\x11", 0x1C},   {"ASDFGHJKL", 0x1E},     {"\x10", 0x2A},
      {"ZXCVBNM", 0x2C},  {"\x12 \x14", 0x38},     {"\x70\x71\x72\x73\x74\x75\x76\x77\x78\x79\x13", 0x3B},
      {"\x7A\x7B", 0x57}, {"\x24\x26\x21", 0x147}, {"\x23\x28\x22\x2D\x2E", 0x14F},
      {"\x25", 0x14B},    {"\x27", 0x14D}};
  std::vector<unsigned> expected(256, 0), codes;
  for (const auto& [keys, first] : rows)
    for (std::size_t i = 0; i < keys.size(); ++i) expected[static_cast<unsigned char>(keys[i])] = first + i;
  for (int key = 0; key < 256; key++) codes.push_back(platform::scan_code(key));
  EXPECT_EQ(codes, expected);
}

// GetKeyState reports the keyboard as of the key messages already taken from
// the queue: bit 15 down (read negative, as Windows widens the key's byte),
// bit 0 toggled on each press but not on a repeat; the system keys' messages
// count as much, the key is the low byte of wParam, and keys past 0xFF are never down.
TEST_F(User32, KeyStateFollowsTheKeyMessagesTakenFromTheQueue) {
  const HWND hwnd = Create();
  const std::tuple<int, bool, bool> events[] = {
      {VK_SPACE, true, false}, {VK_SPACE, true, true},  {VK_SPACE, false, false}, {VK_LEFT, true, false},
      {VK_RIGHT, true, false}, {VK_LEFT, false, false}, {VK_SPACE, true, false},  {VK_RIGHT, false, false}};
  for (const auto& [key, down, repeat] : events) platform::post_key(key, down, repeat);
  const std::pair<UINT, WPARAM> more[] = {
      {WM_SYSKEYDOWN, 0}, {WM_KEYDOWN, 0x1FF}, {WM_SYSKEYDOWN, 'A'}, {WM_SYSKEYUP, 'A'}};
  for (const auto& [message, key] : more) PostMessageA(hwnd, message, key, 0);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(GetKeyState(VK_SPACE), 0);

  // Each message taken and then the state of Space, Left, Right, A, 0, 0xFF, 0x100 and -1: down and
  // toggled (T), down (D), toggled (t) or neither (.).
  Strings trace;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    trace.push_back(Show(msg) + " ");
    for (int key : {VK_SPACE, VK_LEFT, VK_RIGHT, int{'A'}, 0, 0xFF, 0x100, -1}) {
      const SHORT state = GetKeyState(key);
      trace.back() += state == -127 ? 'T' : state == -128 ? 'D' : state == 1 ? 't' : state == 0 ? '.' : '?';
    }
  }
  EXPECT_EQ(
      trace,
      (Strings{"w0 0100 20 390001 T.......", "w0 0100 20 40390001 T.......", "w0 0101 20 C0390001 t.......",
               "w0 0100 25 14B0001 tT......", "w0 0100 27 14D0001 tTT.....", "w0 0101 25 C14B0001 ttT.....",
               "w0 0100 20 390001 DtT.....", "w0 0101 27 C14D0001 Dtt.....", "w0 0104 0 0 Dtt.T...",
               "w0 0100 1FF 0 Dtt.TT..", "w0 0104 41 0 DttTTT..", "w0 0105 41 0 DtttTT.."}));
}

}  // namespace
