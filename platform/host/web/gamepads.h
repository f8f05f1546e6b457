// The page's gamepads in the browser's standard layout, read as the game's
// keys, as the desktop host reads its controllers: the d-pad and the left stick
// (leaning past a third of its travel) as the arrows, A as Space, Start as
// S, Back as Esc.
#pragma once

#include <vector>

namespace platform {

// The virtual keys the pads hold now, all pads together, in a fixed order;
// empty where the browser has no gamepads.
std::vector<int> gamepad_keys_held();

}  // namespace platform
