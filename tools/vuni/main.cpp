// vuni.exe: the installer's Windows entry point.
#include "wizard/control_table.h"
#include "wizard/win32/main_window.h"
#include "wizard/win32/message_pump.h"

#include <windows.h>

namespace vuni {
namespace {

constexpr int kPages[] = {6, 71, 62, 80, 84, 96, 101, 99};

// Until the wizard drives the window: the pages can be browsed with Next and Previous, and
// the window remembers the focused control across activations.
class ShellEvents : public WindowEvents {
public:
    explicit ShellEvents(MainWindow& window) : window_(window) {}

    void ShowPage(size_t index) {
        page_ = index;
        for (size_t i = 0; i < std::size(kPages); ++i) {
            HWND panel = window_.Control(kPages[i]);
            ShowWindow(panel, i == index ? SW_SHOW : SW_HIDE);
            EnableWindow(panel, i == index);
        }
        window_.SetStatusText(std::string(kStatusText));
    }

    void OnControl(int control, ControlEvent event, int) override {
        if (event != ControlEvent::Clicked) {
            return;
        }
        if (control == 4) {
            quit_ = true;
        } else if (control == 2) {
            OnMenu(119);
        } else if (control == 3) {
            OnMenu(118);
        }
    }
    void OnMenu(int command) override {
        if (command == 119 && page_ + 1 < std::size(kPages)) {
            ShowPage(page_ + 1);
        } else if (command == 118 && page_ > 0) {
            ShowPage(page_ - 1);
        }
    }
    void OnCloseRequest() override { quit_ = true; }
    void OnDeactivate(int focused) override {
        if (focused != 0) {
            remembered_ = focused;
        }
    }
    bool OnActivate() override {
        HWND control = remembered_ != 0 ? window_.Control(remembered_) : nullptr;
        if (control == nullptr) {
            return false;
        }
        SetFocus(control);
        return true;
    }
    void OnRightButtonDown() override {}
    void OnIdle() override {}
    bool QuitRequested() const override { return quit_; }

private:
    MainWindow& window_;
    size_t page_ = 0;
    int remembered_ = 0;
    bool quit_ = false;
};

int Run(HINSTANCE instance) {
    MainWindow window;
    CreationFailure failure = window.Create(instance);
    if (failure == CreationFailure::None) {
        failure = window.CreateMenuAndShortcuts();
    }
    if (failure != CreationFailure::None) {
        ShowCreationFailure(failure);
        return 0;
    }
    ShellEvents events(window);
    window.SetEvents(&events);
    events.ShowPage(0);
    ShowWindow(window.Handle(), SW_SHOW);
    UpdateWindow(window.Handle());
    RunMessageLoop(window, events);
    return 0;
}

} // namespace
} // namespace vuni

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    vuni::Run(instance);
    return 0;
}
