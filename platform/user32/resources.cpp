// LoadIconA and LoadCursorA: the system's stock icon and cursor. Programs
// here carry no resources of their own.
#include <windows.h>

namespace {

// Stock handles are fixed values that name nothing else.
const auto kApplicationIcon = reinterpret_cast<HICON>(std::uintptr_t{0x00010003});
const auto kArrowCursor = reinterpret_cast<HCURSOR>(std::uintptr_t{0x00010005});

}  // namespace

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  return hInstance == nullptr && lpIconName == IDI_APPLICATION ? kApplicationIcon : nullptr;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  return hInstance == nullptr && lpCursorName == IDC_ARROW ? kArrowCursor : nullptr;
}
