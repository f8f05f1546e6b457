// RegisterClassA: the window classes of the process.
#include "user32/window_class.h"

#include <strings.h>

#include <string>
#include <vector>

namespace platform {
namespace {

// Atoms of registered classes lie in the string-atom range, as on Windows.
constexpr ATOM kFirstClassAtom = 0xC000;

struct RegisteredClass {
  std::string name;
  WindowClass window_class;
};

std::vector<RegisteredClass>& classes() {
  static std::vector<RegisteredClass> s_classes;
  return s_classes;
}

// Names below 0x10000 are atoms (MAKEINTATOM), not pointers to text.
bool is_atom(LPCSTR name) { return reinterpret_cast<std::uintptr_t>(name) < 0x10000; }

}  // namespace

const WindowClass* find_window_class(LPCSTR name) {
  if (name == nullptr || is_atom(name)) return nullptr;
  for (const RegisteredClass& entry : classes()) {
    if (strcasecmp(entry.name.c_str(), name) == 0) return &entry.window_class;
  }
  return nullptr;
}

}  // namespace platform

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  using namespace platform;
  if (lpWndClass == nullptr || lpWndClass->lpfnWndProc == nullptr) return 0;
  const LPCSTR name = lpWndClass->lpszClassName;
  if (name == nullptr || is_atom(name) || name[0] == '\0') return 0;
  if (find_window_class(name) != nullptr) return 0;
  auto& registry = classes();
  if (registry.size() >= 0x4000) return 0;
  const ATOM atom = static_cast<ATOM>(kFirstClassAtom + registry.size());
  registry.push_back({name, WindowClass{lpWndClass->lpfnWndProc, lpWndClass->style, lpWndClass->hbrBackground,
                                        lpWndClass->hInstance}});
  return atom;
}
