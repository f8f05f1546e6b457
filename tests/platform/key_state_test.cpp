#include <gtest/gtest.h>

#include <windows.h>

#include "testing/testing.h"
#include "user32/input.h"

namespace {

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

HWND CreateWindowNamed(const char* title) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "keys";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "keys", title, WS_POPUP, 0, 0, 1024, 768, NULL, NULL, NULL, NULL);
}

// A hidden window: no WM_PAINT gets between the key messages.
HWND CreateKeyboardWindow() { return CreateWindowNamed("keys"); }

MSG Take() {
  MSG msg{};
  EXPECT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  return msg;
}

bool Down(int virtual_key) { return (GetKeyState(virtual_key) & 0x8000) != 0; }
bool Toggled(int virtual_key) { return (GetKeyState(virtual_key) & 1) != 0; }

TEST(KeyStateFromQueue, APressStillWaitingInTheQueueIsNotSeen) {
  CreateKeyboardWindow();
  platform::testing::press_key(VK_SPACE);
  platform::testing::release_key(VK_SPACE);
  EXPECT_EQ(GetKeyState(VK_SPACE), 0);

  EXPECT_EQ(Take().message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_TRUE(Down(VK_SPACE));
  EXPECT_EQ(Take().message, static_cast<UINT>(WM_KEYUP));
  EXPECT_FALSE(Down(VK_SPACE));
}

TEST(KeyStateFromQueue, PeekingWithoutRemovingChangesNothing) {
  CreateKeyboardWindow();
  platform::testing::press_key(VK_LEFT);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE));
  EXPECT_FALSE(Down(VK_LEFT));
  Take();
  EXPECT_TRUE(Down(VK_LEFT));
}

TEST(KeyStateFromQueue, LeftAndRightHeldTogetherAreBothDown) {
  CreateKeyboardWindow();
  platform::testing::press_key(VK_LEFT);
  platform::testing::press_key(VK_RIGHT);
  Take();
  Take();
  EXPECT_TRUE(Down(VK_LEFT));
  EXPECT_TRUE(Down(VK_RIGHT));
  platform::testing::release_key(VK_LEFT);
  Take();
  EXPECT_FALSE(Down(VK_LEFT));
  EXPECT_TRUE(Down(VK_RIGHT));
}

TEST(KeyStateBits, DownReadsNegativeAsWindowsWidensTheKeyByte) {
  CreateKeyboardWindow();
  platform::testing::press_key(VK_RIGHT);
  Take();
  const SHORT state = GetKeyState(VK_RIGHT);
  EXPECT_LT(state, 0);
  EXPECT_EQ(static_cast<unsigned short>(state), 0xFF81u);
  platform::testing::press_key(VK_RIGHT);
  platform::testing::release_key(VK_RIGHT);
  Take();
  Take();
  EXPECT_EQ(GetKeyState(VK_RIGHT), 1);
}

TEST(KeyStateBits, ToggleFlipsOnEachPressButNotOnRepeats) {
  CreateKeyboardWindow();
  EXPECT_FALSE(Toggled(VK_SPACE));
  platform::post_key(VK_SPACE, true);
  platform::post_key(VK_SPACE, true, true);
  platform::post_key(VK_SPACE, true, true);
  platform::post_key(VK_SPACE, false);
  Take();
  EXPECT_TRUE(Toggled(VK_SPACE));
  Take();
  Take();
  EXPECT_TRUE(Toggled(VK_SPACE));
  Take();
  EXPECT_TRUE(Toggled(VK_SPACE));
  platform::post_key(VK_SPACE, true);
  Take();
  EXPECT_FALSE(Toggled(VK_SPACE));
  EXPECT_TRUE(Down(VK_SPACE));
}

TEST(KeyStateBits, SetKeyDownBypassesTheQueueAndOnlyRealKeysAnswer) {
  platform::testing::set_key_down(VK_SPACE, true);
  EXPECT_TRUE(Down(VK_SPACE));
  EXPECT_EQ(GetKeyState(-1), 0);
  EXPECT_EQ(GetKeyState(VK_SPACE + 256), 0);
  platform::testing::set_key_down(VK_SPACE, false);
  EXPECT_FALSE(Down(VK_SPACE));
}

TEST(KeyMessages, CarryWindowsLParamBits) {
  const HWND hwnd = CreateKeyboardWindow();
  platform::post_key(VK_SPACE, true);
  platform::post_key(VK_SPACE, true, true);
  platform::post_key(VK_SPACE, false);
  platform::post_key(VK_LEFT, true);
  platform::post_key(VK_ESCAPE, true);

  MSG msg = Take();
  EXPECT_EQ(msg.hwnd, hwnd);
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_SPACE));
  EXPECT_EQ(msg.lParam, 0x00390001);
  msg = Take();
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(msg.lParam, 0x40390001);
  msg = Take();
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(msg.lParam, static_cast<LPARAM>(0xC0390001u));
  // The arrows of the separate block are extended keys (bit 24).
  EXPECT_EQ(Take().lParam, 0x014B0001);
  EXPECT_EQ(Take().lParam, 0x00010001);
}

TEST(KeyMessages, GoToTheLastShownWindowElseTheLastCreated) {
  MSG msg;
  platform::post_key('A', true);
  EXPECT_FALSE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));

  const HWND first = CreateWindowNamed("first");
  const HWND second = CreateWindowNamed("second");
  EXPECT_EQ(platform::input_window(), second);
  ShowWindow(first, SW_SHOW);
  EXPECT_EQ(platform::input_window(), first);
  ShowWindow(second, SW_SHOW);
  EXPECT_EQ(platform::input_window(), second);
  ShowWindow(second, SW_HIDE);
  EXPECT_EQ(platform::input_window(), first);

  PAINTSTRUCT ps;
  BeginPaint(first, &ps);
  EndPaint(first, &ps);
  platform::post_key('A', true);
  ASSERT_TRUE(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, first);
  EXPECT_EQ(msg.lParam, 0x001E0001);
}

}  // namespace
