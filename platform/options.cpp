#include "options.h"

#include <array>
#include <cstdlib>
#include <string_view>

#ifndef HOPS_VERSION
#error "the build defines HOPS_VERSION from the project's version"
#endif

namespace platform {
namespace {

constexpr std::array<std::string_view, 3> kScales{"fit", "integer", "sharp"};

constexpr const char* kHelp =
    "Usage: hops [OPTION]...\n"
    "A small arcade game: shoot the bouncing balls before one lands on you.\n"
    "\n"
    "Options:\n"
    "  --windowed         play in a 1024 x 768 window\n"
    "  --fullscreen       play on the whole screen (the default)\n"
    "  --scale=MODE       how the picture fills the screen: fit (the default,\n"
    "                     as large as it fits), integer (whole multiples only),\n"
    "                     sharp (whole multiples, then smoothed to fit)\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "Keys:\n"
    "  S                  start, and resume after the game is over\n"
    "  Left, Right        move\n"
    "  Space              fire (the shot leaves when the bar is released)\n"
    "  Esc                quit\n"
    "  Alt+Enter, F11     switch between full screen and a window\n"
    "  F12                save a screenshot (PNG) into $XDG_PICTURES_DIR,\n"
    "                     else ~/Pictures, else the current folder\n"
    "\n"
    "Gamepad: d-pad or left stick move, A (Cross) fires, Start starts,\n"
    "Back (Select) quits.\n"
    "\n"
    "Environment:\n"
    "  HOPS_WINDOWED=1    as --windowed\n"
    "  HOPS_SCALE=MODE    as --scale=MODE\n"
    "  HOPS_VSYNC=1       let each flip wait for the display's refresh\n"
    "  HOPS_STATS=1       print frame statistics on standard error at exit\n"
    "  HOPS_HOST=headless run without a window; HOPS_HOST=sdl insists on SDL2\n"
    "  XDG_PICTURES_DIR   where F12 saves screenshots\n";

bool known_scale(std::string_view scale) {
  for (const std::string_view known : kScales) {
    if (scale == known) return true;
  }
  return false;
}

CommandLine failure(std::string message) {
  CommandLine result;
  result.action = CommandLine::Action::error;
  result.error = std::move(message);
  return result;
}

}  // namespace

CommandLine parse_command_line(std::span<const char* const> args) {
  CommandLine result;
  for (const char* const arg_text : args) {
    const std::string_view arg = arg_text;
    constexpr std::string_view kScaleOption = "--scale=";
    if (arg == "--help") {
      result.action = CommandLine::Action::help;
      return result;
    }
    if (arg == "--version") {
      result.action = CommandLine::Action::version;
      return result;
    }
    if (arg == "--windowed") {
      result.windowed = true;
    } else if (arg == "--fullscreen") {
      result.windowed = false;
    } else if (arg.starts_with(kScaleOption)) {
      const std::string_view scale = arg.substr(kScaleOption.size());
      if (!known_scale(scale)) {
        return failure("invalid argument '" + std::string(scale) +
                       "' for '--scale'\nValid arguments are: 'fit', 'integer', 'sharp'.");
      }
      result.scale = scale;
    } else if (arg == "--scale") {
      return failure("option '--scale' requires an argument");
    } else if (arg.starts_with("-")) {
      return failure("unrecognized option '" + std::string(arg) + "'");
    } else {
      return failure("unexpected argument '" + std::string(arg) + "'");
    }
  }
  return result;
}

std::optional<int> handle_command_line(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  const CommandLine command_line = parse_command_line(
      std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)));
  switch (command_line.action) {
    case CommandLine::Action::help:
      std::fputs(kHelp, out);
      return 0;
    case CommandLine::Action::version:
      std::fputs("hops " HOPS_VERSION "\n", out);
      return 0;
    case CommandLine::Action::error:
      std::fprintf(err, "hops: %s\nTry 'hops --help' for more information.\n", command_line.error.c_str());
      return 2;
    case CommandLine::Action::play:
      break;
  }
  if (command_line.windowed.has_value()) {
    if (*command_line.windowed) {
      setenv("HOPS_WINDOWED", "1", 1);
    } else {
      unsetenv("HOPS_WINDOWED");
    }
  }
  if (!command_line.scale.empty()) setenv("HOPS_SCALE", command_line.scale.c_str(), 1);
  return std::nullopt;
}

}  // namespace platform
