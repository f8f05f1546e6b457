#include "options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Action = platform::CommandLine::Action;

struct Row {
  std::vector<const char*> args;
  Action action;
  std::optional<bool> windowed;
  std::string scale;
  std::string error;
};

TEST(CommandLine, EachOptionAsGnuProgramsTakeThem) {
  const Row rows[] = {
      {{}, Action::play, std::nullopt, "", ""},
      {{"--windowed"}, Action::play, true, "", ""},
      {{"--windowed", "--fullscreen"}, Action::play, false, "", ""},
      {{"--fullscreen", "--windowed", "--scale=integer"}, Action::play, true, "integer", ""},
      {{"--scale=fit", "--scale=sharp"}, Action::play, std::nullopt, "sharp", ""},
      {{"--windowed", "--help", "--bogus"}, Action::help, true, "", ""},
      {{"--version", "--help"}, Action::version, std::nullopt, "", ""},
      {{"--bogus", "--help"}, Action::error, std::nullopt, "", "unrecognized option '--bogus'"},
      {{"-h"}, Action::error, std::nullopt, "", "unrecognized option '-h'"},
      {{"--windowed=1"}, Action::error, std::nullopt, "", "unrecognized option '--windowed=1'"},
      {{"hops.exe"}, Action::error, std::nullopt, "", "unexpected argument 'hops.exe'"},
      {{"--scale"}, Action::error, std::nullopt, "", "option '--scale' requires an argument"},
      {{"--scale=Fit"},
       Action::error,
       std::nullopt,
       "",
       "invalid argument 'Fit' for '--scale'\nValid arguments are: 'fit', 'integer', 'sharp'."},
      {{"--scale="},
       Action::error,
       std::nullopt,
       "",
       "invalid argument '' for '--scale'\nValid arguments are: 'fit', 'integer', 'sharp'."},
  };
  for (const Row& row : rows) {
    std::string args;
    for (const char* arg : row.args) args += std::string(arg) + " ";
    const platform::CommandLine parsed = platform::parse_command_line(row.args);
    EXPECT_EQ(parsed.action, row.action) << args;
    EXPECT_EQ(parsed.windowed, row.windowed) << args;
    EXPECT_EQ(parsed.scale, row.scale) << args;
    EXPECT_EQ(parsed.error, row.error) << args;
  }
}

TEST(CommandLine, DisplayOptionsBecomeTheHostsEnvironment) {
  setenv("HOPS_WINDOWED", "1", 1);
  unsetenv("HOPS_SCALE");
  const char* const fullscreen[] = {"hops", "--fullscreen", "--scale=integer"};
  EXPECT_EQ(platform::handle_command_line(3, fullscreen, stdout, stderr), std::nullopt);
  EXPECT_EQ(std::getenv("HOPS_WINDOWED"), nullptr);
  EXPECT_STREQ(std::getenv("HOPS_SCALE"), "integer");

  const char* const windowed[] = {"hops", "--windowed"};
  EXPECT_EQ(platform::handle_command_line(2, windowed, stdout, stderr), std::nullopt);
  EXPECT_STREQ(std::getenv("HOPS_WINDOWED"), "1");
  EXPECT_STREQ(std::getenv("HOPS_SCALE"), "integer");
  unsetenv("HOPS_WINDOWED");
  unsetenv("HOPS_SCALE");
}

}  // namespace
