// The game's own command line on this platform, taken by main() before
// WinMain (the game itself takes none), parsed as GNU programs parse theirs
// (--scale=MODE or --scale MODE, unambiguous abbreviations, -h, -V), and
// laid over the settings the environment gives.
#pragma once

#include <cstdio>
#include <optional>
#include <span>
#include <string>

#include "host/settings.h"

namespace platform {

struct CommandLine {
  enum class Action { play, help, version, error };
  Action action = Action::play;
  // Set only when the action is error: what was wrong, without the program's name.
  std::string error;
  // Unset when neither --windowed nor --fullscreen was given; the last one wins.
  std::optional<bool> windowed;
  std::optional<ScaleMode> scale;
};

// Reads the arguments after the program's name; the process is left as it
// was (getopt_long's own state is started afresh).
CommandLine parse_command_line(std::span<const char* const> args);

// The settings of a run of the game: its command line over its
// environment. Prints help or version to `out` and what is wrong to `err`;
// returns the exit code when the program should stop there (0 after help
// or version, 2 for a bad command line or environment, as GNU programs do),
// nothing when the game should start.
std::optional<int> read_settings(int argc, const char* const* argv, const Environment& environment,
                                 Settings& settings, std::FILE* out, std::FILE* err);

}  // namespace platform
