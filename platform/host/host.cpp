#include "host/host.h"

#include <cstdio>
#include <cstdlib>

#include "host/frame_statistics.h"
#include "host/headless/headless_host.h"

namespace platform {
namespace {

// The host outlives every static object: the game object is destroyed at
// process exit and releases its surfaces through it, so it is never
// destroyed itself (the process's end takes its window and memory).
std::unique_ptr<Host>& current() {
  static std::unique_ptr<Host>* s_host = new std::unique_ptr<Host>;
  return *s_host;
}

}  // namespace

bool start_host(const Settings& settings) {
  if (current()) return true;
  start_frame_statistics(settings.statistics, settings.flip_log);
  std::unique_ptr<Host> chosen =
      settings.headless ? std::make_unique<HeadlessHost>() : make_display_host(settings);
  if (!chosen) return false;
  install_host(std::move(chosen));
  return true;
}

Host& host() {
  if (!current()) {
    // exit() would run the game object's destructor, which comes back here.
    std::fputs("hops: the platform was used before its host was started\n", stderr);
    std::_Exit(EXIT_FAILURE);
  }
  return *current();
}

void install_host(std::unique_ptr<Host> replacement) { current() = std::move(replacement); }

}  // namespace platform
