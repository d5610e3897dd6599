// An InstallerWindow without a window, over the headless View: for tests and for the
// simulation tool. Each turn of the event loop calls a driver function, which acts as the
// user (or as the idle clock) on the view; without a driver the window is closed at once.
#pragma once

#include "app/installer_window.h"
#include "headless/headless_view.h"

#include <functional>

namespace vuni {

class HeadlessWindow : public InstallerWindow {
public:
    // One turn of the loop: returns false when nothing more will happen.
    using Driver = std::function<bool(HeadlessView& view)>;

    HeadlessView& Headless() { return view_; }
    void SetDriver(Driver driver) { driver_ = std::move(driver); }
    // The creation step that fails, for the fatal messages (None: everything is created).
    void FailCreation(CreationFailure failure) { failure_ = failure; }

    bool Created() const { return created_; }
    bool Shown() const { return shown_; }
    bool Destroyed() const { return destroyed_; }
    // The title when the window was shown.
    const std::string& TitleWhenShown() const { return titleWhenShown_; }

    View& GetView() override { return view_; }
    CreationFailure Create() override;
    CreationFailure CreateMenuAndShortcuts() override;
    void Show() override;
    void SetEvents(ViewEvents* events) override { view_.Attach(events); }
    bool PumpEvents(ViewEvents& events, const std::function<bool()>& quit,
                    unsigned timeoutMs) override;
    void Destroy() override { destroyed_ = true; }

private:
    HeadlessView view_;
    Driver driver_;
    CreationFailure failure_ = CreationFailure::None;
    bool created_ = false;
    bool shown_ = false;
    bool destroyed_ = false;
    std::string titleWhenShown_;
};

} // namespace vuni
