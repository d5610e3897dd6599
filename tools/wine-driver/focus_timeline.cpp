#include "focus_timeline.h"

// clang-format off
#include <windows.h>
// clang-format on

#include "installer_windows.h"
#include "serve_commands.h"
#include "wizard/controls.h"

#include <string>
#include <vector>

namespace vuni::driver {
namespace {

constexpr const char* kMainClass = "VuniWindow";
constexpr UINT kFlush = WM_APP + 1;

struct Event {
    DWORD tick;
    bool focus; // else foreground
    std::string what;
};

// The events, shared by the recording thread and the serving one (this build's threads
// have no std::mutex).
CRITICAL_SECTION guard;
std::vector<Event> events;
DWORD recorder = 0;       // the recording thread
HANDLE flushed = nullptr; // set by the recording thread when it reached a flush

class Locked {
public:
    Locked() { EnterCriticalSection(&guard); }
    ~Locked() { LeaveCriticalSection(&guard); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// The number of the control a window of the main window is, or is inside of; 0 for none.
int NumberOf(HWND w, HWND main) {
    for (; w != nullptr && w != main; w = GetParent(w)) {
        if (ctl::FindControl(GetDlgCtrlID(w)) != nullptr) {
            return GetDlgCtrlID(w);
        }
    }
    return 0;
}

std::string ButtonName(int id) {
    switch (id) {
    case IDOK:
        return "Ok";
    case IDCANCEL:
        return "Cancel";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return std::to_string(id);
    }
}

// What a person would call the window: "none"; "window" (the installer's main window
// itself); a control number of the main window; "box TITLE" or "box TITLE: BUTTON" (a box
// of the installer, or a control in it); "menu"; "driver" (the driver's own windows); or
// "other CLASS" (another program's window, by the class of its top-level window). Window
// texts are read with GetWindowText, which never waits for another process's thread.
std::string Describe(HWND w) {
    if (w == nullptr) {
        return "none";
    }
    HWND root = GetAncestor(w, GA_ROOT);
    const std::string rootClass = ClassOf(root);
    if (ProcessOf(root) == GetCurrentProcessId()) {
        return "driver";
    }
    if (rootClass == kMainClass && Installers(root)) {
        const int number = NumberOf(w, root);
        return number != 0 ? std::to_string(number) : "window";
    }
    if (rootClass == "#32770" && Installers(root)) {
        char title[256] = {};
        GetWindowTextA(root, title, sizeof title);
        return std::string("box ") + title + (w == root ? "" : ": " + ButtonName(GetDlgCtrlID(w)));
    }
    if (rootClass == "#32768") {
        return "menu";
    }
    return "other " + rootClass;
}

// The last foreground window and focus recorded (the recording thread's own).
HWND lastForeground = nullptr;
HWND lastFocus = nullptr;
HWND mainWindow = nullptr;

void Add(DWORD tick, bool focus, HWND w, bool looked) {
    HWND& last = focus ? lastFocus : lastForeground;
    if (looked && w == last) {
        return; // seen already, by the event
    }
    last = w;
    Event e{tick, focus, Describe(w)};
    const Locked lock;
    events.push_back(std::move(e));
}

void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND w, LONG, LONG, DWORD, DWORD tick) {
    Add(tick, event == EVENT_OBJECT_FOCUS, w, false);
}

// Some systems raise no foreground event, or no focus event when the focus comes from no
// window (Wine does neither): the foreground window and the installer's focus are also
// looked at every 10 ms.
void CALLBACK LookAround(HWND, UINT, UINT_PTR, DWORD) {
    const DWORD tick = GetTickCount();
    Add(tick, false, GetForegroundWindow(), true);
    if (!IsWindow(mainWindow)) {
        mainWindow = Main();
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (mainWindow != nullptr &&
        GetGUIThreadInfo(GetWindowThreadProcessId(mainWindow, nullptr), &info) &&
        info.hwndFocus != nullptr) {
        Add(tick, true, info.hwndFocus, true);
    }
}

// Out-of-context events come to the thread that asked for them, through its messages.
DWORD WINAPI RecordingThread(LPVOID ready) {
    SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, Record, 0, 0,
                    WINEVENT_OUTOFCONTEXT);
    SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, Record, 0, 0,
                    WINEVENT_OUTOFCONTEXT);
    SetTimer(nullptr, 0, 10, LookAround);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists now
    SetEvent(static_cast<HANDLE>(ready));
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == kFlush) {
            // The events raised before the flush was posted were handled before it.
            SetEvent(flushed);
            continue;
        }
        DispatchMessageA(&message);
    }
    return 0;
}

} // namespace

void StartFocusTimeline() {
    if (recorder != 0) {
        return;
    }
    InitializeCriticalSection(&guard);
    flushed = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, RecordingThread, ready, 0, &recorder);
    if (thread != nullptr) {
        WaitForSingleObject(ready, 5000);
        CloseHandle(thread);
    }
    CloseHandle(ready);
}

Answer TimelineCommand(size_t from) {
    if (recorder == 0) {
        return Fail("no timeline recorded");
    }
    // A short wait: the events raised so far are on their way to the recording thread.
    Sleep(20);
    if (PostThreadMessageA(recorder, kFlush, 0, 0)) {
        WaitForSingleObject(flushed, 1000);
    }
    std::vector<std::string> fields;
    const Locked lock;
    fields.push_back(std::to_string(events.size()));
    fields.push_back(std::to_string(GetTickCount()));
    for (size_t i = from; i < events.size(); ++i) {
        const Event& e = events[i];
        fields.push_back(std::to_string(e.tick) + (e.focus ? " focus " : " foreground ") + e.what);
    }
    return Ok(fields);
}

Answer ForegroundCommand() {
    HWND main = Main();
    const int number = main != nullptr ? FocusedNumber(main) : 0;
    const ctl::ControlSpec* spec = ctl::FindControl(number);
    const bool landing = spec != nullptr && spec->type != ctl::ControlType::Panel;
    return Ok({Describe(GetForegroundWindow()), std::to_string(number), landing ? "1" : "0"});
}

} // namespace vuni::driver
