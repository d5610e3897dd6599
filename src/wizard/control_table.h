// The main window's controls as data: one row per control, in creation order (which is also
// the keyboard tab order). The Win32 window creates its controls from this table, and the
// tests and the window checker compare the real window against it.
//
// Positions are relative to the row's parent: a page panel for the page controls, the main
// window's client area for the panels and the window buttons (parent 0).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vuni {

enum class ControlKind {
    Panel,         // a page container; Tab moves through its children
    Label,         // static text, left-aligned
    LabelRight,    // static text, right-aligned
    LabelCentred,  // static text, centred
    Field,         // read-only single-line field without border
    BorderField,   // read-only single-line field with border
    EditField,     // editable single-line field with border
    DropDown,      // drop-down list (no typing)
    CheckBox,      // automatic check box
    Button,        // push button
    DefaultButton, // the window's default push button
    FileList,      // report list, one column, a check box per row, single selection
    TextBox,       // multi-line read-only box, one line per line (no wrapping)
    WrapTextBox,   // multi-line read-only box with word wrapping
};

struct ControlRow {
    int number;
    int parent; // panel number, or 0 for the main window
    ControlKind kind;
    std::string_view text;
    int x, y, width, height;
};

// Client area of the main window.
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 480;
constexpr std::string_view kInitialTitle = "Vuni";
constexpr std::string_view kStatusText = "Vuni";
constexpr std::string_view kFileListColumn = "Résumé";
constexpr int kFileListColumnWidth = 580;

// clang-format off
inline constexpr ControlRow kControlRows[] = {
    // Welcome page
    {6, 0, ControlKind::Panel, "", 10, 10, 580, 415},
    {8, 6, ControlKind::LabelRight, "Script ", 0, 135, 145, 24},
    {9, 6, ControlKind::Field, "", 145, 135, 430, 24},
    {10, 6, ControlKind::LabelRight, "Auteur ", 0, 162, 145, 24},
    {11, 6, ControlKind::Field, "", 145, 162, 430, 24},
    {12, 6, ControlKind::LabelRight, "Contact ", 0, 189, 145, 24},
    {13, 6, ControlKind::Field, "", 145, 189, 430, 24},
    {14, 6, ControlKind::LabelRight, "Recommandé ", 0, 216, 145, 24},
    {15, 6, ControlKind::Field, "", 145, 216, 430, 24},
    {7, 6, ControlKind::LabelCentred, "", 0, 0, 580, 108},
    {17, 6, ControlKind::Button, "Site de l'auteur", 0, 307, 193, 27},
    {18, 6, ControlKind::Button, "Site de l'application", 387, 307, 193, 27},
    {16, 6, ControlKind::Button, "Vérifier si il existe une nouvelle version", 0, 361, 580, 27},
    // Operation page
    {71, 0, ControlKind::Panel, "", 10, 10, 580, 415},
    {72, 71, ControlKind::Label, "Sélectioner une action à réaliser : ", 0, 0, 580, 27},
    {73, 71, ControlKind::DropDown, "", 0, 27, 580, 24},
    {74, 71, ControlKind::CheckBox, "Redémarer Jaws en fin d'opération", 0, 81, 580, 27},
    // Folder page
    {62, 0, ControlKind::Panel, "", 10, 10, 580, 415},
    {63, 62, ControlKind::CheckBox,
     "Ajouter les dossier des \"paramètres partagés\" à la liste", 0, 0, 580, 27},
    {64, 62, ControlKind::Label, "", 0, 27, 580, 27},
    {65, 62, ControlKind::DropDown, "", 0, 54, 580, 24},
    {66, 62, ControlKind::Label, "Sélectionner la langue de jaws", 0, 81, 580, 27},
    {67, 62, ControlKind::DropDown, "", 0, 108, 580, 24},
    {68, 62, ControlKind::Label, "Choix du dossier : ", 0, 135, 580, 27},
    {69, 62, ControlKind::BorderField, "", 0, 162, 430, 24},
    {70, 62, ControlKind::Button, "Parcourir", 440, 162, 135, 24},
    // Group page
    {80, 0, ControlKind::Panel, "", 10, 10, 580, 415},
    {81, 80, ControlKind::Label,
     "Des différences de comportements et de fonctionnalitées obligent parfois l'auteur à "
     "concevoir des groupes de scripts spécifiques à des versions de JAWS.\nSi aucune version "
     "de groupe de script ne correspondent à la version de votre logiciel JAWS, vous pouvez "
     "essayé de sélectionner celle imédiatement inférieure.",
     0, 0, 580, 81},
    {82, 80, ControlKind::Label, "Sélectionner un groupe de fichier script pour :", 0, 108, 580,
     24},
    {83, 80, ControlKind::DropDown, "", 0, 135, 580, 24},
    // Files page
    {84, 0, ControlKind::Panel, "", 10, 10, 580, 415},
    {85, 84, ControlKind::Button, "Afficher menu contextuel", 145, 0, 290, 24},
    {86, 84, ControlKind::Label, "Liste des fichiers à installer", 0, 32, 580, 24},
    {87, 84, ControlKind::FileList, "", 0, 54, 580, 270},
    {90, 84, ControlKind::LabelRight, "Alias ", 0, 324, 290, 24},
    {91, 84, ControlKind::EditField, "", 290, 324, 290, 24},
    // Install page
    {96, 0, ControlKind::Panel, "", 10, 10, 580, 415},
    {97, 96, ControlKind::Label, "Déroulement des opérations : ", 0, 0, 580, 27},
    {98, 96, ControlKind::TextBox, "", 0, 27, 580, 361},
    // Viewer page
    {101, 0, ControlKind::Panel, "", 10, 10, 580, 415},
    {102, 101, ControlKind::LabelRight, "", 0, 0, 100, 27},
    {103, 101, ControlKind::BorderField, "", 100, 0, 480, 27},
    {104, 101, ControlKind::WrapTextBox, "", 0, 27, 580, 388},
    // Log page
    {99, 0, ControlKind::Panel, "", 10, 10, 580, 415},
    {100, 99, ControlKind::TextBox, "", 0, 0, 580, 388},
    // Window buttons, below the pages
    {5, 0, ControlKind::Button, "Installer", 480, 425, 110, 25},
    {2, 0, ControlKind::DefaultButton, "&Suivant", 480, 425, 110, 25},
    {1, 0, ControlKind::Button, "Aide", 10, 425, 110, 25},
    {3, 0, ControlKind::Button, "&Précédent", 330, 425, 110, 25},
    {4, 0, ControlKind::Button, "Annuler", 170, 425, 110, 25},
};
// clang-format on

constexpr std::span<const ControlRow> ControlRows() {
    return kControlRows;
}

// The row of a control number; nullptr when the window has no such control.
constexpr const ControlRow* FindControlRow(int number) {
    for (const ControlRow& row : kControlRows) {
        if (row.number == number) {
            return &row;
        }
    }
    return nullptr;
}

// The Win32 window class each kind is made of.
constexpr std::string_view ControlClassName(ControlKind kind) {
    switch (kind) {
    case ControlKind::Panel:
        return "VuniPage";
    case ControlKind::Label:
    case ControlKind::LabelRight:
    case ControlKind::LabelCentred:
        return "Static";
    case ControlKind::Field:
    case ControlKind::BorderField:
    case ControlKind::EditField:
    case ControlKind::TextBox:
    case ControlKind::WrapTextBox:
        return "Edit";
    case ControlKind::DropDown:
        return "ComboBox";
    case ControlKind::CheckBox:
    case ControlKind::Button:
    case ControlKind::DefaultButton:
        return "Button";
    case ControlKind::FileList:
        return "SysListView32";
    }
    return "";
}

// Window style bits (Win32 values; the window code checks them against <windows.h>).
namespace style {
constexpr uint32_t kTabStop = 0x00010000;    // WS_TABSTOP
constexpr uint32_t kVScroll = 0x00200000;    // WS_VSCROLL
constexpr uint32_t kHScroll = 0x00100000;    // WS_HSCROLL
constexpr uint32_t kStaticRight = 0x0002;    // SS_RIGHT
constexpr uint32_t kStaticCentre = 0x0001;   // SS_CENTER
constexpr uint32_t kStaticNoPrefix = 0x0080; // SS_NOPREFIX
constexpr uint32_t kEditMultiLine = 0x0004;  // ES_MULTILINE
constexpr uint32_t kEditAutoVScroll = 0x0040;
constexpr uint32_t kEditAutoHScroll = 0x0080;
constexpr uint32_t kEditReadOnly = 0x0800;
constexpr uint32_t kEditNoHideSel = 0x0100;
constexpr uint32_t kComboDropDownList = 0x0003; // CBS_DROPDOWNLIST
constexpr uint32_t kButtonPush = 0x0000;
constexpr uint32_t kButtonDefPush = 0x0001;
constexpr uint32_t kButtonAutoCheckBox = 0x0003;
constexpr uint32_t kListReport = 0x0001;        // LVS_REPORT
constexpr uint32_t kListSingleSel = 0x0004;     // LVS_SINGLESEL
constexpr uint32_t kListShowSelAlways = 0x0008; // LVS_SHOWSELALWAYS
} // namespace style

// The style bits a control of this kind carries besides WS_CHILD and WS_VISIBLE.
constexpr uint32_t ControlStyle(ControlKind kind) {
    using namespace style;
    switch (kind) {
    case ControlKind::Panel:
        return 0;
    case ControlKind::Label:
        return kStaticNoPrefix;
    case ControlKind::LabelRight:
        return kStaticNoPrefix | kStaticRight;
    case ControlKind::LabelCentred:
        return kStaticNoPrefix | kStaticCentre;
    case ControlKind::Field:
        return kTabStop | kEditReadOnly | kEditAutoHScroll;
    case ControlKind::BorderField:
        return kTabStop | kEditReadOnly | kEditAutoHScroll;
    case ControlKind::EditField:
        return kTabStop | kEditAutoHScroll;
    case ControlKind::DropDown:
        return kTabStop | kVScroll | kComboDropDownList;
    case ControlKind::CheckBox:
        return kTabStop | kButtonAutoCheckBox;
    case ControlKind::Button:
        return kTabStop | kButtonPush;
    case ControlKind::DefaultButton:
        return kTabStop | kButtonDefPush;
    case ControlKind::FileList:
        return kTabStop | kListReport | kListSingleSel | kListShowSelAlways;
    case ControlKind::TextBox:
        return kTabStop | kVScroll | kHScroll | kEditMultiLine | kEditReadOnly | kEditAutoVScroll |
               kEditAutoHScroll | kEditNoHideSel;
    case ControlKind::WrapTextBox:
        return kTabStop | kVScroll | kEditMultiLine | kEditReadOnly | kEditAutoVScroll |
               kEditNoHideSel;
    }
    return 0;
}

// Extended style bits: the sunken edge of fields, lists and boxes with a border.
constexpr uint32_t kClientEdge = 0x00000200; // WS_EX_CLIENTEDGE

constexpr uint32_t ControlExStyle(ControlKind kind) {
    switch (kind) {
    case ControlKind::BorderField:
    case ControlKind::EditField:
    case ControlKind::FileList:
    case ControlKind::TextBox:
    case ControlKind::WrapTextBox:
        return kClientEdge;
    default:
        return 0;
    }
}

// Height of a drop-down list's opened list, added to its closed height when it is created.
constexpr int kDropDownListHeight = 200;

// Context menu and its items.
constexpr int kContextMenu = 127;
constexpr int kMenuView = 128;
constexpr int kMenuCompile = 130;
constexpr int kMenuAssociation = 131;
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
    {kKeyF1, kNoModifier, 120},     {kKeyF1, kAlt, 117},    {'S', kAlt, 119},
    {kKeyReturn, kNoModifier, 119}, {'P', kAlt, 118},       {'A', kControl, 123},
    {kKeyApps, kNoModifier, 124},   {kKeyF10, kShift, 124},
};

// Fatal creation failures: an "Erreur" box with the message and the closing sentence.
constexpr std::string_view kFatalTitle = "Erreur";
constexpr std::string_view kFatalMainWindow = "Impossible de créer la fenêtre principale !";
constexpr std::string_view kFatalControl = "Impossible de créer le gadget !";
constexpr std::string_view kFatalContextMenu = "Impossible de créer le pop-up menu !";
constexpr std::string_view kFatalStatusBar = "Impossible d'initialiser la barre d'état !";
constexpr std::string_view kFatalSuffix = "\r\nLe programme doit être arrêté ...";

} // namespace vuni
