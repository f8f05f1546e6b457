#include "host/settings.h"

#include <cstdlib>

namespace platform {
namespace {

// The switches: 1 on, 0 off.
struct Switch {
  const char* name;
  bool Settings::*field;
};
constexpr Switch kSwitches[] = {{"HOPS_WINDOWED", &Settings::windowed},
                                {"HOPS_VSYNC", &Settings::vsync},
                                {"HOPS_STATS", &Settings::statistics}};

// The folders: any value.
struct Folder {
  const char* name;
  std::string Settings::*field;
};
constexpr Folder kFolders[] = {{"HOPS_FLIP_LOG", &Settings::flip_log},
                               {"XDG_PICTURES_DIR", &Settings::pictures_folder},
                               {"HOME", &Settings::home}};

bool refuse(std::string& error, const char* name, std::string_view value, const char* valid) {
  error = "invalid value '" + std::string(value) + "' for " + name + "\nValid values are: " + valid + ".";
  return false;
}

}  // namespace

const char* const kScaleModeNames = "'fit', 'integer', 'sharp'";

std::optional<ScaleMode> scale_mode_named(std::string_view name) {
  if (name == "fit") return ScaleMode::fit;
  if (name == "integer") return ScaleMode::integer;
  if (name == "sharp") return ScaleMode::sharp;
  return std::nullopt;
}

bool read_environment(const Environment& environment, Settings& settings, std::string& error) {
  const auto value_of = [&environment](const char* name) {
    const char* const value = environment(name);
    return std::string_view(value != nullptr ? value : "");
  };
  for (const Switch& entry : kSwitches) {
    const std::string_view value = value_of(entry.name);
    if (value.empty()) continue;
    if (value != "0" && value != "1") return refuse(error, entry.name, value, "'0', '1'");
    settings.*entry.field = value == "1";
  }
  for (const Folder& entry : kFolders) {
    const std::string_view value = value_of(entry.name);
    if (!value.empty()) settings.*entry.field = value;
  }
  if (const std::string_view host = value_of("HOPS_HOST"); !host.empty()) {
    if (host != "sdl" && host != "headless") return refuse(error, "HOPS_HOST", host, "'sdl', 'headless'");
    settings.headless = host == "headless";
  }
  if (const std::string_view scale = value_of("HOPS_SCALE"); !scale.empty()) {
    const std::optional<ScaleMode> mode = scale_mode_named(scale);
    if (!mode) return refuse(error, "HOPS_SCALE", scale, kScaleModeNames);
    settings.scale = *mode;
  }
  return true;
}

const char* process_environment(const char* name) { return std::getenv(name); }

}  // namespace platform
