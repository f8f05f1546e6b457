// MessageBoxA: the text and caption arrive as CP949 bytes and go to the host
// as UTF-8; the host shows them (modal on a screen) and writes a line to
// standard error.
#include <windows.h>

#include "host/host.h"
#include "kernel32/code_page.h"

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT) {
  // A null caption is shown as "Error", as Windows does.
  const std::string text = lpText != nullptr ? platform::ansi_to_utf8(lpText) : std::string();
  const std::string caption = lpCaption != nullptr ? platform::ansi_to_utf8(lpCaption) : std::string("Error");
  platform::host().message_box(text, caption);
  return IDOK;
}
