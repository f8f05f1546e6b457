#include "launcher/options.h"

#include <getopt.h>

#include <string_view>
#include <vector>

#ifndef HOPS_VERSION
#error "the build defines HOPS_VERSION from the project's version"
#endif

namespace platform {
namespace {

constexpr const char* kHelp =
    "Usage: hops [OPTION]...\n"
    "A small arcade game: shoot the bouncing balls before one lands on you.\n"
    "\n"
    "Options:\n"
    "      --windowed     play in a 1024 x 768 window\n"
    "      --fullscreen   play on the whole screen (the default)\n"
    "      --scale=MODE   how the picture fills the screen: fit (the default,\n"
    "                     as large as it fits), integer (whole multiples only),\n"
    "                     sharp (whole multiples, then smoothed to fit)\n"
    "  -h, --help         show this help and exit\n"
    "  -V, --version      show the version and exit\n"
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
    "Environment (the options above win over it):\n"
    "  HOPS_WINDOWED=1    as --windowed\n"
    "  HOPS_SCALE=MODE    as --scale=MODE\n"
    "  HOPS_VSYNC=1       let each flip wait for the display's refresh\n"
    "  HOPS_STATS=1       print frame statistics on standard error at exit\n"
    "  HOPS_HOST=headless run without a window; HOPS_HOST=sdl insists on one\n"
    "  XDG_PICTURES_DIR   where F12 saves screenshots\n";

// Options without a letter of their own are known by numbers past any character.
enum : int { kWindowed = 256, kFullscreen, kScale };
constexpr option kOptions[] = {
    {"windowed", no_argument, nullptr, kWindowed}, {"fullscreen", no_argument, nullptr, kFullscreen},
    {"scale", required_argument, nullptr, kScale}, {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},        {nullptr, 0, nullptr, 0}};

CommandLine failure(std::string message) {
  CommandLine result;
  result.action = CommandLine::Action::error;
  result.error = std::move(message);
  return result;
}

std::string long_name(int code) {
  for (const option& known : kOptions) {
    if (known.name != nullptr && known.val == code) return std::string("--") + known.name;
  }
  return {};
}

// What getopt_long's '?' was about, in GNU's words: `arg` the argument it
// stopped at, `code` the option it took it for (0 for none).
std::string complaint(std::string_view arg, int code) {
  if (code == 0) return "unrecognized option '" + std::string(arg) + "'";
  if (arg.starts_with("--")) return "option '" + long_name(code) + "' doesn't allow an argument";
  return "invalid option -- '" + std::string(1, static_cast<char>(code)) + "'";
}

}  // namespace

CommandLine parse_command_line(std::span<const char* const> args) {
  // getopt_long reads argv as main has it and may reorder its pointers (not
  // the strings): it gets an array of its own.
  std::vector<char*> argv{const_cast<char*>("hops")};
  for (const char* const arg : args) argv.push_back(const_cast<char*>(arg));
  argv.push_back(nullptr);
  const int argc = static_cast<int>(argv.size()) - 1;
  optind = 0;
  opterr = 0;
  CommandLine result;
  for (int code; (code = getopt_long(argc, argv.data(), ":hV", kOptions, nullptr)) != -1;) {
    switch (code) {
      case 'h':
        result.action = CommandLine::Action::help;
        return result;
      case 'V':
        result.action = CommandLine::Action::version;
        return result;
      case kWindowed:
      case kFullscreen:
        result.windowed = code == kWindowed;
        break;
      case kScale:
        result.scale = scale_mode_named(optarg);
        if (!result.scale) {
          return failure("invalid argument '" + std::string(optarg) +
                         "' for '--scale'\nValid arguments are: " + kScaleModeNames + ".");
        }
        break;
      case ':':
        return failure("option '" + long_name(optopt) + "' requires an argument");
      default:
        return failure(complaint(argv[static_cast<std::size_t>(optind - 1)], optopt));
    }
  }
  if (optind < argc)
    return failure("unexpected argument '" + std::string(argv[static_cast<std::size_t>(optind)]) + "'");
  return result;
}

std::optional<int> read_settings(int argc, const char* const* argv, const Environment& environment,
                                 Settings& settings, std::FILE* out, std::FILE* err) {
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
    case CommandLine::Action::play:
      break;
  }
  // A bad command line is reported before a bad environment.
  std::string error = command_line.error;
  if (!error.empty() || !read_environment(environment, settings, error)) {
    std::fprintf(err, "hops: %s\nTry 'hops --help' for more information.\n", error.c_str());
    return 2;
  }
  if (command_line.windowed) settings.windowed = *command_line.windowed;
  if (command_line.scale) settings.scale = *command_line.scale;
  return std::nullopt;
}

}  // namespace platform
