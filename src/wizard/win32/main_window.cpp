#include "wizard/win32/main_window.h"

#include "platform/win32/proc_address.h"
#include "wizard/control_style.h"

#include <iterator>
#include <oleacc.h>
#include <optional>

namespace vuni {
namespace {

// The portable table spells out the Win32 style values; they must be the system's own.
static_assert(style::kTabStop == WS_TABSTOP && style::kVScroll == WS_VSCROLL &&
              style::kHScroll == WS_HSCROLL);
static_assert(style::kStaticRight == SS_RIGHT && style::kStaticCentre == SS_CENTER &&
              style::kStaticNoPrefix == SS_NOPREFIX);
static_assert(style::kEditMultiLine == ES_MULTILINE && style::kEditAutoVScroll == ES_AUTOVSCROLL &&
              style::kEditAutoHScroll == ES_AUTOHSCROLL && style::kEditReadOnly == ES_READONLY &&
              style::kEditNoHideSel == ES_NOHIDESEL);
static_assert(style::kComboDropDownList == CBS_DROPDOWNLIST &&
              style::kButtonPush == BS_PUSHBUTTON && style::kButtonDefPush == BS_DEFPUSHBUTTON &&
              style::kButtonAutoCheckBox == BS_AUTOCHECKBOX);
static_assert(style::kListReport == LVS_REPORT && style::kListSingleSel == LVS_SINGLESEL &&
              style::kListShowSelAlways == LVS_SHOWSELALWAYS);
static_assert(style::kClientEdge == WS_EX_CLIENTEDGE);
static_assert(kKeyReturn == VK_RETURN && kKeyF1 == VK_F1 && kKeyF10 == VK_F10 &&
              kKeyApps == VK_APPS);

constexpr const char* kPanelClass = "VuniPage";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

// Panels pass their children's notifications on to the main window, where the handlers are.
LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return SendMessageA(GetAncestor(panel, GA_ROOT), message, wParam, lParam);
    default:
        return DefWindowProcA(panel, message, wParam, lParam);
    }
}

// Multi-line boxes are read-only: Tab and Enter must leave them for the dialog keys and the
// shortcuts rather than be taken as text.
// The reference data is the window's CommonControls.
LRESULT CALLBACK TextBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR data) {
    const auto* common = reinterpret_cast<const CommonControls*>(data);
    if (message == WM_NCDESTROY) {
        common->removeWindowSubclass(box, TextBoxProc, 0);
    }
    LRESULT result = common->defSubclassProc(box, message, wParam, lParam);
    if (message == WM_GETDLGCODE) {
        // DLGC_WANTMESSAGE is the same bit as DLGC_WANTALLKEYS.
        result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    }
    return result;
}

CommonControls LoadCommonControls() {
    CommonControls out;
    // Kept loaded for the program's life, as an imported library would be.
    const HMODULE library = LoadLibraryExA("comctl32.dll", nullptr, 0);
    out.initCommonControlsEx =
        ProcAddress<decltype(out.initCommonControlsEx)>(library, "InitCommonControlsEx");
    out.setWindowSubclass =
        ProcAddress<decltype(out.setWindowSubclass)>(library, "SetWindowSubclass");
    out.removeWindowSubclass =
        ProcAddress<decltype(out.removeWindowSubclass)>(library, "RemoveWindowSubclass");
    out.defSubclassProc = ProcAddress<decltype(out.defSubclassProc)>(library, "DefSubclassProc");
    return out;
}

bool RegisterPanelClass(HINSTANCE instance) {
    WNDCLASSEXA panel{};
    panel.cbSize = sizeof(panel);
    panel.lpfnWndProc = PanelProc;
    panel.hInstance = instance;
    panel.hCursor = LoadCursor(nullptr, IDC_ARROW);
    panel.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    panel.lpszClassName = kPanelClass;
    WNDCLASSEXA existing{};
    return GetClassInfoExA(instance, kPanelClass, &existing) || RegisterClassExA(&panel);
}

// The event a control's notification stands for; nothing for notifications the wizard
// does not handle.
std::optional<ControlEvent> EventOf(ctl::ControlType type, WORD code) {
    switch (type) {
    case ctl::ControlType::Button:
    case ctl::ControlType::CheckBox:
        return code == BN_CLICKED ? std::optional(ControlEvent::Clicked) : std::nullopt;
    case ctl::ControlType::EditField:
        return code == EN_CHANGE ? std::optional(ControlEvent::Changed) : std::nullopt;
    case ctl::ControlType::DropDown:
        return code == CBN_SELCHANGE ? std::optional(ControlEvent::Changed) : std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace

MainWindow::~MainWindow() {
    Destroy();
}

void MainWindow::Destroy() {
    if (names_ != nullptr) {
        for (const ctl::LabelledControl& pair : ctl::kLabelledControls) {
            names_->ClearHwndProps(Control(pair.control), static_cast<DWORD>(OBJID_CLIENT),
                                   CHILDID_SELF, &PROPID_ACC_NAME, 1);
        }
        names_->Release();
        names_ = nullptr;
    }
    if (comStarted_) {
        CoUninitialize();
        comStarted_ = false;
    }
    if (shortcuts_ != nullptr) {
        DestroyAcceleratorTable(shortcuts_);
        shortcuts_ = nullptr;
    }
    if (contextMenu_ != nullptr) {
        DestroyMenu(contextMenu_);
        contextMenu_ = nullptr;
    }
    if (window_ != nullptr) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        window_ = nullptr;
        statusBar_ = nullptr;
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
        font_ = nullptr;
    }
}

CreationFailure MainWindow::Create(HINSTANCE instance) {
    common_ = LoadCommonControls();
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);
    classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    // Without the library the controls cannot be made: that failure is reported below.
    if (common_.initCommonControlsEx != nullptr) {
        common_.initCommonControlsEx(&classes);
    }

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = LoadIcon(instance, MAKEINTRESOURCE(1));
    if (windowClass.hIcon == nullptr) {
        windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    }
    windowClass.lpszClassName = kWindowClass;
    WNDCLASSEXA existing{};
    if (!GetClassInfoExA(instance, kWindowClass, &existing) && !RegisterClassExA(&windowClass)) {
        return CreationFailure::MainWindow;
    }
    if (!RegisterPanelClass(instance)) {
        return CreationFailure::MainWindow;
    }

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const int x = work.left + ((work.right - work.left) - width) / 2;
    const int y = work.top + ((work.bottom - work.top) - height) / 2;

    window_ = CreateWindowExA(kWindowExStyle, kWindowClass, std::string(kInitialTitle).c_str(),
                              kWindowStyle, x < 0 ? 0 : x, y < 0 ? 0 : y, width, height, nullptr,
                              nullptr, instance, this);
    if (window_ == nullptr) {
        return CreationFailure::MainWindow;
    }

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        font_ = CreateFontIndirectA(&metrics.lfMessageFont);
    }

    if (!CreateControls(instance)) {
        return CreationFailure::Control;
    }

    statusBar_ =
        CreateWindowExA(0, STATUSCLASSNAMEA, std::string(kStatusText).c_str(),
                        WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_, nullptr, instance, nullptr);
    if (statusBar_ == nullptr) {
        return CreationFailure::StatusBar;
    }
    int parts[] = {-1};
    SendMessageA(statusBar_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    SetStatusText(std::string(kStatusText));
    ApplyFont();
    StartNaming();
    return CreationFailure::None;
}

void MainWindow::StartNaming() {
    // Apartment-threaded, as a thread with windows must be; kept for the window's life.
    comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    // Without the service (or COM) the controls keep the names the system finds itself.
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&names_)))) {
        names_ = nullptr;
        return;
    }
    for (const ctl::LabelledControl& pair : ctl::kLabelledControls) {
        LabelChanged(pair.label);
    }
}

void MainWindow::LabelChanged(int label) {
    const ctl::LabelledControl* pair = std::begin(ctl::kLabelledControls);
    while (pair->label != label) {
        if (++pair == std::end(ctl::kLabelledControls)) {
            return;
        }
    }
    if (names_ == nullptr) {
        return;
    }
    // The label's text as it is shown, read back as UTF-16; longer names are cut.
    wchar_t name[512];
    const int length = GetWindowTextW(Control(label), name, static_cast<int>(std::size(name)));
    name[ctl::SpeakLabel(name, static_cast<size_t>(length))] = L'\0';
    names_->SetHwndPropStr(Control(pair->control), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                           PROPID_ACC_NAME, name);
}

bool MainWindow::CreateControls(HINSTANCE instance) {
    for (const ctl::ControlSpec& row : ctl::ControlTable()) {
        HWND parent = row.parent == 0 ? window_ : Control(row.parent);
        if (parent == nullptr) {
            return false;
        }
        const std::string className(ControlClassName(row.type));
        DWORD style = WS_CHILD | WS_VISIBLE | ControlStyle(row);
        DWORD exStyle = ControlExStyle(row);
        int height = row.height;
        if (row.type == ctl::ControlType::Panel) {
            style = WS_CHILD | WS_CLIPSIBLINGS; // hidden until a page is shown
            exStyle |= WS_EX_CONTROLPARENT;
        } else if (row.type == ctl::ControlType::DropDown) {
            height += kDropDownListHeight;
        }
        // The log box's name: the system names a box after the static text made just before
        // it, shown or not, and the page shows the box alone.
        if (row.number == ctl::kLogBox &&
            CreateWindowExA(0, "Static", ctl::kLogBoxName, WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0,
                            parent, nullptr, instance, nullptr) == nullptr) {
            return false;
        }
        HWND control = CreateWindowExA(
            exStyle, className.c_str(), row.text, style, row.x, row.y, row.width, height, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.number)), instance, nullptr);
        if (control == nullptr) {
            return false;
        }
        switch (row.type) {
        case ctl::ControlType::FileList: {
            ListView_SetExtendedListViewStyle(control, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
            std::string title(kFileListColumn);
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = kFileListColumnWidth;
            column.pszText = title.data();
            if (SendMessageA(control, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)) <
                0) {
                return false;
            }
            break;
        }
        case ctl::ControlType::TextBox: {
            SendMessageA(control, EM_SETLIMITTEXT, 0, 0); // the system's largest limit
            if (common_.setWindowSubclass != nullptr && common_.removeWindowSubclass != nullptr &&
                common_.defSubclassProc != nullptr) {
                common_.setWindowSubclass(control, TextBoxProc, 0,
                                          reinterpret_cast<DWORD_PTR>(&common_));
            }
            break;
        }
        default:
            break;
        }
    }
    return true;
}

void MainWindow::ApplyFont() {
    HFONT font = font_ != nullptr ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (const ctl::ControlSpec& row : ctl::ControlTable()) {
        if (HWND control = Control(row.number)) {
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        }
    }
    SendMessageA(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // The closed height of a drop-down list follows its font; make it the table's height.
    for (const ctl::ControlSpec& row : ctl::ControlTable()) {
        if (row.type != ctl::ControlType::DropDown) {
            continue;
        }
        HWND combo = Control(row.number);
        // Systems differ in what the item height set counts, so adjust by what is measured.
        LRESULT asked = SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        for (int attempt = 0; attempt < 4 && asked > 0; ++attempt) {
            RECT now{};
            GetWindowRect(combo, &now);
            const LONG difference = row.height - (now.bottom - now.top);
            if (difference == 0 || asked + difference <= 0) {
                break;
            }
            asked += difference;
            SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), asked);
        }
    }
}

CreationFailure MainWindow::CreateMenuAndShortcuts() {
    contextMenu_ = CreatePopupMenu();
    if (contextMenu_ == nullptr ||
        !AppendMenuA(contextMenu_, MF_STRING, ctl::kMenuView, std::string(kMenuViewText).c_str()) ||
        !AppendMenuA(contextMenu_, MF_SEPARATOR, 0, nullptr) ||
        !AppendMenuA(contextMenu_, MF_STRING, ctl::kMenuCompile, "") ||
        !AppendMenuA(contextMenu_, MF_STRING, ctl::kMenuAssociation, "")) {
        return CreationFailure::ContextMenu;
    }
    ACCEL keys[std::size(kShortcutRows)];
    for (size_t i = 0; i < std::size(kShortcutRows); ++i) {
        const ShortcutRow& row = kShortcutRows[i];
        BYTE flags = FVIRTKEY;
        if (row.modifiers & kShift) {
            flags |= FSHIFT;
        }
        if (row.modifiers & kControl) {
            flags |= FCONTROL;
        }
        if (row.modifiers & kAlt) {
            flags |= FALT;
        }
        keys[i] = {flags, row.virtualKey, static_cast<WORD>(row.command)};
    }
    shortcuts_ = CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys)));
    // A missing shortcut table leaves the window usable with its buttons; it is not fatal.
    return CreationFailure::None;
}

HWND MainWindow::Control(int number) const {
    const ctl::ControlSpec* row = ctl::FindControl(number);
    if (row == nullptr || window_ == nullptr) {
        return nullptr;
    }
    HWND parent = row->parent == 0 ? window_ : Control(row->parent);
    return parent == nullptr ? nullptr : GetDlgItem(parent, number);
}

int MainWindow::ControlNumber(HWND control) const {
    if (control == nullptr || window_ == nullptr || !IsChild(window_, control)) {
        return 0;
    }
    const int number = GetDlgCtrlID(control);
    return Control(number) == control ? number : 0;
}

int MainWindow::FocusedControl() const {
    HWND focus = GetFocus();
    // The edit field of a drop-down list or a list view's header belong to their control.
    for (HWND w = focus; w != nullptr && w != window_; w = GetParent(w)) {
        if (const int number = ControlNumber(w)) {
            return number;
        }
    }
    return 0;
}

void MainWindow::SetStatusText(const std::string& text) {
    if (statusBar_ != nullptr) {
        SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* self = static_cast<MainWindow*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        HandleCommand(wParam, lParam);
        return 0;
    case WM_NOTIFY:
        HandleNotify(reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_CLOSE:
        if (events_ != nullptr) {
            events_->OnCloseRequest();
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (events_ != nullptr) {
                events_->OnDeactivated();
            }
        } else if (events_ != nullptr && !HIWORD(wParam)) {
            events_->OnActivated();
            if (ControlNumber(GetFocus()) != 0 || IsChild(window_, GetFocus())) {
                return 0; // the handler placed the focus on one of the controls
            }
        }
        break;
    case WM_SIZE:
        if (statusBar_ != nullptr) {
            SendMessageA(statusBar_, WM_SIZE, 0, 0);
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void MainWindow::HandleCommand(WPARAM wParam, LPARAM lParam) {
    if (events_ == nullptr) {
        return;
    }
    const int id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    if (lParam == 0) {
        events_->OnMenu(id); // code 0: a menu item, 1: a keyboard shortcut
        return;
    }
    const ctl::ControlSpec* row = ctl::FindControl(id);
    if (suppressed_ > 0 || row == nullptr || Control(id) != reinterpret_cast<HWND>(lParam)) {
        return;
    }
    if (const std::optional<ControlEvent> event = EventOf(row->type, code)) {
        events_->OnControl(id, *event);
    }
}

void MainWindow::HandleNotify(const NMHDR* header) {
    if (events_ == nullptr || header == nullptr || suppressed_ > 0) {
        return;
    }
    const int id = static_cast<int>(header->idFrom);
    const ctl::ControlSpec* row = ctl::FindControl(id);
    if (row == nullptr || row->type != ctl::ControlType::FileList ||
        Control(id) != header->hwndFrom || header->code != LVN_ITEMCHANGED) {
        return;
    }
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (!(change->uChanged & LVIF_STATE) || change->iItem < 0) {
        return;
    }
    const UINT changed = change->uOldState ^ change->uNewState;
    if (changed & LVIS_STATEIMAGEMASK) {
        events_->OnControl(id, ControlEvent::RowChecked);
    } else if ((changed & LVIS_SELECTED) && (change->uNewState & LVIS_SELECTED)) {
        events_->OnControl(id, ControlEvent::RowSelected);
    }
}

void ShowCreationFailure(CreationFailure failure) {
    if (failure == CreationFailure::None) {
        return;
    }
    const std::string text = CreationFailureText(failure);
    MessageBoxA(nullptr, text.c_str(), std::string(kFatalTitle).c_str(), MB_OK | MB_ICONERROR);
}

} // namespace vuni
