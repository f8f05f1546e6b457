// The game's process entry point on this platform: it takes the game's
// settings from its command line and environment (hops --help), so the game
// never sees them, and then hands WinMain what Windows would, with an empty
// command line, as the game takes none. Other programs on this platform
// (the DirectDraw probe) start from entry.cpp's main, which passes their
// arguments on.
//
// Only main lives here; the build links it into the game alone.
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "host/host.h"
#include "launcher/options.h"

int main(int argc, char** argv) {
  platform::Settings settings;
  // Options come first, so that --help works without a screen.
  if (const auto exit_code =
          platform::read_settings(argc, argv, platform::process_environment, settings, stdout, stderr)) {
    return *exit_code;
  }
  // Without a screen the game would run unseen; it says so and stops.
  if (!platform::start_host(settings)) return 1;
  // WinMain may write into its command line, so it gets a buffer of its own.
  char command_line[1] = "";
  // Any non-null value identifies the program's only module.
  return WinMain(reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000}), nullptr, command_line,
                 SW_SHOWDEFAULT);
}
