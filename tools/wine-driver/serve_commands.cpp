#include "serve_commands.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
// clang-format on

#include "accessibility.h"
#include "dialogs.h"
#include "focus_timeline.h"
#include "installer_windows.h"
#include "keys.h"
#include "own_window.h"
#include "remote_memory.h"
#include "wizard/control_style.h"
#include "wizard/controls.h"

#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace vuni::driver {
namespace {

bool Running() {
    const HANDLE process = InstallerProcess();
    return process != nullptr && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
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

HWND DialogArg(const Request& r) {
    return reinterpret_cast<HWND>(std::strtoull(r.Arg(1).c_str(), nullptr, 10));
}

// ---- the installer's process and the driver's own windows

// launch EXE FOLDER: the installer; spawn EXE FOLDER: one more process.
Answer Launch(const Request& r) {
    std::string line = "\"" + r.Arg(1) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const std::string folder = r.Arg(2);
    if (!CreateProcessA(r.Arg(1).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        return Fail("CreateProcess error " + std::to_string(GetLastError()));
    }
    CloseHandle(info.hThread);
    if (r.args[0] == "launch") {
        SetInstallerProcess(info.hProcess, info.dwProcessId);
    } else {
        CloseHandle(info.hProcess);
    }
    return Ok({std::to_string(info.dwProcessId)});
}

Answer Mutex(const Request& r) {
    CreateMutexA(nullptr, FALSE, r.Arg(1).c_str()); // held until the driver ends
    return Ok();
}

// own-window TITLE: the other instance's window; shows: what was done to it.
Answer OtherInstanceWindow(const Request& r) {
    if (r.args[0] == "own-window") {
        CreateOwnWindow(OwnWindowRole::OtherInstance, r.Arg(1));
    }
    return Ok({OwnWindowShows(OwnWindowRole::OtherInstance)});
}

Answer IsRunning(const Request&) {
    DWORD code = 0;
    if (InstallerProcess() != nullptr) {
        GetExitCodeProcess(InstallerProcess(), &code);
    }
    return Ok({Running() ? "1" : "0", std::to_string(code)});
}

Answer WaitExit(const Request& r) {
    if (InstallerProcess() != nullptr) {
        WaitForSingleObject(InstallerProcess(), static_cast<DWORD>(std::atoi(r.Arg(1).c_str())));
    }
    return Ok({Running() ? "1" : "0"});
}

Answer WaitWindow(const Request& r) {
    for (int waited = 0; waited < std::atoi(r.Arg(1).c_str()); waited += 50) {
        if (FindMainWindow(0) != nullptr) {
            return Ok({"1"});
        }
        if (InstallerProcess() != nullptr && !Running()) {
            break;
        }
        if (!TopWindows("#32770", true).empty()) {
            break;
        }
        Sleep(50);
    }
    return Ok({FindMainWindow(0) != nullptr ? "1" : "0"});
}

// ---- boxes, the folder chooser, the context menu, keys

// A box that a screen reader reads out: the foreground window, with the keyboard focus on
// one of its own controls (read through its thread, which works across processes).
bool HasTheUsersAttention(HWND box) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetForegroundWindow() == box &&
           GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) &&
           info.hwndFocus != nullptr && GetParent(info.hwndFocus) == box;
}

// Each shown dialog of the installer: handle, kind, title, text, buttons, and "active" when
// it has the user's attention ("inactive" otherwise).
Answer Dialogs(const Request&) {
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
        fields.push_back(HasTheUsersAttention(d) ? "active" : "inactive");
    }
    return Ok(fields);
}

// answer HWND Ok|Yes|No|Cancel
Answer AnswerBox(const Request& r) {
    HWND d = DialogArg(r);
    const std::string b = r.Arg(2);
    const int id = b == "Yes" ? IDYES : b == "No" ? IDNO : b == "Cancel" ? IDCANCEL : IDOK;
    HWND button = GetDlgItem(d, id);
    if (!IsWindow(d) || button == nullptr) {
        return Fail("no button " + b);
    }
    PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return Ok();
}

// folder HWND PATH: the chooser selects PATH, then OK.
Answer ChooseFolder(const Request& r) {
    HWND d = DialogArg(r);
    const std::string path = r.Arg(2);
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

// Whether a context menu is shown, and its item count.
Answer Menu(const Request&) {
    for (HWND m : TopWindows("#32768", true)) {
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(m, MN_GETHMENU, 0, 0));
        return Ok({"1", std::to_string(menu != nullptr ? GetMenuItemCount(menu) : -1)});
    }
    return Ok({"0"});
}

Answer Key(const Request& r) {
    std::vector<WORD> held;
    WORD vk = 0;
    if (!ParseKeys(r.Arg(1), held, vk)) {
        return Fail("unknown key " + r.Arg(1));
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

// ---- the main window

Answer SettleCommand(const Request& r) {
    return Settle(r.main) ? Ok() : Fail("the installer does not answer");
}

Answer Title(const Request& r) {
    return Ok({Text(r.main)});
}

// The window's frame on the screen: left top width height.
Answer WindowRect(const Request& r) {
    RECT rect{};
    GetWindowRect(r.main, &rect);
    return Ok({std::to_string(rect.left), std::to_string(rect.top),
               std::to_string(rect.right - rect.left), std::to_string(rect.bottom - rect.top)});
}

Answer Page(const Request& r) {
    std::string shown;
    for (int page : ctl::kPages) {
        HWND panel = ControlByNumber(r.main, page);
        if (panel != nullptr && IsWindowVisible(panel)) {
            shown += (shown.empty() ? "" : " ") + std::to_string(page);
        }
    }
    return Ok({shown});
}

Answer Focus(const Request& r) {
    return Ok({std::to_string(FocusedNumber(r.main))});
}

Answer Close(const Request& r) {
    PostMessageA(r.main, WM_CLOSE, 0, 0);
    return Ok();
}

// A right-button press in the middle of the window, as the mouse gives it.
Answer RightClick(const Request& r) {
    const LPARAM where = MAKELPARAM(kClientWidth / 2, kClientHeight - 20);
    PostMessageA(r.main, WM_RBUTTONDOWN, MK_RBUTTON, where);
    PostMessageA(r.main, WM_RBUTTONUP, 0, where);
    Settle(r.main);
    return Ok();
}

Answer SwitchAway(const Request& r) {
    CreateOwnWindow(OwnWindowRole::SwitchedTo, "Vuni driver");
    BringOwnWindow(OwnWindowRole::SwitchedTo);
    Sleep(100);
    Settle(r.main);
    return Ok({GetForegroundWindow() == OwnWindowHandle(OwnWindowRole::SwitchedTo) ? "1" : "0"});
}

Answer SwitchBack(const Request& r) {
    SetForegroundWindow(r.main);
    Sleep(100);
    Settle(r.main);
    return Ok({GetForegroundWindow() == r.main ? "1" : "0"});
}

Answer AccessCommand(const Request& r) {
    std::vector<std::string> lines;
    Access(r.main, lines);
    return Ok(lines);
}

// For each control that takes the focus: number, oleacc name, role, state, keyboard shortcut,
// structural name and window handle (accessibility.h).
Answer Names(const Request& r) {
    std::vector<std::string> fields;
    AccessibleFields(r.main, fields);
    return Ok(fields);
}

Answer FileRows(const Request& r) {
    HWND list = ControlByNumber(r.main, ctl::kFileList);
    return list == nullptr ? Fail("no file list") : Ok(Rows(list));
}

// row check|uncheck|select TEXTSTART
Answer Row(const Request& r) {
    HWND list = ControlByNumber(r.main, ctl::kFileList);
    if (list == nullptr) {
        return Fail("no file list");
    }
    const std::vector<std::string> rows = Rows(list);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].compare(4, r.Arg(2).size(), r.Arg(2)) != 0) {
            continue;
        }
        const int row = static_cast<int>(i);
        if (r.Arg(1) == "select") {
            SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        } else {
            SetRowState(list, row, INDEXTOSTATEIMAGEMASK(r.Arg(1) == "check" ? 2 : 1),
                        LVIS_STATEIMAGEMASK);
        }
        Settle(r.main);
        return Ok();
    }
    return Fail("no row " + r.Arg(2));
}

// ---- one control

Answer ControlText(const Request& r) {
    return Ok({Text(r.control)});
}

// visible enabled checked, as 0/1 each; visible counts the panel it is on.
Answer State(const Request& r) {
    const bool visible = IsWindowVisible(r.control) != FALSE;
    const bool enabled = IsWindowEnabled(r.control) != FALSE;
    const bool checked = SendMessageA(r.control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    return Ok({visible ? "1" : "0", enabled ? "1" : "0",
               ClassOf(r.control) == "Button" && checked ? "1" : "0"});
}

Answer Items(const Request& r) {
    std::vector<std::string> items;
    const auto count = static_cast<int>(SendMessageA(r.control, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        items.push_back(ItemText(r.control, i));
    }
    return Ok(items);
}

// Posted: a box the click opens must not hold the driver.
Answer Press(const Request& r) {
    PostMessageA(r.control, BM_CLICK, 0, 0);
    Settle(r.main);
    return Ok();
}

Answer Choose(const Request& r) {
    const std::string item = r.Arg(2);
    const std::wstring wide = Wide(item);
    const LRESULT index = SendMessageW(r.control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(wide.c_str()));
    if (index == CB_ERR) {
        std::string items;
        const auto count = static_cast<int>(SendMessageA(r.control, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            items += std::string(i ? ", " : "") + "\"" + ItemText(r.control, i) + "\"";
        }
        return Fail("no item \"" + item + "\" among " + items);
    }
    SendMessageA(r.control, CB_SETCURSEL, index, 0);
    // The notification a pick by the user sends to the panel, which passes it on.
    PostMessageA(GetParent(r.control), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(r.control), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(r.control));
    Settle(r.main);
    return Ok();
}

// A single-line edit control sends EN_CHANGE to its parent on WM_SETTEXT itself.
Answer Type(const Request& r) {
    const std::string text = r.Arg(2);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(r.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_NORMAL, 1000, &result);
    Settle(r.main);
    return Ok();
}

// ---- the focus timeline

Answer Timeline(const Request& r) {
    return TimelineCommand(std::strtoull(r.Arg(1).c_str(), nullptr, 10));
}

Answer Foreground(const Request&) {
    return ForegroundCommand();
}

constexpr ServeCommand kCommands[] = {
    {"launch", Needs::Nothing, Launch},
    {"spawn", Needs::Nothing, Launch},
    {"mutex", Needs::Nothing, Mutex},
    {"own-window", Needs::Nothing, OtherInstanceWindow},
    {"shows", Needs::Nothing, OtherInstanceWindow},
    {"running", Needs::Nothing, IsRunning},
    {"wait-exit", Needs::Nothing, WaitExit},
    {"dialogs", Needs::Nothing, Dialogs},
    {"answer", Needs::Nothing, AnswerBox},
    {"folder", Needs::Nothing, ChooseFolder},
    {"menu", Needs::Nothing, Menu},
    {"key", Needs::Nothing, Key},
    {"wait-window", Needs::Nothing, WaitWindow},
    {"timeline", Needs::Nothing, Timeline},
    {"foreground", Needs::Nothing, Foreground},
    {"settle", Needs::Window, SettleCommand},
    {"title", Needs::Window, Title},
    {"rect", Needs::Window, WindowRect},
    {"page", Needs::Window, Page},
    {"focus", Needs::Window, Focus},
    {"close", Needs::Window, Close},
    {"rightclick", Needs::Window, RightClick},
    {"switch-away", Needs::Window, SwitchAway},
    {"switch-back", Needs::Window, SwitchBack},
    {"access", Needs::Window, AccessCommand},
    {"names", Needs::Window, Names},
    {"rows", Needs::Window, FileRows},
    {"row", Needs::Window, Row},
    {"text", Needs::Control, ControlText},
    {"state", Needs::Control, State},
    {"items", Needs::Control, Items},
    {"press", Needs::Control, Press},
    {"choose", Needs::Control, Choose},
    {"type", Needs::Control, Type},
};

} // namespace

std::span<const ServeCommand> ServeCommands() {
    return kCommands;
}

} // namespace vuni::driver
