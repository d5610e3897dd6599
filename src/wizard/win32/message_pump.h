// The program's event loop over the Win32 message queue.
//
// Each turn waits at most 1 ms for a message. A timeout is an idle tick (OnIdle); a message
// goes through the keyboard shortcuts, then the dialog keys (Tab, arrows, mnemonics), then
// its window. The main window's own messages reach the WindowEvents handlers through the
// window procedure; a right button press anywhere in the window is reported after the
// control under the mouse has seen it.
#pragma once

#include "wizard/win32/main_window.h"
#include "wizard/window_events.h"

namespace vuni {

// Handles every message waiting in the queue, or waits up to timeoutMs for one and calls
// OnIdle when none came. Returns false when WM_QUIT was received.
bool PumpMessages(MainWindow& window, WindowEvents& events, unsigned timeoutMs = 1);

// Runs until events.QuitRequested() is true or WM_QUIT arrives.
void RunMessageLoop(MainWindow& window, WindowEvents& events);

} // namespace vuni
