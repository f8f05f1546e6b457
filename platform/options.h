// The Linux build's own command line, handled by main() before WinMain: the
// game itself takes none. Display options become the environment variables
// the host reads, so they mean the same whether given here or set outside.
#pragma once

#include <cstdio>
#include <optional>
#include <span>
#include <string>

namespace platform {

struct CommandLine {
  enum class Action { play, help, version, error };
  Action action = Action::play;
  // Set only when the action is error: what was wrong, without the program's name.
  std::string error;
  // Unset when neither --windowed nor --fullscreen was given; the last one wins.
  std::optional<bool> windowed;
  // fit, integer or sharp; empty when --scale was not given.
  std::string scale;
};

// Reads the arguments after the program's name; never touches the process.
CommandLine parse_command_line(std::span<const char* const> args);

// Parses argv, prints help or version to `out` and errors to `err`, sets the
// display's environment variables. Returns the exit code when the program
// should stop there (0 for help and version, 2 for a bad command line, as
// GNU programs do), nothing when the game should start.
std::optional<int> handle_command_line(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace platform
