// GetKeyState: the keyboard as the thread has seen it through its queue.
#include "user32/key_state.h"

#include <array>
#include <cstdint>

namespace platform {
namespace {

// One byte a key, as Windows keeps it: 0x80 down, 0x01 toggled.
constexpr std::uint8_t kDown = 0x80;
constexpr std::uint8_t kToggled = 0x01;

std::array<std::uint8_t, 256>& keys() {
  static std::array<std::uint8_t, 256> s_keys{};
  return s_keys;
}

void set_down(int virtual_key, bool down) {
  if (virtual_key < 0 || virtual_key > 0xFF) return;
  std::uint8_t& key = keys()[static_cast<std::size_t>(virtual_key)];
  if (down) {
    if ((key & kDown) == 0) key ^= kToggled;
    key |= kDown;
  } else {
    key &= static_cast<std::uint8_t>(~kDown);
  }
}

}  // namespace

void note_key_message(const MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      set_down(static_cast<int>(msg.wParam & 0xFF), true);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      set_down(static_cast<int>(msg.wParam & 0xFF), false);
      break;
    default:
      break;
  }
}

unsigned scan_code(int virtual_key) {
  constexpr unsigned kExtended = 0x100;
  // Set-1 make codes of a US keyboard, the layout Windows maps keys with.
  static constexpr std::uint8_t kLetters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                                0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                                0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
  if (virtual_key >= 'A' && virtual_key <= 'Z') return kLetters[virtual_key - 'A'];
  if (virtual_key >= '1' && virtual_key <= '9') return 0x02 + static_cast<unsigned>(virtual_key - '1');
  if (virtual_key == '0') return 0x0B;
  if (virtual_key >= VK_F1 && virtual_key <= VK_F10) return 0x3B + static_cast<unsigned>(virtual_key - VK_F1);
  struct KeyCode {
    int key;
    unsigned code;
  };
  static constexpr KeyCode kOthers[] = {{VK_BACK, 0x0E},
                                        {VK_TAB, 0x0F},
                                        {VK_RETURN, 0x1C},
                                        {VK_SHIFT, 0x2A},
                                        {VK_CONTROL, 0x1D},
                                        {VK_MENU, 0x38},
                                        {VK_ESCAPE, 0x01},
                                        {VK_SPACE, 0x39},
                                        {VK_PAUSE, 0x45},
                                        {VK_CAPITAL, 0x3A},
                                        {VK_F11, 0x57},
                                        {VK_F12, 0x58},
                                        {VK_PRIOR, kExtended | 0x49},
                                        {VK_NEXT, kExtended | 0x51},
                                        {VK_END, kExtended | 0x4F},
                                        {VK_HOME, kExtended | 0x47},
                                        {VK_INSERT, kExtended | 0x52},
                                        {VK_DELETE, kExtended | 0x53},
                                        {VK_LEFT, kExtended | 0x4B},
                                        {VK_UP, kExtended | 0x48},
                                        {VK_RIGHT, kExtended | 0x4D},
                                        {VK_DOWN, kExtended | 0x50}};
  for (const KeyCode& known : kOthers) {
    if (known.key == virtual_key) return known.code;
  }
  return 0;
}

}  // namespace platform

SHORT WINAPI GetKeyState(int nVirtKey) {
  if (nVirtKey < 0 || nVirtKey > 0xFF) return 0;
  // The byte is widened with its sign, so a key that is down reads negative.
  const auto key = static_cast<std::int8_t>(platform::keys()[static_cast<std::size_t>(nVirtKey)]);
  return static_cast<SHORT>(key);
}
