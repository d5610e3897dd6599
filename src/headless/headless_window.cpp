#include "headless/headless_window.h"

namespace vuni {

CreationFailure HeadlessWindow::Create() {
    const bool fails = failure_ == CreationFailure::MainWindow ||
                       failure_ == CreationFailure::Control ||
                       failure_ == CreationFailure::StatusBar;
    if (fails) {
        return failure_;
    }
    created_ = true;
    return CreationFailure::None;
}

CreationFailure HeadlessWindow::CreateMenuAndShortcuts() {
    return failure_ == CreationFailure::ContextMenu ? failure_ : CreationFailure::None;
}

void HeadlessWindow::Show() {
    shown_ = true;
    titleWhenShown_ = view_.Title();
}

bool HeadlessWindow::PumpEvents(ViewEvents& events, const std::function<bool()>& quit,
                                unsigned /*timeoutMs*/) {
    if (!driver_) {
        events.OnCloseRequest();
        return true;
    }
    const bool more = driver_(view_);
    if (!more && !quit()) {
        // The driver is done: the user closes the window.
        events.OnCloseRequest();
    }
    return true;
}

} // namespace vuni
