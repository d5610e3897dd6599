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
    // The boxes are brought up to date before any message is handled, so that nothing is
    // painted or read from them stale; the hidden ones only once every message was handled,
    // so that a page is drawn before the whole log goes into its hidden box.
    view_.FlushBoxes(HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0);
    return PumpMessages(window_, events, quit, timeoutMs);
}

} // namespace vuni
