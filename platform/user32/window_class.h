// user32's registry of window classes, looked up when a window is created.
#pragma once

#include <windows.h>

namespace platform {

struct WindowClass {
  WNDPROC procedure = nullptr;
  UINT style = 0;
  HBRUSH background = nullptr;
  HINSTANCE instance = nullptr;
};

// The class registered under this name, compared without case as Windows
// does; null when none is (classes are not looked up by atom here).
const WindowClass* find_window_class(LPCSTR name);

}  // namespace platform
