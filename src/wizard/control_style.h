// How the main window makes each control of the control table (wizard/controls.h): its
// Win32 window class and style bits, and the window's fixed texts, sizes, shortcuts and
// fatal messages. Portable, so that tests and the window checker can compare a real window
// against it.
#pragma once

#include "wizard/controls.h"

#include <cstdint>
#include <string_view>

namespace vuni {

// Client area of the main window.
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 480;
constexpr std::string_view kInitialTitle = "Vuni";
constexpr std::string_view kStatusText = "Vuni";
constexpr std::string_view kFileListColumn = "Résumé";
constexpr int kFileListColumnWidth = 580;

// The Win32 window class a control of this type is made of.
constexpr std::string_view ControlClassName(ctl::ControlType type) {
    using ctl::ControlType;
    switch (type) {
    case ControlType::Panel:
        return "VuniPage";
    case ControlType::StaticLeft:
    case ControlType::StaticRight:
    case ControlType::StaticCentre:
        return "Static";
    case ControlType::ReadOnlyField:
    case ControlType::ReadOnlyFieldBorder:
    case ControlType::EditField:
    case ControlType::TextBox:
        return "Edit";
    case ControlType::DropDown:
        return "ComboBox";
    case ControlType::CheckBox:
    case ControlType::Button:
        return "Button";
    case ControlType::FileList:
        return "SysListView32";
    }
    return "";
}

// Window style bits (Win32 values; the window code checks them against <windows.h>).
namespace style {
constexpr uint32_t kTabStop = 0x00010000;        // WS_TABSTOP
constexpr uint32_t kVScroll = 0x00200000;        // WS_VSCROLL
constexpr uint32_t kHScroll = 0x00100000;        // WS_HSCROLL
constexpr uint32_t kStaticRight = 0x0002;        // SS_RIGHT
constexpr uint32_t kStaticCentre = 0x0001;       // SS_CENTER
constexpr uint32_t kStaticNoPrefix = 0x0080;     // SS_NOPREFIX
constexpr uint32_t kEditMultiLine = 0x0004;      // ES_MULTILINE
constexpr uint32_t kEditAutoVScroll = 0x0040;    // ES_AUTOVSCROLL
constexpr uint32_t kEditAutoHScroll = 0x0080;    // ES_AUTOHSCROLL
constexpr uint32_t kEditNoHideSel = 0x0100;      // ES_NOHIDESEL
constexpr uint32_t kEditReadOnly = 0x0800;       // ES_READONLY
constexpr uint32_t kComboDropDownList = 0x0003;  // CBS_DROPDOWNLIST
constexpr uint32_t kButtonPush = 0x0000;         // BS_PUSHBUTTON
constexpr uint32_t kButtonDefPush = 0x0001;      // BS_DEFPUSHBUTTON
constexpr uint32_t kButtonAutoCheckBox = 0x0003; // BS_AUTOCHECKBOX
constexpr uint32_t kListReport = 0x0001;         // LVS_REPORT
constexpr uint32_t kListSingleSel = 0x0004;      // LVS_SINGLESEL
constexpr uint32_t kListShowSelAlways = 0x0008;  // LVS_SHOWSELALWAYS
constexpr uint32_t kClientEdge = 0x00000200;     // WS_EX_CLIENTEDGE (extended style)
} // namespace style

// The viewer box wraps its lines; the log and progress boxes keep one line per line, so
// that their line count is the count of lines written.
constexpr bool WrapsLines(int number) {
    return number == ctl::kViewerBox;
}

// The style bits a control carries besides WS_CHILD and WS_VISIBLE.
constexpr uint32_t ControlStyle(const ctl::ControlSpec& entry) {
    using namespace style;
    using ctl::ControlType;
    switch (entry.type) {
    case ControlType::Panel:
        return 0;
    case ControlType::StaticLeft:
        return kStaticNoPrefix;
    case ControlType::StaticRight:
        return kStaticNoPrefix | kStaticRight;
    case ControlType::StaticCentre:
        return kStaticNoPrefix | kStaticCentre;
    case ControlType::ReadOnlyField:
    case ControlType::ReadOnlyFieldBorder:
        return kTabStop | kEditReadOnly | kEditAutoHScroll;
    case ControlType::EditField:
        return kTabStop | kEditAutoHScroll;
    case ControlType::DropDown:
        return kTabStop | kVScroll | kComboDropDownList;
    case ControlType::CheckBox:
        return kTabStop | kButtonAutoCheckBox;
    case ControlType::Button:
        return kTabStop | (entry.number == ctl::kNextButton ? kButtonDefPush : kButtonPush);
    case ControlType::FileList:
        return kTabStop | kListReport | kListSingleSel | kListShowSelAlways;
    case ControlType::TextBox:
        return kTabStop | kVScroll | kEditMultiLine | kEditReadOnly | kEditAutoVScroll |
               kEditNoHideSel | (WrapsLines(entry.number) ? 0 : kHScroll | kEditAutoHScroll);
    }
    return 0;
}

// Extended style bits: the sunken edge of bordered fields, the list and the boxes.
constexpr uint32_t ControlExStyle(const ctl::ControlSpec& entry) {
    using ctl::ControlType;
    switch (entry.type) {
    case ControlType::ReadOnlyFieldBorder:
    case ControlType::EditField:
    case ControlType::FileList:
    case ControlType::TextBox:
        return style::kClientEdge;
    default:
        return 0;
    }
}

// Height of a drop-down list's opened list, added to its closed height when it is created.
constexpr int kDropDownListHeight = 200;

constexpr std::string_view kMenuViewText = "Visualiser";

// Keyboard shortcuts: virtual-key code, modifiers, command.
enum ShortcutModifier : uint8_t { kNoModifier = 0, kShift = 1, kControl = 2, kAlt = 4 };
struct ShortcutRow {
    uint16_t virtualKey;
    uint8_t modifiers;
    int command;
};
constexpr uint16_t kKeyReturn = 0x0D;
constexpr uint16_t kKeyF1 = 0x70;
constexpr uint16_t kKeyF10 = 0x79;
constexpr uint16_t kKeyApps = 0x5D;
inline constexpr ShortcutRow kShortcutRows[] = {
    {kKeyF1, kNoModifier, ctl::kCmdHelp},
    {kKeyF1, kAlt, ctl::kCmdLogPage},
    {'S', kAlt, ctl::kCmdNext},
    {kKeyReturn, kNoModifier, ctl::kCmdNext},
    {'P', kAlt, ctl::kCmdPrevious},
    {'A', kControl, ctl::kCmdCheckAll},
    {kKeyApps, kNoModifier, ctl::kCmdContextMenu},
    {kKeyF10, kShift, ctl::kCmdContextMenu},
};

// Fatal creation failures: an "Erreur" box with the message and the closing sentence.
constexpr std::string_view kFatalTitle = "Erreur";
constexpr std::string_view kFatalMainWindow = "Impossible de créer la fenêtre principale !";
constexpr std::string_view kFatalControl = "Impossible de créer le gadget !";
constexpr std::string_view kFatalContextMenu = "Impossible de créer le pop-up menu !";
constexpr std::string_view kFatalStatusBar = "Impossible d'initialiser la barre d'état !";
constexpr std::string_view kFatalSuffix = "\r\nLe programme doit être arrêté ...";

} // namespace vuni
