#include "own_window.h"

namespace vuni::driver {
namespace {

constexpr const char* kOwnClass = "VuniDriverWindow";
constexpr UINT kCreateOwnWindow = WM_APP + 1;
constexpr UINT kBringOwnWindow = WM_APP + 2;

struct OwnWindow {
    HWND window = nullptr;
    std::string title;
    // What the other instance did to it, in order: h(idden), m(inimised), r(estored).
    std::string shows;
};
OwnWindow ownWindows[2]; // 0: the other instance, 1: the window switched to
HANDLE ownThreadReady = nullptr;
DWORD ownThreadId = 0;

LRESULT CALLBACK OwnProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    OwnWindow* own = nullptr;
    for (OwnWindow& o : ownWindows) {
        if (o.window == w) {
            own = &o;
        }
    }
    if (own != nullptr) {
        if (message == WM_SHOWWINDOW && !wParam) {
            own->shows += 'h';
        } else if (message == WM_SIZE && wParam == SIZE_MINIMIZED) {
            own->shows += 'm';
        } else if (message == WM_SIZE && wParam == SIZE_RESTORED && IsWindowVisible(w) &&
                   !own->shows.empty()) {
            own->shows += 'r';
        }
    }
    if (message == WM_CLOSE) {
        return 0; // only the driver ends its windows
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

DWORD WINAPI OwnThread(LPVOID) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kOwnClass;
    RegisterClassA(&wc);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists from here
    SetEvent(ownThreadReady);
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kCreateOwnWindow) {
            OwnWindow& own = ownWindows[msg.wParam];
            if (own.window == nullptr) {
                own.window = CreateWindowExA(0, kOwnClass, own.title.c_str(),
                                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 700, 200, 60,
                                             nullptr, nullptr, wc.hInstance, nullptr);
            }
            SetEvent(reinterpret_cast<HANDLE>(msg.lParam));
            continue;
        }
        if (msg.hwnd == nullptr && msg.message == kBringOwnWindow) {
            SetForegroundWindow(ownWindows[msg.wParam].window);
            SetEvent(reinterpret_cast<HANDLE>(msg.lParam));
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

void OnOwnThread(UINT message, WPARAM which) {
    if (ownThreadId == 0) {
        ownThreadReady = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        CreateThread(nullptr, 0, OwnThread, nullptr, 0, &ownThreadId);
        WaitForSingleObject(ownThreadReady, 5000);
    }
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    PostThreadMessageA(ownThreadId, message, which, reinterpret_cast<LPARAM>(done));
    WaitForSingleObject(done, 5000);
    CloseHandle(done);
}

OwnWindow& Own(OwnWindowRole role) {
    return ownWindows[static_cast<int>(role)];
}

} // namespace

void CreateOwnWindow(OwnWindowRole role, const std::string& title) {
    Own(role).title = title;
    OnOwnThread(kCreateOwnWindow, static_cast<WPARAM>(role));
}

void BringOwnWindow(OwnWindowRole role) {
    OnOwnThread(kBringOwnWindow, static_cast<WPARAM>(role));
}

HWND OwnWindowHandle(OwnWindowRole role) {
    return Own(role).window;
}

std::string OwnWindowShows(OwnWindowRole role) {
    return Own(role).shows;
}

} // namespace vuni::driver
