// The process entry point of a Windows program built for this platform: it
// hands WinMain what Windows would.
//
// Only main lives here, and nothing else the linker could come looking for:
// programs with a main of their own (the tests) must never pull this in.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/host.h"

int main(int argc, char** argv) {
  platform::Settings settings;
  std::string error;
  if (!platform::read_environment(platform::process_environment, settings, error)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 2;
  }
  // Without a screen the program would run unseen; it says so and stops.
  if (!platform::start_host(settings)) return 1;
  std::size_t length = 1;
  for (int i = 1; i < argc; ++i) length += std::strlen(argv[i]) + 1;
  // WinMain may write into its command line, so it gets a buffer of its own.
  char* const command_line = static_cast<char*>(std::malloc(length));
  if (command_line == nullptr) return 1;
  char* end = command_line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) *end++ = ' ';
    const std::size_t size = std::strlen(argv[i]);
    std::memcpy(end, argv[i], size);
    end += size;
  }
  *end = '\0';
  // Any non-null value identifies the program's only module.
  const int result =
      WinMain(reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000}), nullptr, command_line, SW_SHOWDEFAULT);
  std::free(command_line);
  return result;
}
