#include "installer_windows.h"

#include "wizard/controls.h"

#include <cstring>
#include <cwchar>
#include <iterator>

namespace vuni::driver {
namespace {

constexpr const char* kWindowClass = "VuniWindow";

HANDLE installerProcess = nullptr;
DWORD installerId = 0;

} // namespace

void SetInstallerProcess(HANDLE process, DWORD id) {
    installerProcess = process;
    installerId = id;
}

HANDLE InstallerProcess() {
    return installerProcess;
}

DWORD ProcessOf(HWND w) {
    DWORD id = 0;
    GetWindowThreadProcessId(w, &id);
    return id;
}

bool Installers(HWND w) {
    return installerId == 0 ? ProcessOf(w) != GetCurrentProcessId() : ProcessOf(w) == installerId;
}

namespace {
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

} // namespace

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
    // WM_GETTEXT rather than GetWindowText: the latter does not read other processes' controls.
    // The log and progress boxes may hold far more than any fixed buffer.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        return "";
    }
    std::vector<char> buffer(length + 1);
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

namespace {
BOOL CALLBACK CollectControl(HWND child, LPARAM data) {
    auto& map = *reinterpret_cast<std::map<int, Found>*>(data);
    const int id = GetDlgCtrlID(child);
    if (id != 0 && ctl::FindControl(id) != nullptr && !map.count(id)) {
        map[id] = {child, GetParent(child)};
    }
    return TRUE;
}

} // namespace

std::map<int, Found> Controls(HWND main) {
    std::map<int, Found> found;
    EnumChildWindows(main, CollectControl, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND ControlByNumber(HWND main, int number) {
    const std::map<int, Found> controls = Controls(main);
    auto it = controls.find(number);
    return it == controls.end() ? nullptr : it->second.window;
}

namespace {
HWND FocusedWindow(HWND main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

} // namespace

int FocusedNumber(HWND main) {
    for (HWND w = FocusedWindow(main); w != nullptr && w != main; w = GetParent(w)) {
        const int id = GetDlgCtrlID(w);
        if (ctl::FindControl(id) != nullptr && ControlByNumber(main, id) == w) {
            return id;
        }
    }
    return 0;
}

HWND Main() {
    return FindMainWindow(0);
}

} // namespace vuni::driver
