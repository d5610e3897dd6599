// The installer's window on Windows: the Win32 main window and its View, created and pumped
// as the program layer asks.
#pragma once

#include "app/installer_window.h"
#include "wizard/win32/main_window.h"
#include "wizard/win32/win32_view.h"

#include <windows.h>

namespace vuni {

class Win32InstallerWindow : public InstallerWindow {
public:
    explicit Win32InstallerWindow(HINSTANCE instance) : instance_(instance), view_(window_) {}

    View& GetView() override { return view_; }
    CreationFailure Create() override;
    CreationFailure CreateMenuAndShortcuts() override { return window_.CreateMenuAndShortcuts(); }
    void Show() override;
    void SetEvents(ViewEvents* events) override { window_.SetEvents(events); }
    bool PumpEvents(ViewEvents& events, const std::function<bool()>& quit,
                    unsigned timeoutMs) override;
    void Destroy() override { window_.Destroy(); }

private:
    HINSTANCE instance_;
    MainWindow window_;
    Win32View view_;
};

} // namespace vuni
