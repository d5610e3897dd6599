// View: what the wizard needs of its window. Controls are known by the numbers of
// wizard/controls.h; pages (panels) are controls too, so showing a page is made of the
// visible and enabled calls below (the pages layer does it, the window stays thin).
#pragma once

#include "log/log.h"
#include "log/message_box.h"

#include <optional>
#include <string>
#include <vector>

namespace vuni {

// One row of the file list as the window shows it.
struct ListRow {
    std::string text;
    bool checked = true;
};

// The texts and states of the context menu's compile and association items, set just
// before the menu pops up. The "Visualiser" item is always enabled.
struct ContextMenuItems {
    std::string compileText;
    bool compileEnabled = false;
    std::string associationText;
    bool associationEnabled = false;
};

// What the user did to a control, as the window reports it to the control handler.
enum class ControlEvent {
    Clicked,    // a button or check box was pressed
    Changed,    // an edit field's text or a drop-down's selection changed
    RowChecked, // a file-list row's check box changed
    RowSelected,
};

// The wizard's side of the window: the window (or a test) calls these.
class ViewEvents {
public:
    virtual ~ViewEvents() = default;
    virtual void OnControl(int control, ControlEvent event) = 0;
    virtual void OnMenu(int command) = 0;
    virtual void OnRightButton() = 0;
    virtual void OnActivated() = 0;
    virtual void OnDeactivated() = 0;
    virtual void OnIdle() = 0;
    virtual void OnCloseRequest() = 0;
};

class View {
public:
    virtual ~View() = default;

    // ---- any control (pages included)
    // A drop-down's text is its selected item's text ("" with none selected).
    virtual std::string Text(int control) const = 0;
    virtual void SetText(int control, const std::string& text) = 0;
    virtual void SetVisible(int control, bool visible) = 0;
    virtual void SetEnabled(int control, bool enabled) = 0;
    virtual bool IsVisible(int control) const = 0;
    virtual bool IsEnabled(int control) const = 0;

    // ---- check boxes
    virtual bool IsChecked(int control) const = 0;
    virtual void SetChecked(int control, bool checked) = 0;

    // ---- drop-down lists
    virtual void ClearItems(int control) = 0;
    virtual void AddItem(int control, const std::string& text) = 0;
    virtual int ItemCount(int control) const = 0;
    // -1 when no item is selected.
    virtual int SelectedItem(int control) const = 0;
    // -1 clears the selection.
    virtual void SelectItem(int control, int index) = 0;

    // ---- the file list (control 87)
    virtual void SetRows(const std::vector<ListRow>& rows) = 0;
    virtual int RowCount() const = 0;
    virtual bool RowChecked(int row) const = 0;
    virtual void SetRowChecked(int row, bool checked) = 0;
    // -1 when no row is selected.
    virtual int SelectedRow() const = 0;
    virtual void SelectRow(int row) = 0;

    // ---- the log box (100) and the operations progress box (98)
    virtual LineSink& LogBox() = 0;
    virtual LineSink& ProgressBox() = 0;
    // Puts the caret of a multi-line box at the start of its text.
    virtual void CaretToStart(int control) = 0;
    // Selects the whole text of a multi-line box.
    virtual void SelectAllText(int control) = 0;

    // ---- focus
    virtual void Focus(int control) = 0;
    // The control that has the keyboard focus, 0 when none of the wizard's has it.
    virtual int FocusedControl() const = 0;

    // ---- window
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetStatus(const std::string& text) = 0;

    // ---- modal interaction
    virtual MessageAnswer ShowMessage(const std::string& title, const std::string& text,
                                      MessageKind kind) = 0;
    // The folder the user picked, ending with "\", or nothing when cancelled.
    virtual std::optional<std::string> ChooseFolder(const std::string& title,
                                                    const std::string& startFolder) = 0;
    // Pops the context menu up; the chosen command number, or 0 when none was chosen.
    virtual int PopupContextMenu(const ContextMenuItems& items) = 0;
};

} // namespace vuni
