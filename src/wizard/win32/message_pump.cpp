#include "wizard/win32/message_pump.h"

namespace vuni {
namespace {

// Enter on an opened drop-down list picks the item rather than acting as Next.
bool IsOpenDropDown(HWND focus) {
    for (HWND w = focus; w != nullptr; w = GetParent(w)) {
        char className[16] = {};
        GetClassNameA(w, className, sizeof(className));
        if (lstrcmpiA(className, "ComboBox") == 0) {
            return SendMessageA(w, CB_GETDROPPEDSTATE, 0, 0) != 0;
        }
    }
    return false;
}

bool BelongsTo(HWND window, HWND target) {
    return target == window || (target != nullptr && IsChild(window, target));
}

void Handle(MainWindow& window, ViewEvents& events, MSG& msg) {
    HWND main = window.Handle();
    const bool ours = BelongsTo(main, msg.hwnd);
    if (ours && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && !IsOpenDropDown(msg.hwnd)) {
        // The dialog keys would turn Escape into a click on control 2, the Next button.
        return;
    }
    const bool keepEnter =
        msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && IsOpenDropDown(msg.hwnd);
    if (ours && !keepEnter && window.Shortcuts() != nullptr &&
        TranslateAcceleratorA(main, window.Shortcuts(), &msg)) {
        return;
    }
    if (!ours || keepEnter || !IsDialogMessageA(main, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (ours && msg.message == WM_RBUTTONDOWN) {
        events.OnRightButton();
    }
}

} // namespace

bool PumpMessages(MainWindow& window, ViewEvents& events,
                  const std::function<bool()>& quitRequested, unsigned timeoutMs) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        const DWORD woke = MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs, QS_ALLINPUT);
        if (woke == WAIT_TIMEOUT) {
            events.OnIdle();
        }
        return true;
    }
    do {
        if (msg.message == WM_QUIT) {
            return false;
        }
        Handle(window, events, msg);
        if (quitRequested()) {
            return true;
        }
    } while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    return true;
}

void RunMessageLoop(MainWindow& window, ViewEvents& events,
                    const std::function<bool()>& quitRequested) {
    while (!quitRequested()) {
        if (!PumpMessages(window, events, quitRequested)) {
            return;
        }
    }
}

} // namespace vuni
