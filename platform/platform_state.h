// Process-wide state of the platform's DLLs, cleared between tests.
#pragma once

namespace platform {

void reset_user32();  // classes, windows, queue, key state, quit request
void reset_ddraw();   // forgets the DirectDraw objects a finished test left alive
void reset_gdi32();   // device contexts

// Live DirectDraw objects and surfaces, for leak checks.
int live_ddraw_objects();

}  // namespace platform
