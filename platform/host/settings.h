// What a run is asked for: the environment's HOPS_ variables and, for the
// game, its command line, read once at start-up into one value that the
// host and the frame statistics are given.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// fit: the largest picture of the game's proportions, nearest neighbour;
// integer: the largest whole multiple, centred (fit when even 1x does not
// fit); sharp: the fit rectangle, drawn from a whole-multiple enlargement
// smoothed down, so strokes stay even.
enum class ScaleMode { fit, integer, sharp };

struct Settings {
  bool headless = false;             // HOPS_HOST=headless: no window (sdl: the default)
  bool windowed = false;             // HOPS_WINDOWED=1: a window, not the whole screen
  ScaleMode scale = ScaleMode::fit;  // HOPS_SCALE
  bool vsync = false;                // HOPS_VSYNC=1: each flip waits for the display
  bool statistics = false;           // HOPS_STATS=1: a line of frame statistics at exit
  std::string flip_log;              // HOPS_FLIP_LOG: where the times between flips go
  std::string pictures_folder;       // XDG_PICTURES_DIR: where screenshots go
  std::string home;                  // HOME
};

// The scale mode of that name; none for a name that is not one.
std::optional<ScaleMode> scale_mode_named(std::string_view name);
// The names scale_mode_named takes, quoted, as "'fit', 'integer', 'sharp'".
extern const char* const kScaleModeNames;

// A variable's value, or null when it is not set.
using Environment = std::function<const char*(const char* name)>;
// Reads the settings from an environment into `settings`. An empty value
// counts as unset; any other value that means nothing is refused: false,
// and `error` says what and which values would do.
bool read_environment(const Environment& environment, Settings& settings, std::string& error);
// The process's own environment.
const char* process_environment(const char* name);

}  // namespace platform
