// The process entry point of a Windows program built for this platform: it
// hands WinMain what Windows would.
#include <windows.h>

#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::string command_line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) command_line += ' ';
    command_line += argv[i];
  }
  // WinMain may write into its command line, so it gets a buffer of its own.
  std::vector<char> buffer(command_line.begin(), command_line.end());
  buffer.push_back('\0');
  // Any non-null value identifies the program's only module.
  const auto instance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x00400000});
  return WinMain(instance, nullptr, buffer.data(), SW_SHOWDEFAULT);
}
