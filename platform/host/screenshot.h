// F12's screenshot: the frame last flipped, as a PNG file of its own size.
#pragma once

#include <ctime>
#include <filesystem>

#include "host/host.h"

namespace platform {

// Writes the frame as an 8-bit RGB PNG (16-bit frames widened as 5-6-5 to
// 8-8-8, the top bits repeated below). False when the file cannot be written.
bool write_png(const FrameView& frame, const std::filesystem::path& path);

// The folder screenshots go to: $XDG_PICTURES_DIR, else ~/Pictures, else the
// working folder, the first that is a folder.
std::filesystem::path screenshot_folder(const Settings& settings);

// hops-YYYYMMDD-HHMMSS.png in local time; -2, -3, ... before the extension
// when taken within the same second as one already in `folder`.
std::filesystem::path screenshot_path(const std::filesystem::path& folder, std::time_t now);

// Saves the frame into the screenshot folder and says where, or why not, on
// standard error. Does nothing before the first frame.
void save_screenshot(const FrameView& frame, const Settings& settings);

}  // namespace platform
