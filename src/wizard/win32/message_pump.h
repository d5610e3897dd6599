// The program's event loop over the Win32 message queue.
//
// Each turn waits at most 1 ms for a message. A timeout is an idle tick (OnIdle); a message
// goes through the keyboard shortcuts, then the dialog keys (Tab, arrows, mnemonics), then
// its window. The main window's own messages reach the ViewEvents handlers through the
// window procedure; a right button press anywhere in the window is reported after the
// control under the mouse has seen it.
#pragma once

#include "wizard/view.h"
#include "wizard/win32/main_window.h"

#include <functional>

namespace vuni {

// Handles every message waiting in the queue (stopping early once quitRequested() is
// true), or waits up to timeoutMs for one and calls OnIdle when none came. Returns false
// when WM_QUIT was received.
bool PumpMessages(MainWindow& window, ViewEvents& events,
                  const std::function<bool()>& quitRequested, unsigned timeoutMs = 1);

// Runs until quitRequested() is true or WM_QUIT arrives.
void RunMessageLoop(MainWindow& window, ViewEvents& events,
                    const std::function<bool()>& quitRequested);

} // namespace vuni
