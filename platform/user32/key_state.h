// The thread's keyboard state: what GetKeyState reports.
#pragma once

#include <windows.h>

namespace platform {

// Records a key message the thread has just taken from its queue: a down
// message sets the key down (and flips its toggle when it was up), an up
// message clears it. Other messages are ignored.
void note_key_message(const MSG& msg);
// The keyboard's scan code for a virtual key as it goes into bits 16-24 of
// a key message's lParam: the make code, plus 0x100 for the extended keys
// (the arrows of the separate block); 0 for a key without one.
unsigned scan_code(int virtual_key);

}  // namespace platform
