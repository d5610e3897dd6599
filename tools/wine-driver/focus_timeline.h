// The focus and foreground changes of the whole desktop as a timeline, recorded from the
// outside (out-of-context window events) while the driver serves, each with its time.
#pragma once

#include "serve.h"

#include <cstddef>

namespace vuni::driver {

// Starts the recording thread (once); the events come from then on.
void StartFocusTimeline();

// timeline [FROM]: the events from number FROM (0 the first) once those already raised have
// come in. Fields: the count of events recorded, the current tick (ms), then one field per
// event: "TICK focus|foreground WHAT", WHAT naming the window that got it (see Describe).
Answer TimelineCommand(size_t from);

// The window in front and the installer's focus now: WHAT of the foreground window, the
// number of the focused control of the main window (0 when the focus is on none of them),
// and "1" when that control is one a person can land on (not a page panel), else "0".
Answer ForegroundCommand();

} // namespace vuni::driver
