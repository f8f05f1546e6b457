// The game's settings: its command line, parsed as GNU programs parse
// theirs, over its environment, and what a bad value of either says.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "launcher/options.h"

namespace {

using Environment = std::map<std::string, std::string>;

// The exit code and standard error (lines joined by '|', without the line
// that points to --help), or, when the game would start, its settings.
std::string Read(const Environment& environment, std::vector<const char*> args) {
  args.insert(args.begin(), "hops");
  char* said = nullptr;
  std::size_t size = 0;
  std::FILE *out = std::fopen("/dev/null", "w"), *err = open_memstream(&said, &size);
  platform::Settings s;
  const auto code = platform::read_settings(
      static_cast<int>(args.size()), args.data(),
      [&](const char* name) { return environment.contains(name) ? environment.at(name).c_str() : nullptr; },
      s, out, err);
  std::fclose(out);
  std::fclose(err);
  std::string text = said;
  std::free(said);
  if (!text.empty()) text.erase(text.rfind('\n', text.size() - 2));
  for (char& c : text) c = c == '\n' ? '|' : c;
  const char* const scales[] = {"fit", "integer", "sharp"};
  return code
             ? std::to_string(*code) + " " + text
             : std::string(s.windowed ? "windowed " : "full ") + scales[static_cast<int>(s.scale)] +
                   (s.headless ? " headless" : " sdl") + (s.vsync ? " vsync" : "") +
                   (s.statistics ? " stats" : "") + " " + s.flip_log + "," + s.pictures_folder + "," + s.home;
}

TEST(Settings, TheCommandLineOverTheEnvironmentAsGnuProgramsTakeThem) {
  const std::string kBad = "2 hops: invalid value '", kFits = "'fit', 'integer', 'sharp'.";
  const Environment kAll{
      {"HOPS_WINDOWED", "1"}, {"HOPS_SCALE", "integer"}, {"HOPS_HOST", "headless"}, {"HOPS_VSYNC", "1"},
      {"HOPS_STATS", "1"},    {"HOPS_FLIP_LOG", "f"},    {"XDG_PICTURES_DIR", "p"}, {"HOME", "h"}};
  const std::tuple<Environment, std::vector<const char*>, std::string> rows[] = {
      {{}, {}, "full fit sdl ,,"},
      {kAll, {}, "windowed integer headless vsync stats f,p,h"},
      {{{"HOPS_WINDOWED", "0"}, {"HOPS_SCALE", ""}, {"HOPS_HOST", "sdl"}, {"HOPS_STATS", "0"}},
       {},
       "full fit sdl ,,"},
      {kAll, {"--fullscreen", "--scale", "sharp"}, "full sharp headless vsync stats f,p,h"},
      {{}, {"--windowed", "--fullscreen", "--win", "--sc=fit", "--scale=integer"}, "windowed integer sdl ,,"},
      {{{"HOPS_SCALE", "huge"}}, {"-h", "--bogus"}, "0 "},
      {{}, {"--windowed", "--he"}, "0 "},
      {{}, {"-V", "--help"}, "0 "},
      {{{"HOPS_SCALE", "huge"}}, {"--bogus", "--help"}, "2 hops: unrecognized option '--bogus'"},
      {{}, {"-x"}, "2 hops: invalid option -- 'x'"},
      {{}, {"--windowed=1"}, "2 hops: option '--windowed' doesn't allow an argument"},
      {{}, {"--vers=2"}, "2 hops: option '--version' doesn't allow an argument"},
      {{}, {"hops.exe"}, "2 hops: unexpected argument 'hops.exe'"},
      {{}, {"--scale"}, "2 hops: option '--scale' requires an argument"},
      {{}, {"--scale="}, "2 hops: invalid argument '' for '--scale'|Valid arguments are: " + kFits},
      {{{"HOPS_SCALE", "Fit"}}, {"--scale=fit"}, kBad + "Fit' for HOPS_SCALE|Valid values are: " + kFits},
      {{{"HOPS_HOST", "x11"}}, {}, kBad + "x11' for HOPS_HOST|Valid values are: 'sdl', 'headless'."},
      {{{"HOPS_STATS", "yes"}}, {}, kBad + "yes' for HOPS_STATS|Valid values are: '0', '1'."}};
  for (const auto& [environment, args, expected] : rows) EXPECT_EQ(Read(environment, args), expected);
}

}  // namespace
