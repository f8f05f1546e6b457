// The game's icon for the desktop's menus, made from its own pictures: the
// ball over a rounded square of the night sky, in the sizes of the hicolor
// icon theme.
#pragma once

#include <string>

namespace imggen {

inline constexpr int kIconSizes[] = {48, 64, 128, 256};

// Writes the icon as a size x size RGBA PNG; false if it cannot be written.
bool write_icon(const std::string& path, int size);

}  // namespace imggen
