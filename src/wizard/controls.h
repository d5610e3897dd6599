// The numbers that name the main window's pages, controls, buttons and menu commands, and
// the table of controls the window is built from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vuni::ctl {

// Pages (panels), stacked at the same place; one is visible at a time.
constexpr int kPageWelcome = 6;
constexpr int kPageOperation = 71;
constexpr int kPageFolder = 62;
constexpr int kPageGroup = 80;
constexpr int kPageFiles = 84;
constexpr int kPageInstall = 96;
constexpr int kPageViewer = 101;
constexpr int kPageLog = 99;

// The eight panels in creation order.
constexpr int kPages[] = {kPageWelcome, kPageOperation, kPageFolder, kPageGroup,
                          kPageFiles,   kPageInstall,   kPageViewer, kPageLog};

// Welcome page.
constexpr int kWelcomeText = 7;
constexpr int kScriptLabel = 8;
constexpr int kScriptField = 9;
constexpr int kAuthorLabel = 10;
constexpr int kAuthorField = 11;
constexpr int kContactLabel = 12;
constexpr int kContactField = 13;
constexpr int kRecommendedLabel = 14;
constexpr int kRecommendedField = 15;
constexpr int kUpdateButton = 16;
constexpr int kAuthorSiteButton = 17;
constexpr int kApplicationSiteButton = 18;

// Operation page.
constexpr int kOperationHeading = 72;
constexpr int kOperationChooser = 73;
constexpr int kRestartCheckBox = 74;

// Folder page.
constexpr int kSharedCheckBox = 63;
constexpr int kFolderHeading = 64;
constexpr int kFolderChooser = 65;
constexpr int kLanguageLabel = 66;
constexpr int kLanguageChooser = 67;
constexpr int kFreeFolderLabel = 68;
constexpr int kFreeFolderField = 69;
constexpr int kBrowseButton = 70;

// Group page.
constexpr int kGroupExplanation = 81;
constexpr int kGroupLabel = 82;
constexpr int kGroupChooser = 83;

// Files page.
constexpr int kContextMenuButton = 85;
constexpr int kFilesHeading = 86;
constexpr int kFileList = 87;
constexpr int kAliasLabel = 90;
constexpr int kAliasField = 91;

// Install page.
constexpr int kProgressHeading = 97;
constexpr int kProgressBox = 98;

// Viewer page.
constexpr int kViewerCaption = 102;
constexpr int kViewerName = 103;
constexpr int kViewerBox = 104;

// Log page.
constexpr int kLogBox = 100;

// Window buttons below the pages.
constexpr int kHelpButton = 1;
constexpr int kNextButton = 2;
constexpr int kPreviousButton = 3;
constexpr int kCancelButton = 4;
constexpr int kRunButton = 5;

// ButtonMask bits given to ShowPage.
constexpr uint32_t kMaskCancel = 0x01;
constexpr uint32_t kMaskPrevious = 0x02;
constexpr uint32_t kMaskNext = 0x04;
constexpr uint32_t kMaskRun = 0x08;
constexpr uint32_t kMaskHelp = 0x10;

struct ButtonBit {
    int control;
    uint32_t bit;
};
// The window buttons in creation order with their mask bits.
constexpr ButtonBit kButtons[] = {{kRunButton, kMaskRun},
                                  {kNextButton, kMaskNext},
                                  {kHelpButton, kMaskHelp},
                                  {kPreviousButton, kMaskPrevious},
                                  {kCancelButton, kMaskCancel}};

// Context menu and its items.
constexpr int kContextMenu = 127;
constexpr int kMenuView = 128;
constexpr int kMenuCompile = 130;
constexpr int kMenuAssociation = 131;

// Commands raised by the keyboard shortcuts.
constexpr int kCmdLogPage = 117;     // Alt+F1
constexpr int kCmdPrevious = 118;    // Alt+P
constexpr int kCmdNext = 119;        // Alt+S, Enter
constexpr int kCmdHelp = 120;        // F1
constexpr int kCmdCheckAll = 123;    // Ctrl+A
constexpr int kCmdContextMenu = 124; // Applications key, Shift+F10

enum class ControlType {
    Panel,
    StaticLeft,
    StaticRight,
    StaticCentre,
    ReadOnlyField,       // single line, no border
    ReadOnlyFieldBorder, // single line, with border
    EditField,           // single line, editable
    DropDown,
    CheckBox,
    Button,
    FileList, // report list, one column, a check box per row, single selection
    TextBox,  // multi-line, read-only, scrolling
};

// One control of the window. Places are relative to the panel (the window for panels and
// window buttons); parent 0 is the window itself.
struct ControlSpec {
    int number;
    int parent;
    ControlType type;
    const char* text;
    int x, y, width, height;
};

// Every control in creation order (panels each followed by their controls, then the window
// buttons); the keyboard tab order is this order.
std::span<const ControlSpec> ControlTable();
const ControlSpec* FindControl(int number);

// The panel a control belongs to, 0 for the window buttons and for unknown numbers.
int PanelOf(int number);
bool IsWizardPage(int page);     // the six pages that PageInUse may name
bool IsMultiLineBox(int number); // the progress, viewer and log boxes

// Controls that the window names for assistive tools after the label shown just before them,
// kept in step with the label's text: the drop-down lists and the file list, which not every
// system names from their label by itself (some read a drop-down's selected item instead).
struct LabelledControl {
    int control;
    int label;
};
constexpr LabelledControl kLabelledControls[] = {{kOperationChooser, kOperationHeading},
                                                 {kFolderChooser, kFolderHeading},
                                                 {kLanguageChooser, kLanguageLabel},
                                                 {kGroupChooser, kGroupLabel},
                                                 {kFileList, kFilesHeading}};
// The log box's name, the text of a label made just before it and never shown: the page
// shows the box alone.
constexpr const char* kLogBoxName = "Journal technique";

// A label's text made what a screen reader says, in place; returns its new length. The "&"
// that marks a mnemonic goes ("&&" stands for one "&"), and so do trailing blanks and colons.
// Of any character type: the names given to assistive tools are UTF-16.
template <typename Char> size_t SpeakLabel(Char* text, size_t length) {
    size_t spoken = 0;
    for (size_t i = 0; i < length; ++i) {
        // The mark goes and the character after it stays.
        if (text[i] == '&' && ++i == length) {
            break;
        }
        text[spoken++] = text[i];
    }
    while (spoken > 0 && (text[spoken - 1] == ' ' || text[spoken - 1] == ':')) {
        --spoken;
    }
    return spoken;
}

// Window geometry.
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 480;
// The title of the file list's single column.
constexpr const char* kFileListColumn = "Résumé";
constexpr const char* kMenuViewText = "Visualiser";

} // namespace vuni::ctl
