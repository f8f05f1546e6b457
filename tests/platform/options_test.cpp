#include "options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What a command line asks for, as "action windowed scale" (windowed 1, 0 or
// - when not said) or the error.
std::string Parse(const std::vector<const char*>& args) {
  const platform::CommandLine parsed = platform::parse_command_line(args);
  const char* actions[] = {"play", "help", "version", "error"};
  const std::string action = actions[static_cast<int>(parsed.action)];
  if (!parsed.error.empty()) return action + ": " + parsed.error;
  return action + " " + (parsed.windowed ? std::to_string(*parsed.windowed) : "-") + " " + parsed.scale;
}

TEST(CommandLine, EachOptionAsGnuProgramsTakeThem) {
  const std::string valid = "\nValid arguments are: 'fit', 'integer', 'sharp'.";
  const std::pair<std::vector<const char*>, std::string> rows[] = {
      {{}, "play - "},
      {{"--windowed"}, "play 1 "},
      {{"--windowed", "--fullscreen"}, "play 0 "},
      {{"--fullscreen", "--windowed", "--scale=integer"}, "play 1 integer"},
      {{"--scale=fit", "--scale=sharp"}, "play - sharp"},
      {{"--windowed", "--help", "--bogus"}, "help 1 "},
      {{"--version", "--help"}, "version - "},
      {{"--bogus", "--help"}, "error: unrecognized option '--bogus'"},
      {{"-h"}, "error: unrecognized option '-h'"},
      {{"--windowed=1"}, "error: unrecognized option '--windowed=1'"},
      {{"hops.exe"}, "error: unexpected argument 'hops.exe'"},
      {{"--scale"}, "error: option '--scale' requires an argument"},
      {{"--scale=Fit"}, "error: invalid argument 'Fit' for '--scale'" + valid},
      {{"--scale="}, "error: invalid argument '' for '--scale'" + valid}};
  for (const auto& [args, expected] : rows) EXPECT_EQ(Parse(args), expected);
}

}  // namespace
