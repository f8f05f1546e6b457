#include "user32/key_state.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/test_display.h"
#include "testing/testing.h"
#include "user32/input.h"

namespace {

// The US keyboard by its rows of set-1 make codes, the layout Windows maps
// virtual keys with; arrows and the block above them are extended keys.
TEST(KeyState, ScanCodesAreThoseOfTheUsKeyboard) {
  std::vector<unsigned> expected(256, 0);
  const struct {
    const char* keys;
    unsigned first;
  } rows[] = {{"1234567890", 0x02}, {"QWERTYUIOP", 0x10}, {"ASDFGHJKL", 0x1E}, {"ZXCVBNM", 0x2C}};
  for (const auto& row : rows)
    for (int i = 0; row.keys[i] != '\0'; i++)
      expected[static_cast<unsigned char>(row.keys[i])] = row.first + i;
  for (int i = 0; i < 10; i++) expected[0x70 + i] = 0x3B + i;  // F1 to F10
  // F11, F12, then Pause, Caps Lock, Page Up, Page Down, End, Home, Insert, Delete.
  const std::pair<int, unsigned> others[] = {
      {0x7A, 0x57},      {0x7B, 0x58},       {VK_BACK, 0x0E}, {VK_TAB, 0x0F},    {VK_RETURN, 0x1C},
      {VK_SHIFT, 0x2A},  {VK_CONTROL, 0x1D}, {VK_MENU, 0x38}, {VK_ESCAPE, 0x01}, {VK_SPACE, 0x39},
      {0x13, 0x45},      {0x14, 0x3A},       {0x21, 0x149},   {0x22, 0x151},     {0x23, 0x14F},
      {0x24, 0x147},     {0x2D, 0x152},      {0x2E, 0x153},   {VK_LEFT, 0x14B},  {VK_UP, 0x148},
      {VK_RIGHT, 0x14D}, {VK_DOWN, 0x150}};
  for (const auto& [key, code] : others) expected[key] = code;
  std::vector<unsigned> codes;
  for (int key = 0; key < 256; key++) codes.push_back(platform::scan_code(key));
  EXPECT_EQ(codes, expected);
}

// GetKeyState reports the keyboard as of the key messages already taken from
// the queue: bit 15 down (read negative, as Windows widens the key's byte),
// bit 0 toggled on each press but not on a repeat.
TEST(KeyState, FollowsTheKeyMessagesTakenFromTheQueue) {
  const HWND hwnd = hops_test::make_game_window();
  const struct {
    int key;
    bool down, repeat;
  } events[] = {{VK_SPACE, true, false}, {VK_SPACE, true, true},  {VK_SPACE, false, false},
                {VK_LEFT, true, false},  {VK_RIGHT, true, false}, {VK_LEFT, false, false},
                {VK_SPACE, true, false}, {VK_RIGHT, false, false}};
  for (const auto& event : events) platform::post_key(event.key, event.down, event.repeat);
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(GetKeyState(VK_SPACE), 0);

  std::vector<std::string> trace;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    char sz[80];
    std::snprintf(sz, sizeof sz, "%s %04X %02X %08lX: %04hX %04hX %04hX", msg.hwnd == hwnd ? "game" : "?",
                  msg.message, static_cast<unsigned>(msg.wParam), static_cast<unsigned long>(msg.lParam),
                  GetKeyState(VK_SPACE), GetKeyState(VK_LEFT), GetKeyState(VK_RIGHT));
    trace.push_back(sz);
  }
  EXPECT_EQ(trace, (std::vector<std::string>{
                       "game 0100 20 00390001: FF81 0000 0000",
                       "game 0100 20 40390001: FF81 0000 0000",
                       "game 0101 20 C0390001: 0001 0000 0000",
                       "game 0100 25 014B0001: 0001 FF81 0000",
                       "game 0100 27 014D0001: 0001 FF81 FF81",
                       "game 0101 25 C14B0001: 0001 0001 FF81",
                       "game 0100 20 00390001: FF80 0001 FF81",
                       "game 0101 27 C14D0001: FF80 0001 0001",
                   }));
}

TEST(KeyState, SetKeyDownBypassesTheQueueForTheKeysThereAre) {
  const int keys[] = {-1, 0, VK_SPACE, 0xFF, 0x100};
  std::vector<int> states;
  for (int key : keys) platform::testing::set_key_down(key, true);
  for (int key : keys) states.push_back(GetKeyState(key));
  platform::testing::set_key_down(VK_SPACE, false);
  states.push_back(GetKeyState(VK_SPACE));
  EXPECT_EQ(states, (std::vector<int>{0, -127, -127, -127, 0, 1}));
}

// Keys go to the last shown window, else the last created; none without one.
TEST(KeyState, KeysGoToTheLastShownWindowElseTheLastCreated) {
  MSG msg;
  platform::post_key('A', true);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  const HWND first = hops_test::make_game_window();
  const HWND second = hops_test::make_game_window();
  std::vector<HWND> inputs{platform::input_window()};
  ShowWindow(first, SW_SHOW);
  inputs.push_back(platform::input_window());
  ShowWindow(second, SW_SHOW);
  inputs.push_back(platform::input_window());
  ShowWindow(second, SW_HIDE);
  inputs.push_back(platform::input_window());
  EXPECT_EQ(inputs, (std::vector<HWND>{second, first, second, first}));
}

}  // namespace
