// The game's entry point in a page: WinMain with an empty command line, as
// the game takes none; when it returns, the page says the game has ended.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "host/web/web_host.h"

int main() {
  auto* const page = new platform::WebHost;
  platform::install_host(std::unique_ptr<platform::Host>(page));
  // WinMain may write into its command line, so it gets a buffer of its own.
  char command_line[1] = "";
  // Any non-null value identifies the program's only module.
  const int result =
      WinMain(reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000}), nullptr, command_line, SW_SHOWDEFAULT);
  page->game_ended(result);
  return result;
}
