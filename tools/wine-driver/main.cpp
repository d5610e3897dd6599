// vuni-driver.exe: a console program that looks at a running installer window from the
// outside, as assistive tools do, and drives it. Used by the tests under Wine.
//
//   vuni-driver check                compare every control with the control table
//   vuni-driver tab                  compare the Tab order with the visible controls
//   vuni-driver serve                play commands read from standard input (see Serve)
//   vuni-driver wait                 wait (up to 30 s) for the installer window; exit 1 if none
//   vuni-driver COMMAND ARGS...      one serve command on an installer that already runs: its
//                                    answer fields one a line, exit 1 with the error
//
// check and tab print one "ok" or "FAIL" line per check; the exit code is the number of
// failures.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <shlobj.h>
// clang-format on

#include "wizard/control_style.h"
#include "wizard/controls.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace vuni {
namespace {

constexpr const char* kWindowClass = "VuniWindow";
constexpr const char* kOwnClass = "VuniDriverWindow";
constexpr UINT kCreateOwnWindow = WM_APP + 1;
constexpr UINT kBringOwnWindow = WM_APP + 2;

int failures = 0;

void Report(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) {
        ++failures;
    }
}

// The installer started by `launch`, when there is one: its windows are told apart from the
// driver's own and from the stand-ins' by its process id.
HANDLE installerProcess = nullptr;
DWORD installerId = 0;

DWORD ProcessOf(HWND w) {
    DWORD id = 0;
    GetWindowThreadProcessId(w, &id);
    return id;
}

bool Installers(HWND w) {
    return installerId == 0 ? ProcessOf(w) != GetCurrentProcessId() : ProcessOf(w) == installerId;
}

struct TopSearch {
    const char* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND w, LPARAM data) {
    auto& search = *reinterpret_cast<TopSearch*>(data);
    char name[64] = {};
    GetClassNameA(w, name, sizeof(name));
    if (lstrcmpiA(name, search.className) == 0 && Installers(w) &&
        (!search.visibleOnly || IsWindowVisible(w))) {
        search.found.push_back(w);
    }
    return TRUE;
}

std::vector<HWND> TopWindows(const char* className, bool visibleOnly) {
    TopSearch search{className, visibleOnly, {}};
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindMainWindow(int waitMs) {
    for (int waited = 0;; waited += 50) {
        for (HWND w : TopWindows(kWindowClass, true)) {
            return w;
        }
        if (waited >= waitMs) {
            return nullptr;
        }
        Sleep(50);
    }
}

std::string Text(HWND w) {
    std::vector<char> buffer(65536);
    // WM_GETTEXT rather than GetWindowText: the latter does not read other processes' controls.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, 2000, &length)) {
        return "";
    }
    return std::string(buffer.data());
}

// Texts of other processes' lists come through the wide messages: the narrow ones are not
// converted on their way between processes under every system.
std::wstring Wide(const std::string& text) {
    const int size = MultiByteToWideChar(1252, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(size > 0 ? size : 1, L'\0');
    MultiByteToWideChar(1252, 0, text.c_str(), -1, wide.data(), size);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::string Narrow(const wchar_t* text) {
    const int size = WideCharToMultiByte(1252, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(1252, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

std::string ItemText(HWND combo, int i) {
    wchar_t text[1024] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(std::size(text))) {
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    }
    return Narrow(text);
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

bool Usable(HWND w) {
    for (HWND p = w; p != nullptr && GetParent(p) != nullptr; p = GetParent(p)) {
        if (!IsWindowVisible(p) || !IsWindowEnabled(p)) {
            return false;
        }
    }
    return true;
}

// The controls Tab stops at, in table (creation) order: visible, enabled tab stops.
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

// Tab from each reachable control goes to the next visible, enabled tab stop in table order.
// Appends "ok ..."/"FAIL ..." lines to `lines`.
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

// ---- Keys -------------------------------------------------------------------------------

struct KeyName {
    const char* name;
    WORD vk;
};
constexpr KeyName kKeys[] = {
    {"Enter", VK_RETURN}, {"Tab", VK_TAB},   {"Escape", VK_ESCAPE}, {"Apps", VK_APPS},
    {"Space", VK_SPACE},  {"Up", VK_UP},     {"Down", VK_DOWN},     {"Left", VK_LEFT},
    {"Right", VK_RIGHT},  {"Home", VK_HOME}, {"End", VK_END},       {"F1", VK_F1},
    {"F2", VK_F2},        {"F3", VK_F3},     {"F4", VK_F4},         {"F5", VK_F5},
    {"F6", VK_F6},        {"F10", VK_F10},   {"Delete", VK_DELETE}, {"Back", VK_BACK},
};

// "Alt+F1" -> the modifier keys and the key; false for a name not known.
bool ParseKeys(const std::string& text, std::vector<WORD>& held, WORD& key) {
    size_t start = 0;
    for (;;) {
        const size_t plus = text.find('+', start);
        const std::string part =
            text.substr(start, plus == std::string::npos ? plus : plus - start);
        if (plus == std::string::npos) {
            for (const KeyName& k : kKeys) {
                if (lstrcmpiA(part.c_str(), k.name) == 0) {
                    key = k.vk;
                    return true;
                }
            }
            if (part.size() == 1 && std::isalnum(static_cast<unsigned char>(part[0]))) {
                key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(part[0])));
                return true;
            }
            return false;
        }
        if (lstrcmpiA(part.c_str(), "Alt") == 0) {
            held.push_back(VK_MENU);
        } else if (lstrcmpiA(part.c_str(), "Ctrl") == 0) {
            held.push_back(VK_CONTROL);
        } else if (lstrcmpiA(part.c_str(), "Shift") == 0) {
            held.push_back(VK_SHIFT);
        } else {
            return false;
        }
        start = plus + 1;
    }
}

// A key press as the keyboard gives it: the input goes to the foreground window's focus,
// and the thread's key state follows (the shortcuts look at it).
void SendKeys(const std::vector<WORD>& held, WORD vk) {
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD key, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        if (key == VK_APPS || key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN ||
            key == VK_HOME || key == VK_END || key == VK_DELETE) {
            in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        }
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
}

// ---- Memory in the installer's process (list-view and folder-chooser messages) -----------

class RemoteBuffer {
public:
    RemoteBuffer(HWND owner, size_t size)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               ProcessOf(owner))),
          size_(size) {
        if (process_ != nullptr) {
            address_ =
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        }
    }
    ~RemoteBuffer() {
        if (address_ != nullptr && !keep_) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
        if (process_ != nullptr) {
            CloseHandle(process_);
        }
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Ok() const { return address_ != nullptr; }
    char* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        return offset + size <= size_ &&
               WriteProcessMemory(process_, At(offset), data, size, nullptr);
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return offset + size <= size_ &&
               ReadProcessMemory(process_, At(offset), data, size, nullptr);
    }
    // A message that did not answer in time may still read the memory later.
    void Keep() { keep_ = true; }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
    bool keep_ = false;
};

constexpr size_t kRowText = 1024;

std::vector<std::string> Rows(HWND list) {
    std::vector<std::string> rows;
    RemoteBuffer remote(list, sizeof(LVITEMA) + kRowText);
    if (!remote.Ok()) {
        return rows;
    }
    const auto count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = remote.At(sizeof(LVITEMA));
        item.cchTextMax = kRowText;
        remote.Write(0, &item, sizeof(item));
        SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(remote.At(0)));
        char text[kRowText] = {};
        remote.Read(sizeof(LVITEMA), text, sizeof(text) - 1);
        const auto state =
            static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK));
        const bool checked = ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
        rows.push_back(std::string(checked ? "[x] " : "[ ] ") + text);
    }
    return rows;
}

bool SetRowState(HWND list, int row, UINT state, UINT mask) {
    RemoteBuffer remote(list, sizeof(LVITEMA));
    if (!remote.Ok()) {
        return false;
    }
    LVITEMA item{};
    item.stateMask = mask;
    item.state = state;
    remote.Write(0, &item, sizeof(item));
    DWORD_PTR result = 0;
    // A handler that opens a box keeps the message; the driver goes on without its answer.
    if (!SendMessageTimeoutA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.At(0)),
                             SMTO_NORMAL, 1000, &result)) {
        remote.Keep();
    }
    return true;
}

// ---- Dialogs ------------------------------------------------------------------------------

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool HasChildOfClass(HWND parent, const char* className) {
    return FindWindowExA(parent, nullptr, className, nullptr) != nullptr;
}

// A box's message: its static control 0xFFFF, else the longest static text in it.
std::string BoxText(HWND box) {
    if (HWND text = GetDlgItem(box, 0xFFFF)) {
        return Text(text);
    }
    std::string longest;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassOf(c).c_str(), "Static") == 0) {
            const std::string t = Text(c);
            if (t.size() > longest.size()) {
                longest = t;
            }
        }
    }
    return longest;
}

// The label of a tree item of another process.
std::string TreeText(HWND tree, HTREEITEM item) {
    RemoteBuffer remote(tree, sizeof(TVITEMW) + 1024);
    if (item == nullptr || !remote.Ok()) {
        return "";
    }
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(TVITEMW)));
    tv.cchTextMax = 512;
    remote.Write(0, &tv, sizeof(tv));
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0)));
    wchar_t text[512] = {};
    remote.Read(sizeof(TVITEMW), text, sizeof(text) - sizeof(wchar_t));
    return Narrow(text);
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

// The child of `parent` (the roots for nullptr) whose label is `name` without regard to case,
// or, for a drive "C:", whose label holds "(C:)"; searched `deeper` levels further down too,
// for the drives below the desktop and the computer.
HTREEITEM TreeChild(HWND tree, HTREEITEM parent, const std::string& name, int deeper) {
    const bool drive = name.size() == 2 && name[1] == ':';
    HTREEITEM first =
        parent == nullptr ? TreeNext(tree, nullptr, TVGN_ROOT) : TreeNext(tree, parent, TVGN_CHILD);
    for (HTREEITEM item = first; item != nullptr; item = TreeNext(tree, item, TVGN_NEXT)) {
        const std::string label = TreeText(tree, item);
        if (drive ? label.find("(" + name + ")") != std::string::npos
                  : lstrcmpiA(label.c_str(), name.c_str()) == 0) {
            return item;
        }
    }
    if (deeper > 0) {
        for (HTREEITEM item = first; item != nullptr; item = TreeNext(tree, item, TVGN_NEXT)) {
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
            if (HTREEITEM found = TreeChild(tree, item, name, deeper - 1)) {
                return found;
            }
        }
    }
    return nullptr;
}

// Selects the folder PATH in a folder chooser's tree; answers the label selected at the end.
std::string SelectTreePath(HWND tree, const std::string& path) {
    HTREEITEM item = nullptr;
    size_t start = 0;
    bool first = true;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty()) {
            continue;
        }
        if (item != nullptr) {
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        }
        HTREEITEM child = TreeChild(tree, item, part, first ? 3 : 0);
        first = false;
        if (child == nullptr) {
            break;
        }
        item = child;
    }
    if (item != nullptr) {
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    return TreeText(tree, TreeNext(tree, nullptr, TVGN_CARET));
}

// ---- The driver's own window (other instance, switching away) -----------------------------

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

// ---- Accessibility ------------------------------------------------------------------------

// The name an assistive tool gets for a control through oleacc, or why there is none.
std::string AccessibleName(HWND w, HRESULT& result) {
    IAccessible* object = nullptr;
    result = AccessibleObjectFromWindow(w, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object));
    if (FAILED(result) || object == nullptr) {
        return "";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    result = object->get_accName(self, &name);
    std::string text;
    if (SUCCEEDED(result) && name != nullptr) {
        text = Narrow(name);
    }
    if (name != nullptr) {
        SysFreeString(name);
    }
    object->Release();
    return text;
}

std::string Hex(HRESULT value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

// Every control of the shown page (and the window buttons) that takes the focus has a name:
// the oleacc name when the system gives one, else its own text or the label created just
// before it. Then the Tab order.
void Access(HWND main, std::vector<std::string>& lines) {
    for (const auto& [number, w] : TabStops(main)) {
        const ctl::ControlSpec* entry = ctl::FindControl(number);
        HRESULT result = S_OK;
        const std::string accName = AccessibleName(w, result);
        std::string how;
        std::string name;
        if (!accName.empty()) {
            name = accName;
            how = "oleacc";
        } else {
            const bool ownText = entry->type == ctl::ControlType::Button ||
                                 entry->type == ctl::ControlType::CheckBox;
            if (ownText) {
                name = Text(w);
                how = "own text";
            } else {
                // A label is a static text or a read-only field created just before it.
                HWND previous = GetWindow(w, GW_HWNDPREV);
                const bool label = previous != nullptr &&
                                   (lstrcmpiA(ClassOf(previous).c_str(), "Static") == 0 ||
                                    (lstrcmpiA(ClassOf(previous).c_str(), "Edit") == 0 &&
                                     (GetWindowLongPtrA(previous, GWL_STYLE) & ES_READONLY)));
                if (label) {
                    name = Text(previous);
                    how = "label " + std::to_string(GetDlgCtrlID(previous));
                } else if (previous == nullptr && GetWindow(w, GW_HWNDNEXT) == nullptr) {
                    // Alone on its page: the window title, which each such page sets, names it.
                    name = Text(main);
                    how = "alone on its page, the window title";
                } else {
                    how = "no label before it";
                }
            }
            how += ", oleacc " + Hex(result);
        }
        lines.push_back(std::string(name.empty() ? "FAIL" : "ok") + " control " +
                        std::to_string(number) + " named \"" + name + "\" (" + how + ")");
    }
    TabOrder(main, lines);
}

// ---- Serving ------------------------------------------------------------------------------

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(
            Unescape(line.substr(start, tab == std::string::npos ? tab : tab - start)));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

struct Answer {
    bool ok = true;
    std::vector<std::string> fields;
};

Answer Fail(const std::string& why) {
    return {false, {why}};
}
Answer Ok(std::vector<std::string> fields = {}) {
    return {true, std::move(fields)};
}

bool Running() {
    return installerProcess != nullptr && WaitForSingleObject(installerProcess, 0) == WAIT_TIMEOUT;
}

// Waits until the installer's thread has handled every message posted to it so far: a
// marker posted behind them to the log box (its text limit) shows when it got there. A
// modal box or menu opened by one of them handles the marker too.
bool Settle(HWND main) {
    HWND log = ControlByNumber(main, ctl::kLogBox);
    if (log == nullptr) {
        return false;
    }
    static UINT serial = 0;
    const UINT marker = 0x7FFF0000u + (++serial & 0xFFFF);
    PostMessageA(log, EM_SETLIMITTEXT, marker, 0);
    for (int waited = 0; waited < 5000; waited += 10) {
        DWORD_PTR limit = 0;
        if (!IsWindow(log)) {
            return true;
        }
        if (SendMessageTimeoutA(log, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 200, &limit) &&
            limit == marker) {
            PostMessageA(log, EM_SETLIMITTEXT, 0, 0); // back to the system's largest limit
            return true;
        }
        Sleep(10);
    }
    return false;
}

HWND Main() {
    return FindMainWindow(0);
}

Answer Serve(const std::vector<std::string>& args) {
    const std::string& command = args[0];
    auto arg = [&args](size_t i) { return i < args.size() ? args[i] : std::string(); };

    if (command == "launch" || command == "spawn") {
        // launch EXE FOLDER: the installer; spawn EXE FOLDER: one more process.
        std::string line = "\"" + arg(1) + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        const std::string folder = arg(2);
        if (!CreateProcessA(arg(1).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
            return Fail("CreateProcess error " + std::to_string(GetLastError()));
        }
        CloseHandle(info.hThread);
        if (command == "launch") {
            installerProcess = info.hProcess;
            installerId = info.dwProcessId;
        } else {
            CloseHandle(info.hProcess);
        }
        return Ok({std::to_string(info.dwProcessId)});
    }
    if (command == "mutex") {
        CreateMutexA(nullptr, FALSE, arg(1).c_str()); // held until the driver ends
        return Ok();
    }
    if (command == "own-window" || command == "shows") {
        // own-window TITLE: the other instance's window; shows: what was done to it.
        if (command == "own-window") {
            ownWindows[0].title = arg(1);
            OnOwnThread(kCreateOwnWindow, 0);
        }
        return Ok({ownWindows[0].shows});
    }
    if (command == "running") {
        DWORD code = 0;
        if (installerProcess != nullptr) {
            GetExitCodeProcess(installerProcess, &code);
        }
        return Ok({Running() ? "1" : "0", std::to_string(code)});
    }
    if (command == "wait-exit") {
        if (installerProcess != nullptr) {
            WaitForSingleObject(installerProcess, static_cast<DWORD>(std::atoi(arg(1).c_str())));
        }
        return Ok({Running() ? "1" : "0"});
    }
    if (command == "dialogs") {
        // Each shown dialog of the installer: handle, kind, title, text, buttons.
        std::vector<std::string> fields;
        for (HWND d : TopWindows("#32770", true)) {
            const bool chooser = HasChildOfClass(d, "SysTreeView32") ||
                                 HasChildOfClass(d, "SHBrowseForFolder ShellNameSpace Control");
            std::string buttons;
            for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
                if (GetDlgItem(d, id) != nullptr) {
                    buttons += id == IDOK       ? "Ok "
                               : id == IDCANCEL ? "Cancel "
                               : id == IDYES    ? "Yes "
                                                : "No ";
                }
            }
            fields.push_back(std::to_string(reinterpret_cast<uintptr_t>(d)));
            fields.push_back(chooser ? "folder" : "box");
            fields.push_back(Text(d));
            fields.push_back(chooser ? "" : BoxText(d));
            fields.push_back(buttons);
        }
        return Ok(fields);
    }
    if (command == "answer") {
        // answer HWND Ok|Yes|No|Cancel
        HWND d = reinterpret_cast<HWND>(std::strtoull(arg(1).c_str(), nullptr, 10));
        const std::string b = arg(2);
        const int id = b == "Yes" ? IDYES : b == "No" ? IDNO : b == "Cancel" ? IDCANCEL : IDOK;
        HWND button = GetDlgItem(d, id);
        if (!IsWindow(d) || button == nullptr) {
            return Fail("no button " + b);
        }
        PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return Ok();
    }
    if (command == "folder") {
        // folder HWND PATH: the chooser selects PATH, then OK.
        HWND d = reinterpret_cast<HWND>(std::strtoull(arg(1).c_str(), nullptr, 10));
        const std::string path = arg(2);
        const std::wstring widePath = Wide(path);
        const size_t bytes = (widePath.size() + 1) * sizeof(wchar_t);
        RemoteBuffer remote(d, bytes);
        if (!remote.Ok() || !remote.Write(0, widePath.c_str(), bytes)) {
            return Fail("no memory in the chooser's process");
        }
        DWORD_PTR result = 0;
        SendMessageTimeoutW(d, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote.At(0)),
                            SMTO_NORMAL, 3000, &result);
        Sleep(200);
        // The chooser of some systems leaves the selection alone: then go down its tree as a
        // user does, opening "(C:)" and each folder of the path in turn.
        std::string selected;
        if (HWND tree = FindWindowExA(d, nullptr, "SysTreeView32", nullptr)) {
            selected = SelectTreePath(tree, path);
        }
        PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(d, IDOK)));
        return Ok({selected, std::to_string(result)});
    }
    if (command == "menu") {
        // Whether a context menu is shown, and its item count.
        for (HWND m : TopWindows("#32768", true)) {
            HMENU menu = reinterpret_cast<HMENU>(SendMessageA(m, MN_GETHMENU, 0, 0));
            return Ok({"1", std::to_string(menu != nullptr ? GetMenuItemCount(menu) : -1)});
        }
        return Ok({"0"});
    }
    if (command == "key") {
        std::vector<WORD> held;
        WORD vk = 0;
        if (!ParseKeys(arg(1), held, vk)) {
            return Fail("unknown key " + arg(1));
        }
        // To the installer's active window: the main window, or its box or menu.
        HWND main = Main();
        HWND foreground = GetForegroundWindow();
        if (main != nullptr && (foreground == nullptr || !Installers(foreground))) {
            SetForegroundWindow(main);
            Sleep(50);
        }
        SendKeys(held, vk);
        Sleep(150);
        if (main != nullptr) {
            Settle(main);
        }
        return Ok();
    }
    if (command == "wait-window") {
        for (int waited = 0; waited < std::atoi(arg(1).c_str()); waited += 50) {
            if (FindMainWindow(0) != nullptr) {
                return Ok({"1"});
            }
            if (installerProcess != nullptr && !Running()) {
                break;
            }
            if (!TopWindows("#32770", true).empty()) {
                break;
            }
            Sleep(50);
        }
        return Ok({FindMainWindow(0) != nullptr ? "1" : "0"});
    }

    HWND main = Main();
    if (main == nullptr) {
        return Fail("no installer window");
    }
    if (command == "settle") {
        return Settle(main) ? Ok() : Fail("the installer does not answer");
    }
    if (command == "title") {
        return Ok({Text(main)});
    }
    if (command == "rect") {
        // The window's frame on the screen: left top width height.
        RECT r{};
        GetWindowRect(main, &r);
        return Ok({std::to_string(r.left), std::to_string(r.top), std::to_string(r.right - r.left),
                   std::to_string(r.bottom - r.top)});
    }
    if (command == "page") {
        std::string shown;
        for (int page : ctl::kPages) {
            HWND panel = ControlByNumber(main, page);
            if (panel != nullptr && IsWindowVisible(panel)) {
                shown += (shown.empty() ? "" : " ") + std::to_string(page);
            }
        }
        return Ok({shown});
    }
    if (command == "focus") {
        return Ok({std::to_string(FocusedNumber(main))});
    }
    if (command == "close") {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return Ok();
    }
    if (command == "rightclick") {
        // A right-button press in the middle of the window, as the mouse gives it.
        const LPARAM where = MAKELPARAM(kClientWidth / 2, kClientHeight - 20);
        PostMessageA(main, WM_RBUTTONDOWN, MK_RBUTTON, where);
        PostMessageA(main, WM_RBUTTONUP, 0, where);
        Settle(main);
        return Ok();
    }
    if (command == "switch-away") {
        ownWindows[1].title = "Vuni driver";
        OnOwnThread(kCreateOwnWindow, 1);
        OnOwnThread(kBringOwnWindow, 1);
        Sleep(100);
        Settle(main);
        return Ok({GetForegroundWindow() == ownWindows[1].window ? "1" : "0"});
    }
    if (command == "switch-back") {
        SetForegroundWindow(main);
        Sleep(100);
        Settle(main);
        return Ok({GetForegroundWindow() == main ? "1" : "0"});
    }
    if (command == "access") {
        std::vector<std::string> lines;
        Access(main, lines);
        return Ok(lines);
    }
    if (command == "rows") {
        HWND list = ControlByNumber(main, ctl::kFileList);
        return list == nullptr ? Fail("no file list") : Ok(Rows(list));
    }
    if (command == "row") {
        // row check|uncheck|select TEXTSTART
        HWND list = ControlByNumber(main, ctl::kFileList);
        if (list == nullptr) {
            return Fail("no file list");
        }
        const std::vector<std::string> rows = Rows(list);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].compare(4, arg(2).size(), arg(2)) != 0) {
                continue;
            }
            const int row = static_cast<int>(i);
            if (arg(1) == "select") {
                SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            } else {
                SetRowState(list, row, INDEXTOSTATEIMAGEMASK(arg(1) == "check" ? 2 : 1),
                            LVIS_STATEIMAGEMASK);
            }
            Settle(main);
            return Ok();
        }
        return Fail("no row " + arg(2));
    }

    HWND control = ControlByNumber(main, std::atoi(arg(1).c_str()));
    if (control == nullptr) {
        return Fail("no control " + arg(1));
    }
    if (command == "text") {
        return Ok({Text(control)});
    }
    if (command == "state") {
        // visible enabled checked, as 0/1 each; visible counts the panel it is on.
        const bool visible = IsWindowVisible(control) != FALSE;
        const bool enabled = IsWindowEnabled(control) != FALSE;
        const bool checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        return Ok({visible ? "1" : "0", enabled ? "1" : "0",
                   ClassOf(control) == "Button" && checked ? "1" : "0"});
    }
    if (command == "items") {
        std::vector<std::string> items;
        const auto count = static_cast<int>(SendMessageA(control, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            items.push_back(ItemText(control, i));
        }
        return Ok(items);
    }
    if (command == "press") {
        // Posted: a box the click opens must not hold the driver.
        PostMessageA(control, BM_CLICK, 0, 0);
        Settle(main);
        return Ok();
    }
    if (command == "choose") {
        const std::string item = arg(2);
        const std::wstring wide = Wide(item);
        const LRESULT index = SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(wide.c_str()));
        if (index == CB_ERR) {
            std::string items;
            const auto count = static_cast<int>(SendMessageA(control, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                items += std::string(i ? ", " : "") + "\"" + ItemText(control, i) + "\"";
            }
            return Fail("no item \"" + item + "\" among " + items);
        }
        SendMessageA(control, CB_SETCURSEL, index, 0);
        // The notification a pick by the user sends to the panel, which passes it on.
        PostMessageA(GetParent(control), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
        Settle(main);
        return Ok();
    }
    if (command == "type") {
        // A single-line edit control sends EN_CHANGE to its parent on WM_SETTEXT itself.
        const std::string text = arg(2);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                            SMTO_NORMAL, 1000, &result);
        Settle(main);
        return Ok();
    }
    return Fail("unknown command " + command);
}

void Print(const Answer& answer) {
    std::string line = answer.ok ? "ok" : "err";
    for (const std::string& f : answer.fields) {
        line += "\t" + Escape(f);
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// One command a line, fields separated by tabs (\t, \n, \r and \\ escaped); one answer a
// line: "ok" or "err", then its fields the same way.
int ServeLoop() {
    char buffer[65536];
    while (std::fgets(buffer, sizeof(buffer), stdin) != nullptr) {
        std::string line = buffer;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        const std::vector<std::string> args = Split(line);
        if (args[0] == "quit") {
            break;
        }
        Print(Serve(args));
    }
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: vuni-driver check|tab|serve|COMMAND ARGS...\n");
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
    if (command == "serve") {
        return ServeLoop();
    }
    if (command == "check" || command == "tab") {
        HWND main = FindMainWindow(30000);
        if (main == nullptr) {
            Report(false, "the installer window is shown");
            return 1;
        }
        return command == "check" ? Check(main) : CheckTab(main);
    }
    // One command from a shell: its fields one a line, an error on the error output with
    // exit code 1. "wait" waits up to 30 s for the installer window.
    const bool wait = command == "wait";
    const std::vector<std::string> args = wait ? std::vector<std::string>{"wait-window", "30000"}
                                               : std::vector<std::string>(argv + 1, argv + argc);
    const Answer answer = Serve(args);
    if (!answer.ok) {
        std::fprintf(stderr, "%s\n", answer.fields.empty() ? "failed" : answer.fields[0].c_str());
        return 1;
    }
    if (wait) {
        return !answer.fields.empty() && answer.fields[0] == "1" ? 0 : 1;
    }
    for (const std::string& field : answer.fields) {
        std::printf("%s\n", field.c_str());
    }
    return 0;
}
