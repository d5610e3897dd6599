#include "win32_installer_window.h"

#include "wizard/win32/message_pump.h"

namespace vuni {

CreationFailure Win32InstallerWindow::Create() {
    const CreationFailure failure = window_.Create(instance_);
    // The view was made with the installer, before the window: its boxes come now.
    view_.AttachBoxes();
    return failure;
}

void Win32InstallerWindow::Show() {
    ShowWindow(window_.Handle(), SW_SHOW);
    UpdateWindow(window_.Handle());
}

bool Win32InstallerWindow::PumpEvents(ViewEvents& events, const std::function<bool()>& quit,
                                      unsigned timeoutMs) {
    return PumpMessages(window_, events, quit, timeoutMs);
}

} // namespace vuni
