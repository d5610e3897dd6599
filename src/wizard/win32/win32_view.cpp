#include "wizard/win32/win32_view.h"

#include "text/text.h"
#include "wizard/controls.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

namespace vuni {
namespace {

bool IsMultiLineEdit(HWND control) {
    return (GetWindowLongPtrA(control, GWL_STYLE) & ES_MULTILINE) != 0 && [control] {
        char name[16] = {};
        GetClassNameA(control, name, sizeof(name));
        return lstrcmpiA(name, "Edit") == 0;
    }();
}

bool IsDropDown(HWND control) {
    char name[16] = {};
    GetClassNameA(control, name, sizeof(name));
    return lstrcmpiA(name, "ComboBox") == 0;
}

std::string WindowText(HWND control) {
    const int length = GetWindowTextLengthA(control);
    if (length <= 0) {
        return "";
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(control, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
    }
    return 0;
}

} // namespace

std::string ToEditLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

Win32View::Win32View(MainWindow& window)
    : window_(window), logBox_(window.Control(ctl::kLogBox)),
      progressBox_(window.Control(ctl::kProgressBox)) {}

void Win32View::AttachBoxes() {
    logBox_.Attach(window_.Control(ctl::kLogBox));
    progressBox_.Attach(window_.Control(ctl::kProgressBox));
}

void Win32View::FlushBoxes(bool hiddenToo) {
    for (EditLineSink* box : {&logBox_, &progressBox_}) {
        if (hiddenToo) {
            box->Flush();
        } else {
            box->FlushIfVisible();
        }
    }
}

void Win32View::FlushBox(int control) const {
    if (control == ctl::kLogBox) {
        logBox_.Flush();
    } else if (control == ctl::kProgressBox) {
        progressBox_.Flush();
    }
}

LRESULT Win32View::Send(int control, UINT message, WPARAM wParam, LPARAM lParam) const {
    HWND w = Control(control);
    return w == nullptr ? 0 : SendMessageA(w, message, wParam, lParam);
}

// ---- any control -------------------------------------------------------------------

std::string Win32View::Text(int control) const {
    FlushBox(control);
    HWND w = Control(control);
    if (w == nullptr) {
        return "";
    }
    if (IsDropDown(w)) {
        const LRESULT index = SendMessageA(w, CB_GETCURSEL, 0, 0);
        if (index < 0) {
            return "";
        }
        const LRESULT length = SendMessageA(w, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length <= 0) {
            return "";
        }
        std::string text(static_cast<size_t>(length) + 1, '\0');
        const LRESULT got = SendMessageA(w, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return text;
    }
    return WindowText(w);
}

void Win32View::SetText(int control, const std::string& text) {
    HWND w = Control(control);
    if (w == nullptr) {
        return;
    }
    Quiet quiet(window_);
    if (IsMultiLineEdit(w)) {
        SetWindowTextA(w, ToEditLineBreaks(text).c_str());
    } else {
        SetWindowTextA(w, text.c_str());
        window_.LabelChanged(control);
    }
}

void Win32View::SetVisible(int control, bool visible) {
    if (HWND w = Control(control)) {
        ShowWindow(w, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void Win32View::SetEnabled(int control, bool enabled) {
    if (HWND w = Control(control)) {
        EnableWindow(w, enabled ? TRUE : FALSE);
    }
}

bool Win32View::IsVisible(int control) const {
    HWND w = Control(control);
    return w != nullptr && (GetWindowLongPtrA(w, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Win32View::IsEnabled(int control) const {
    HWND w = Control(control);
    return w != nullptr && IsWindowEnabled(w);
}

// ---- check boxes -------------------------------------------------------------------

bool Win32View::IsChecked(int control) const {
    return Send(control, BM_GETCHECK) == BST_CHECKED;
}

void Win32View::SetChecked(int control, bool checked) {
    Quiet quiet(window_);
    Send(control, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

// ---- drop-down lists ---------------------------------------------------------------

void Win32View::ClearItems(int control) {
    Quiet quiet(window_);
    Send(control, CB_RESETCONTENT);
}

void Win32View::AddItem(int control, const std::string& text) {
    Quiet quiet(window_);
    Send(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int Win32View::ItemCount(int control) const {
    const LRESULT count = Send(control, CB_GETCOUNT);
    return count > 0 ? static_cast<int>(count) : 0;
}

int Win32View::SelectedItem(int control) const {
    return Control(control) == nullptr ? -1 : static_cast<int>(Send(control, CB_GETCURSEL));
}

void Win32View::SelectItem(int control, int index) {
    Quiet quiet(window_);
    Send(control, CB_SETCURSEL, static_cast<WPARAM>(index));
}

// ---- the file list -----------------------------------------------------------------

void Win32View::SetRows(const std::vector<ListRow>& rows) {
    HWND list = Control(ctl::kFileList);
    if (list == nullptr) {
        return;
    }
    Quiet quiet(window_);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < rows.size(); ++i) {
        std::string text = rows[i].text;
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = text.data();
        const LRESULT at = SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        if (at >= 0) {
            SetRowChecked(static_cast<int>(at), rows[i].checked);
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

int Win32View::RowCount() const {
    const LRESULT count = Send(ctl::kFileList, LVM_GETITEMCOUNT);
    return count > 0 ? static_cast<int>(count) : 0;
}

bool Win32View::RowChecked(int row) const {
    if (row < 0 || row >= RowCount()) {
        return false;
    }
    const LRESULT state =
        Send(ctl::kFileList, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return ((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void Win32View::SetRowChecked(int row, bool checked) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    Quiet quiet(window_);
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    Send(ctl::kFileList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
         reinterpret_cast<LPARAM>(&item));
}

int Win32View::SelectedRow() const {
    if (Control(ctl::kFileList) == nullptr) {
        return -1;
    }
    return static_cast<int>(
        Send(ctl::kFileList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Win32View::SelectRow(int row) {
    Quiet quiet(window_);
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    Send(ctl::kFileList, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
         reinterpret_cast<LPARAM>(&item));
    if (row >= 0 && row < RowCount()) {
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        Send(ctl::kFileList, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
             reinterpret_cast<LPARAM>(&item));
        Send(ctl::kFileList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    }
}

// ---- the multi-line boxes ----------------------------------------------------------

void Win32View::CaretToStart(int control) {
    FlushBox(control);
    Send(control, EM_SETSEL, 0, 0);
    Send(control, EM_SCROLLCARET);
}

void Win32View::SelectAllText(int control) {
    FlushBox(control);
    Send(control, EM_SETSEL, 0, -1);
}

// ---- focus and window --------------------------------------------------------------

void Win32View::Focus(int control) {
    if (HWND w = Control(control)) {
        SetFocus(w);
    }
}

void Win32View::SetTitle(const std::string& title) {
    SetWindowTextA(window_.Handle(), title.c_str());
}

// ---- modal interaction -------------------------------------------------------------

MessageAnswer Win32View::ShowMessage(const std::string& title, const std::string& text,
                                     MessageKind kind) {
    FlushBoxes(true);
    UINT flags = MB_OK | MB_ICONINFORMATION;
    switch (kind) {
    case MessageKind::Info:
        break;
    case MessageKind::YesNo:
        flags = MB_YESNO | MB_ICONQUESTION;
        break;
    case MessageKind::Error:
        flags = MB_OK | MB_ICONERROR;
        break;
    case MessageKind::Warning:
        flags = MB_OK | MB_ICONWARNING;
        break;
    }
    // A program the run started (the screen reader's stop and start programs, the compiler)
    // may hold the foreground: the box comes to the front with the focus on its button, so
    // that the screen reader reads it out. Windows grants the foreground to a process that
    // received the last input, which the installer did (the click or key that started the
    // run, or answered the box before); the run waits for the restarted screen reader to be
    // ready before its last box, so that this one is not taken away again afterwards.
    const int answer =
        MessageBoxA(window_.Handle(), text.c_str(), title.c_str(), flags | MB_SETFOREGROUND);
    if (kind == MessageKind::YesNo) {
        return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

std::optional<std::string> Win32View::ChooseFolder(const std::string& title,
                                                   const std::string& startFolder) {
    FlushBoxes(true);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // The chooser selects a folder given without its final "\" (a drive root keeps it).
    std::string start = startFolder;
    if (start.size() > 3) {
        start = StripTrailingBackslash(start);
    }
    BROWSEINFOA info{};
    info.hwndOwner = window_.Handle();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    std::optional<std::string> chosen;
    if (LPITEMIDLIST picked = SHBrowseForFolderA(&info)) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(picked, path) && path[0] != '\0') {
            chosen = EnsureTrailingBackslash(path);
        }
        CoTaskMemFree(picked);
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return chosen;
}

int Win32View::PopupContextMenu(const ContextMenuItems& items) {
    FlushBoxes(true);
    HMENU menu = window_.ContextMenu();
    if (menu == nullptr) {
        return 0;
    }
    ModifyMenuA(menu, ctl::kMenuCompile, MF_BYCOMMAND | MF_STRING, ctl::kMenuCompile,
                items.compileText.c_str());
    EnableMenuItem(menu, ctl::kMenuCompile,
                   MF_BYCOMMAND | (items.compileEnabled ? MF_ENABLED : MF_GRAYED));
    ModifyMenuA(menu, ctl::kMenuAssociation, MF_BYCOMMAND | MF_STRING, ctl::kMenuAssociation,
                items.associationText.c_str());
    EnableMenuItem(menu, ctl::kMenuAssociation,
                   MF_BYCOMMAND | (items.associationEnabled ? MF_ENABLED : MF_GRAYED));
    RECT frame{};
    GetWindowRect(window_.Handle(), &frame);
    SetForegroundWindow(window_.Handle());
    // Left- and top-aligned on the point, chosen with the left button: the defaults (0).
    const BOOL command = TrackPopupMenu(menu, TPM_RETURNCMD, frame.left + 10, frame.top + 10, 0,
                                        window_.Handle(), nullptr);
    PostMessageA(window_.Handle(), WM_NULL, 0, 0);
    return static_cast<int>(command);
}

} // namespace vuni
