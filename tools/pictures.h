// The game's seven pictures, drawn procedurally. Every function returns the
// same pixels on every run.
#pragma once

#include "canvas.h"

namespace imggen {

// 1024 x 768, opaque: the night sky behind everything, covering the last frame.
Canvas night_sky();
// 1024 x 768: mountains, hills and the ground the player walks on; the sky
// above them is key-coloured so the night sky shows through.
Canvas play_field();
// 1024 x 768 title screen over the night sky: "HOPS" and "PRESS S TO START".
Canvas title_screen();
// 1024 x 768 ending screen over the night sky: "GAME OVER" and "PRESS S TO RESUME".
Canvas ending_screen();
// 300 x 300: a glossy ball filling the picture's inscribed circle.
Canvas ball();
// 91 x 150: the player, standing inside the 50 x 100 box at (20, 50).
Canvas player();
// 16 x 32: a glowing shot rising from the player's gun.
Canvas bullet();

}  // namespace imggen
