// The thread's message queue: PostMessageA, PeekMessageA, TranslateMessage,
// DispatchMessageA and SendMessageA.
#include "user32/message_queue.h"

#include <algorithm>
#include <chrono>
#include <deque>

#include "host/host.h"
#include "user32/key_state.h"
#include "user32/window.h"

namespace platform {
namespace {

constexpr std::size_t kMaxPosted = 10'000;

struct MessageQueue {
  std::deque<MSG> posted;
  bool quit_requested = false;
  int quit_code = 0;
  // PeekMessageA calls in a row that found nothing to return.
  int empty_peeks = 0;
};

// A thread that found nothing twice in a row is polling an idle queue: the
// host lets it rest, unless something is already waiting to be returned.
constexpr int kEmptyPeeksBeforeRest = 2;

MessageQueue& queue() {
  static MessageQueue s_queue;
  return s_queue;
}

// Milliseconds, as GetMessageTime reports them.
DWORD message_time() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// A filter of (HWND)-1 takes only the thread's own messages (no window);
// a window takes only that window's. Both zero bounds take every message,
// and a lower bound above the upper one wraps around, as on Windows.
bool passes(const MSG& msg, HWND window_filter, UINT first, UINT last) {
  if (window_filter == reinterpret_cast<HWND>(-1)) {
    if (msg.hwnd != nullptr) return false;
  } else if (window_filter != nullptr && msg.hwnd != window_filter) {
    return false;
  }
  if (first == 0 && last == 0) return true;
  if (first > last) return msg.message >= first || msg.message <= last;
  return msg.message >= first && msg.message <= last;
}

bool paint_passes(HWND window_filter, UINT first, UINT last) {
  if (window_filter == reinterpret_cast<HWND>(-1)) return false;
  MSG paint{};
  paint.message = WM_PAINT;
  return passes(paint, nullptr, first, last);
}

MSG make_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  MSG msg{};
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wparam;
  msg.lParam = lparam;
  msg.time = message_time();
  return msg;
}

}  // namespace

void discard_window_messages(HWND hwnd) {
  auto& posted = queue().posted;
  posted.erase(
      std::remove_if(posted.begin(), posted.end(), [hwnd](const MSG& msg) { return msg.hwnd == hwnd; }),
      posted.end());
}

}  // namespace platform

// Like Windows, a queue holding kMaxPosted messages takes no more until some
// are read, so a runaway poster cannot use up the memory.
BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd != nullptr && platform::window_procedure(hWnd) == nullptr) return FALSE;
  if (platform::queue().posted.size() >= platform::kMaxPosted) return FALSE;
  platform::queue().posted.push_back(platform::make_message(hWnd, Msg, wParam, lParam));
  return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
  auto& queue = platform::queue();
  queue.quit_requested = true;
  queue.quit_code = nExitCode;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (lpMsg == nullptr) return FALSE;
  auto& queue = platform::queue();
  if (queue.empty_peeks >= platform::kEmptyPeeksBeforeRest && queue.posted.empty() && !queue.quit_requested &&
      platform::window_needing_paint(nullptr) == nullptr) {
    platform::host().rest();
  }
  platform::host().pump_events();
  const bool remove = (wRemoveMsg & PM_REMOVE) != 0;

  auto& posted = queue.posted;
  const auto found = std::find_if(posted.begin(), posted.end(), [&](const MSG& msg) {
    return platform::passes(msg, hWnd, wMsgFilterMin, wMsgFilterMax);
  });
  if (found != posted.end()) {
    queue.empty_peeks = 0;
    *lpMsg = *found;
    if (remove) {
      posted.erase(found);
      platform::note_key_message(*lpMsg);
    }
    return TRUE;
  }

  // WM_PAINT is never queued: it stands for a window's update region and
  // keeps coming until the region is validated.
  if (platform::paint_passes(hWnd, wMsgFilterMin, wMsgFilterMax)) {
    const HWND window_filter = hWnd == reinterpret_cast<HWND>(-1) ? nullptr : hWnd;
    if (const HWND dirty = platform::window_needing_paint(window_filter)) {
      queue.empty_peeks = 0;
      *lpMsg = platform::make_message(dirty, WM_PAINT, 0, 0);
      return TRUE;
    }
  }

  // WM_QUIT ignores the filters, as on Windows.
  if (queue.quit_requested) {
    queue.empty_peeks = 0;
    *lpMsg = platform::make_message(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quit_code), 0);
    if (remove) queue.quit_requested = false;
    return TRUE;
  }
  if (queue.empty_peeks < platform::kEmptyPeeksBeforeRest) ++queue.empty_peeks;
  *lpMsg = MSG{};
  return FALSE;
}

// No WM_CHAR is made from keys: the programs here read keys, not text.
// The answer is Windows' own: TRUE for every key message.
BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  if (lpMsg == nullptr) return FALSE;
  switch (lpMsg->message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return TRUE;
    default:
      return FALSE;
  }
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (lpMsg == nullptr) return 0;
  const WNDPROC procedure = platform::window_procedure(lpMsg->hwnd);
  if (procedure == nullptr) return 0;
  return procedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  const WNDPROC procedure = platform::window_procedure(hWnd);
  if (procedure == nullptr) return 0;
  return procedure(hWnd, Msg, wParam, lParam);
}
