#include "window_check.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "installer_windows.h"
#include "wizard/control_style.h"
#include "wizard/controls.h"

#include <cstdio>
#include <map>

namespace vuni::driver {
namespace {

int failures = 0;

std::string Name(const ctl::ControlSpec& entry) {
    return "control " + std::to_string(entry.number);
}

std::string Rect(int x, int y, int w, int h) {
    return "(" + std::to_string(x) + "," + std::to_string(y) + ") " + std::to_string(w) + "x" +
           std::to_string(h);
}

} // namespace

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
        const uint32_t wantedEx = ControlExStyle(entry) |
                                  (entry.type == ctl::ControlType::Panel ? WS_EX_CONTROLPARENT : 0);
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

namespace {
bool Usable(HWND w) {
    for (HWND p = w; p != nullptr && GetParent(p) != nullptr; p = GetParent(p)) {
        if (!IsWindowVisible(p) || !IsWindowEnabled(p)) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<std::pair<int, HWND>> TabStops(HWND main) {
    const std::map<int, Found> controls = Controls(main);
    std::vector<std::pair<int, HWND>> stops;
    for (const ctl::ControlSpec& entry : ctl::ControlTable()) {
        auto it = controls.find(entry.number);
        if (it == controls.end() || entry.type == ctl::ControlType::Panel) {
            continue;
        }
        HWND w = it->second.window;
        if ((GetWindowLongPtrA(w, GWL_STYLE) & WS_TABSTOP) && Usable(w)) {
            stops.emplace_back(entry.number, w);
        }
    }
    return stops;
}

void TabOrder(HWND main, std::vector<std::string>& lines) {
    const auto stops = TabStops(main);
    std::string list;
    for (const auto& stop : stops) {
        list += " " + std::to_string(stop.first);
    }
    lines.push_back(std::string(stops.empty() ? "FAIL" : "ok") + " tab stops:" + list);
    for (size_t i = 0; i < stops.size(); ++i) {
        HWND next = GetNextDlgTabItem(main, stops[i].second, FALSE);
        const auto& want = stops[(i + 1) % stops.size()];
        lines.push_back(std::string(next == want.second ? "ok" : "FAIL") + " Tab from " +
                        std::to_string(stops[i].first) + " goes to " +
                        std::to_string(GetDlgCtrlID(next)) + " (expected " +
                        std::to_string(want.first) + ")");
    }
}

int CheckTab(HWND main) {
    std::vector<std::string> lines;
    TabOrder(main, lines);
    for (const std::string& line : lines) {
        const bool ok = line.rfind("ok", 0) == 0;
        Report(ok, line.substr(ok ? 3 : 5));
    }
    return failures;
}

void Report(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) {
        ++failures;
    }
}

} // namespace vuni::driver
