// vuni-driver.exe: a console program that looks at a running installer window from the
// outside, as assistive tools do, and drives it. Used by the tests under Wine.
//
//   vuni-driver wait                 wait (up to 30 s) until the window is shown
//   vuni-driver check                compare every control with the control table
//   vuni-driver tab                  compare the Tab order with the visible controls
//   vuni-driver click <number>       press a button or check box
//   vuni-driver key <vk> [mods]      send a key press to the focused control (mods: a, c, s)
//   vuni-driver text <number>        print a control's text
//   vuni-driver focus                print the number of the focused control
//   vuni-driver title                print the window title
//   vuni-driver close                ask the window to close
//
// Every check prints one "ok" or "FAIL" line; the exit code is the number of failures.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "wizard/control_style.h"
#include "wizard/controls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace vuni {
namespace {

constexpr const char* kWindowClass = "VuniWindow";

int failures = 0;

void Report(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) {
        ++failures;
    }
}

HWND FindMainWindow(int waitMs) {
    for (int waited = 0;; waited += 100) {
        HWND w = FindWindowA(kWindowClass, nullptr);
        if (w != nullptr && IsWindowVisible(w)) {
            return w;
        }
        if (waited >= waitMs) {
            return nullptr;
        }
        Sleep(100);
    }
}

std::string Text(HWND w) {
    char buffer[4096] = {};
    // WM_GETTEXT rather than GetWindowText: the latter does not read other processes' controls.
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

std::string ClassOf(HWND w) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof(name));
    return name;
}

// Every numbered descendant of the window, by number.
struct Found {
    HWND window;
    HWND parent;
};
BOOL CALLBACK CollectControl(HWND child, LPARAM data) {
    auto& map = *reinterpret_cast<std::map<int, Found>*>(data);
    const int id = GetDlgCtrlID(child);
    if (id != 0 && ctl::FindControl(id) != nullptr && !map.count(id)) {
        map[id] = {child, GetParent(child)};
    }
    return TRUE;
}

std::map<int, Found> Controls(HWND main) {
    std::map<int, Found> found;
    EnumChildWindows(main, CollectControl, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string Name(const ctl::ControlSpec& entry) {
    return "control " + std::to_string(entry.number);
}

std::string Rect(int x, int y, int w, int h) {
    return "(" + std::to_string(x) + "," + std::to_string(y) + ") " + std::to_string(w) + "x" +
           std::to_string(h);
}

int Check(HWND main) {
    RECT client{};
    GetClientRect(main, &client);
    Report(client.right == kClientWidth && client.bottom == kClientHeight,
           "client area " + std::to_string(client.right) + "x" + std::to_string(client.bottom));
    const LONG_PTR frame = GetWindowLongPtrA(main, GWL_STYLE);
    Report((frame & WS_CAPTION) == WS_CAPTION && (frame & WS_SYSMENU) &&
               !(frame & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)),
           "caption and close box, no minimise, maximise or sizing border");

    const std::map<int, Found> controls = Controls(main);
    for (const ctl::ControlSpec& entry : ctl::ControlTable()) {
        auto it = controls.find(entry.number);
        if (it == controls.end()) {
            Report(false, Name(entry) + " exists");
            continue;
        }
        HWND w = it->second.window;
        HWND expectedParent = main;
        if (entry.parent != 0) {
            auto panel = controls.find(entry.parent);
            expectedParent = panel == controls.end() ? nullptr : panel->second.window;
        }
        Report(it->second.parent == expectedParent,
               Name(entry) + " is a child of " +
                   (entry.parent == 0 ? std::string("the window")
                                     : "panel " + std::to_string(entry.parent)));

        const std::string className = ClassOf(w);
        const std::string expectedClass(ControlClassName(entry.type));
        Report(lstrcmpiA(className.c_str(), expectedClass.c_str()) == 0,
               Name(entry) + " class " + className + " (expected " + expectedClass + ")");

        // Texts the welcome page has not replaced are the creation texts.
        if (entry.text[0] != '\0') {
            const std::string text = Text(w);
            Report(text == entry.text, Name(entry) + " text \"" + text + "\"");
        }

        const auto style = static_cast<uint32_t>(GetWindowLongPtrA(w, GWL_STYLE));
        const auto exStyle = static_cast<uint32_t>(GetWindowLongPtrA(w, GWL_EXSTYLE));
        const uint32_t wanted = ControlStyle(entry);
        // Scroll-bar bits follow whether the bars are shown at the moment; the rest is fixed.
        const uint32_t fixed = wanted & ~(style::kVScroll | style::kHScroll);
        Report((style & fixed) == fixed && (style & WS_CHILD),
               Name(entry) + " style bits " + std::to_string(style & 0xFFFF));
        if (WrapsLines(entry.number)) {
            Report(!(style & (ES_AUTOHSCROLL | WS_HSCROLL)), Name(entry) + " wraps its lines");
        }
        const uint32_t wantedEx =
            ControlExStyle(entry) | (entry.type == ctl::ControlType::Panel ? WS_EX_CONTROLPARENT : 0);
        Report((exStyle & wantedEx) == wantedEx, Name(entry) + " extended style");

        RECT r{};
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, it->second.parent, reinterpret_cast<POINT*>(&r), 2);
        const int x = r.left;
        const int y = r.top;
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        Report(x == entry.x && y == entry.y && width == entry.width && height == entry.height,
               Name(entry) + " at " + Rect(x, y, width, height) + " (expected " +
                   Rect(entry.x, entry.y, entry.width, entry.height) + ")");
    }

    // Creation order: the children of each parent, first to last, follow the table.
    std::map<HWND, std::vector<int>> expected;
    for (const ctl::ControlSpec& entry : ctl::ControlTable()) {
        auto it = controls.find(entry.number);
        if (it != controls.end()) {
            expected[it->second.parent].push_back(entry.number);
        }
    }
    for (const auto& [parent, numbers] : expected) {
        std::vector<int> actual;
        for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(c);
            if (ctl::FindControl(id) != nullptr) {
                actual.push_back(id);
            }
        }
        std::string list;
        for (int n : actual) {
            list += " " + std::to_string(n);
        }
        Report(actual == numbers, "creation order:" + list);
    }

    // The file list's single column.
    auto list = controls.find(ctl::kFileList);
    if (list != controls.end()) {
        HWND header =
            reinterpret_cast<HWND>(SendMessageA(list->second.window, LVM_GETHEADER, 0, 0));
        const LRESULT columns = SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
        // Messages with results only: pointers into this process mean nothing to the window's.
        const LRESULT width = SendMessageA(list->second.window, LVM_GETCOLUMNWIDTH, 0, 0);
        Report(columns == 1 && width == kFileListColumnWidth,
               "file list has " + std::to_string(columns) + " column, " + std::to_string(width) +
                   " wide");
        const auto extended = static_cast<DWORD>(
            SendMessageA(list->second.window, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        Report((extended & LVS_EX_CHECKBOXES) != 0, "file list rows have check boxes");
    }
    return failures;
}

bool Usable(HWND w) {
    for (HWND p = w; p != nullptr && GetParent(p) != nullptr; p = GetParent(p)) {
        if (!IsWindowVisible(p) || !IsWindowEnabled(p)) {
            return false;
        }
    }
    return true;
}

// Tab from each reachable control goes to the next visible, enabled tab stop in table order.
int CheckTab(HWND main) {
    const std::map<int, Found> controls = Controls(main);
    std::vector<HWND> stops;
    std::vector<int> numbers;
    for (const ctl::ControlSpec& entry : ctl::ControlTable()) {
        auto it = controls.find(entry.number);
        if (it == controls.end() || entry.type == ctl::ControlType::Panel) {
            continue;
        }
        HWND w = it->second.window;
        if ((GetWindowLongPtrA(w, GWL_STYLE) & WS_TABSTOP) && Usable(w)) {
            stops.push_back(w);
            numbers.push_back(entry.number);
        }
    }
    std::string list;
    for (int n : numbers) {
        list += " " + std::to_string(n);
    }
    Report(!stops.empty(), "tab stops:" + list);
    for (size_t i = 0; i < stops.size(); ++i) {
        HWND next = GetNextDlgTabItem(main, stops[i], FALSE);
        const size_t want = (i + 1) % stops.size();
        Report(next == stops[want], "Tab from " + std::to_string(numbers[i]) + " goes to " +
                                        std::to_string(GetDlgCtrlID(next)));
    }
    return failures;
}

HWND ControlByNumber(HWND main, int number) {
    const std::map<int, Found> controls = Controls(main);
    auto it = controls.find(number);
    return it == controls.end() ? nullptr : it->second.window;
}

HWND FocusedWindow(HWND main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

int FocusedNumber(HWND main) {
    for (HWND w = FocusedWindow(main); w != nullptr && w != main; w = GetParent(w)) {
        const int id = GetDlgCtrlID(w);
        if (ctl::FindControl(id) != nullptr && ControlByNumber(main, id) == w) {
            return id;
        }
    }
    return 0;
}

// A key press as the keyboard gives it, to the focused control.
void SendKey(HWND main, WORD vk, const char* modifiers) {
    SetForegroundWindow(main);
    Sleep(100);
    std::vector<WORD> held;
    for (const char* m = modifiers; *m; ++m) {
        held.push_back(*m == 'a' ? VK_MENU : *m == 'c' ? VK_CONTROL : VK_SHIFT);
    }
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD key, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    for (WORD k : held) {
        add(k, false);
    }
    add(vk, false);
    add(vk, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it) {
        add(*it, true);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(300);
}

int Usage() {
    std::fprintf(stderr, "usage: vuni-driver wait|check|tab|click N|key VK [mods]|text N|"
                         "focus|title|close\n");
    return 100;
}

} // namespace
} // namespace vuni

int main(int argc, char** argv) {
    using namespace vuni;
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    HWND main = FindMainWindow(command == "wait" ? 30000 : 5000);
    if (main == nullptr) {
        Report(false, "the installer window is shown");
        return 1;
    }
    if (command == "wait") {
        return 0;
    }
    if (command == "check") {
        return Check(main);
    }
    if (command == "tab") {
        return CheckTab(main);
    }
    if (command == "title") {
        std::printf("%s\n", Text(main).c_str());
        return 0;
    }
    if (command == "focus") {
        std::printf("%d\n", FocusedNumber(main));
        return 0;
    }
    if (command == "close") {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    }
    if (argc < 3) {
        return Usage();
    }
    if (command == "key") {
        SendKey(main, static_cast<WORD>(std::strtol(argv[2], nullptr, 0)), argc > 3 ? argv[3] : "");
        return 0;
    }
    HWND control = ControlByNumber(main, std::atoi(argv[2]));
    if (control == nullptr) {
        Report(false, std::string("control ") + argv[2] + " exists");
        return 1;
    }
    if (command == "click") {
        // BM_CLICK makes the button report its click to its parent, as a mouse click does.
        PostMessageA(control, BM_CLICK, 0, 0);
        Sleep(300);
        return 0;
    }
    if (command == "text") {
        std::printf("%s\n", Text(control).c_str());
        return 0;
    }
    return Usage();
}
