// A View without a window: it records every control's state and everything shown, and lets
// a test (or a simulation tool) act as the user.
#pragma once

#include "wizard/view.h"

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vuni {

class HeadlessView : public View {
public:
    struct ControlState {
        std::string text;
        bool visible = true;
        bool enabled = true;
        bool checked = false;
        std::vector<std::string> items;
        int selected = -1;
    };
    struct MessageRecord {
        std::string title;
        std::string text;
        MessageKind kind;
        MessageAnswer answer;
    };
    struct FolderRequest {
        std::string title;
        std::string startFolder;
    };

    // Every control of the window exists with its creation text, visible and enabled.
    HeadlessView();

    // ---- View
    std::string Text(int control) const override;
    void SetText(int control, const std::string& text) override;
    void SetVisible(int control, bool visible) override;
    void SetEnabled(int control, bool enabled) override;
    bool IsVisible(int control) const override;
    bool IsEnabled(int control) const override;
    bool IsChecked(int control) const override;
    void SetChecked(int control, bool checked) override;
    void ClearItems(int control) override;
    void AddItem(int control, const std::string& text) override;
    int ItemCount(int control) const override;
    int SelectedItem(int control) const override;
    void SelectItem(int control, int index) override;
    void SetRows(const std::vector<ListRow>& rows) override;
    int RowCount() const override { return static_cast<int>(rows_.size()); }
    bool RowChecked(int row) const override;
    void SetRowChecked(int row, bool checked) override;
    int SelectedRow() const override { return selectedRow_; }
    void SelectRow(int row) override;
    LineSink& LogBox() override { return log_; }
    LineSink& ProgressBox() override { return progress_; }
    void CaretToStart(int control) override { caretToStart_.push_back(control); }
    void SelectAllText(int control) override { selectAll_.push_back(control); }
    void Focus(int control) override;
    int FocusedControl() const override { return focused_; }
    void SetTitle(const std::string& title) override { title_ = title; }
    void SetStatus(const std::string& text) override { status_ = text; }
    MessageAnswer ShowMessage(const std::string& title, const std::string& text,
                              MessageKind kind) override;
    std::optional<std::string> ChooseFolder(const std::string& title,
                                            const std::string& startFolder) override;
    int PopupContextMenu(const ContextMenuItems& items) override;

    // ---- what was recorded
    const ControlState& State(int control) const;
    // Visible itself and on a visible panel (window buttons have no panel).
    bool IsShown(int control) const;
    const std::vector<std::string>& Items(int control) const { return State(control).items; }
    const std::vector<ListRow>& Rows() const { return rows_; }
    const MemoryLineSink& LogLines() const { return log_; }
    const MemoryLineSink& ProgressLines() const { return progress_; }
    const std::string& Title() const { return title_; }
    const std::string& Status() const { return status_; }
    // Every control focused, in order, by the program or by the user.
    const std::vector<int>& FocusHistory() const { return focusHistory_; }
    const std::vector<MessageRecord>& Messages() const { return messages_; }
    const std::vector<FolderRequest>& FolderRequests() const { return folderRequests_; }
    const std::vector<ContextMenuItems>& Menus() const { return menus_; }
    const std::vector<int>& SelectAllRequests() const { return selectAll_; }
    const std::vector<int>& CaretRequests() const { return caretToStart_; }
    // The window as a reader would meet it: title, then every shown control in tab order
    // with its number, text, state and items, then the file rows and the status bar.
    std::string Snapshot() const;

    // ---- acting as the user; each reports the event to the attached ViewEvents
    void Attach(ViewEvents* events) { events_ = events; }
    // Presses a button or check box (a check box flips first); false, and nothing happens,
    // when the control is not shown or not enabled.
    bool Press(int control);
    // Picks a drop-down item by its text; false when there is no such item or the chooser
    // is not shown and enabled.
    bool Pick(int control, const std::string& text);
    // Types into an editable field, replacing its text.
    bool Type(int control, const std::string& text);
    bool CheckRow(int row, bool checked);
    bool ClickRow(int row);
    // Moves the focus as the Tab key would.
    void UserFocus(int control);
    void Shortcut(int command);
    void RightClick();
    void Activate();
    // The window loses activation: the focus leaves it.
    void Deactivate();
    void Idle(int ticks);
    void Close();

    // Answers for the next message boxes; when none is queued, Ok (or No for Yes/No).
    void QueueAnswer(MessageAnswer answer) { answers_.push_back(answer); }
    // The next folder chooser picks this path (nothing: cancel); cancel when none queued.
    void QueueFolder(std::optional<std::string> path) { folders_.push_back(std::move(path)); }
    // The next context menu chooses this command (0: none); none when nothing is queued.
    void QueueMenuChoice(int command) { menuChoices_.push_back(command); }

private:
    ControlState& Mutable(int control);
    bool Usable(int control) const;

    std::map<int, ControlState> controls_;
    std::vector<ListRow> rows_;
    int selectedRow_ = -1;
    MemoryLineSink log_;
    MemoryLineSink progress_;
    std::vector<int> caretToStart_;
    std::vector<int> selectAll_;
    int focused_ = 0;
    std::vector<int> focusHistory_;
    std::string title_ = "Vuni";
    std::string status_;
    std::vector<MessageRecord> messages_;
    std::deque<MessageAnswer> answers_;
    std::vector<FolderRequest> folderRequests_;
    std::deque<std::optional<std::string>> folders_;
    std::vector<ContextMenuItems> menus_;
    std::deque<int> menuChoices_;
    ViewEvents* events_ = nullptr;
};

} // namespace vuni
