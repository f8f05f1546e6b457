#include "host/host.h"

#include <cstdlib>
#include <cstring>

#include "host/headless_host.h"
#include "host/sdl_host.h"

namespace platform {
namespace {

// The host outlives every static object: the game object is destroyed at
// process exit and releases its surfaces through it, so it is never
// destroyed itself (the process's end takes its window and memory).
std::unique_ptr<Host>& current() {
  static std::unique_ptr<Host>* s_host = new std::unique_ptr<Host>;
  return *s_host;
}

std::unique_ptr<Host> choose_host() {
  const char* const wanted = std::getenv("HOPS_HOST");
  const bool headless = wanted != nullptr && std::strcmp(wanted, "headless") == 0;
  if (!headless) {
    if (auto sdl = make_sdl_host()) return sdl;
  }
  return std::make_unique<HeadlessHost>(false);
}

}  // namespace

Host& host() {
  auto& slot = current();
  if (!slot) slot = choose_host();
  return *slot;
}

void install_host(std::unique_ptr<Host> replacement) { current() = std::move(replacement); }

}  // namespace platform
