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

// The exit code and what was printed (the first line of what goes to
// standard output, all that goes to standard error, lines ended by '|'),
// or, when the game would start, its settings.
std::string Read(const Environment& environment, std::vector<const char*> args) {
  args.insert(args.begin(), "hops");
  char* out_text = nullptr;
  char* err_text = nullptr;
  std::size_t out_size = 0, err_size = 0;
  std::FILE* out = open_memstream(&out_text, &out_size);
  std::FILE* err = open_memstream(&err_text, &err_size);
  platform::Settings s;
  const auto exit_code = platform::read_settings(
      static_cast<int>(args.size()), args.data(),
      [&](const char* name) {
        const auto found = environment.find(name);
        return found == environment.end() ? nullptr : found->second.c_str();
      },
      s, out, err);
  std::fclose(out);
  std::fclose(err);
  std::string printed = std::string(out_text).substr(0, std::string(out_text).find('\n')) + err_text;
  std::free(out_text);
  std::free(err_text);
  for (char& c : printed) c = c == '\n' ? '|' : c;
  if (exit_code) return std::to_string(*exit_code) + " " + printed;
  const char* const scales[] = {"fit", "integer", "sharp"};
  return std::string(s.windowed ? "windowed " : "full ") + scales[static_cast<int>(s.scale)] +
         (s.headless ? " headless" : " sdl") + (s.vsync ? " vsync" : "") + (s.statistics ? " stats" : "") +
         (s.flip_log.empty() ? "" : " log=" + s.flip_log) + " pictures=" + s.pictures_folder +
         " home=" + s.home + printed;
}

TEST(Settings, TheCommandLineOverTheEnvironmentAsGnuProgramsTakeThem) {
  const std::string kTry = "|Try 'hops --help' for more information.|";
  const Environment kEverything{
      {"HOPS_WINDOWED", "1"}, {"HOPS_SCALE", "integer"}, {"HOPS_HOST", "headless"}, {"HOPS_VSYNC", "1"},
      {"HOPS_STATS", "1"},    {"HOPS_FLIP_LOG", "f"},    {"XDG_PICTURES_DIR", "p"}, {"HOME", "h"}};
  const std::tuple<Environment, std::vector<const char*>, std::string> rows[] = {
      {{}, {}, "full fit sdl pictures= home="},
      {kEverything, {}, "windowed integer headless vsync stats log=f pictures=p home=h"},
      {{{"HOPS_WINDOWED", "0"}, {"HOPS_SCALE", ""}, {"HOPS_HOST", "sdl"}, {"HOPS_STATS", "0"}},
       {},
       "full fit sdl pictures= home="},
      {kEverything,
       {"--fullscreen", "--scale", "sharp"},
       "full sharp headless vsync stats log=f pictures=p home=h"},
      {{},
       {"--windowed", "--fullscreen", "--win", "--sc=fit", "--scale=integer"},
       "windowed integer sdl pictures= home="},
      {{}, {"-h"}, "0 Usage: hops [OPTION]..."},
      {{{"HOPS_SCALE", "huge"}}, {"--windowed", "--he", "--bogus"}, "0 Usage: hops [OPTION]..."},
      {{}, {"-V", "--help"}, "0 hops " HOPS_VERSION},
      {{{"HOPS_SCALE", "huge"}}, {"--bogus", "--help"}, "2 hops: unrecognized option '--bogus'" + kTry},
      {{}, {"-x"}, "2 hops: invalid option -- 'x'" + kTry},
      {{}, {"--windowed=1"}, "2 hops: option '--windowed' doesn't allow an argument" + kTry},
      {{}, {"--vers=2"}, "2 hops: option '--version' doesn't allow an argument" + kTry},
      {{}, {"hops.exe"}, "2 hops: unexpected argument 'hops.exe'" + kTry},
      {{}, {"--scale"}, "2 hops: option '--scale' requires an argument" + kTry},
      {{},
       {"--scale="},
       "2 hops: invalid argument '' for '--scale'|Valid arguments are: 'fit', 'integer', 'sharp'." + kTry},
      {{{"HOPS_SCALE", "Fit"}},
       {"--scale=fit"},
       "2 hops: invalid value 'Fit' for HOPS_SCALE|Valid values are: 'fit', 'integer', 'sharp'." + kTry},
      {{{"HOPS_HOST", "x11"}},
       {},
       "2 hops: invalid value 'x11' for HOPS_HOST|Valid values are: 'sdl', 'headless'." + kTry},
      {{{"HOPS_STATS", "yes"}},
       {},
       "2 hops: invalid value 'yes' for HOPS_STATS|Valid values are: '0', '1'." + kTry}};
  for (const auto& [environment, args, expected] : rows) EXPECT_EQ(Read(environment, args), expected);
}

}  // namespace
