#include "headless/headless_view.h"

#include "text/text.h"
#include "wizard/controls.h"

#include <algorithm>

namespace vuni {

HeadlessView::HeadlessView() {
    for (const ctl::ControlSpec& info : ctl::ControlTable()) {
        controls_[info.number].text = info.text;
    }
}

HeadlessView::ControlState& HeadlessView::Mutable(int control) {
    return controls_[control];
}

const HeadlessView::ControlState& HeadlessView::State(int control) const {
    static const ControlState kMissing;
    const auto it = controls_.find(control);
    return it == controls_.end() ? kMissing : it->second;
}

std::string HeadlessView::Text(int control) const {
    if (control == ctl::kProgressBox) {
        return progress_.Text();
    }
    if (control == ctl::kLogBox) {
        return log_.Text();
    }
    const ControlState& s = State(control);
    if (const ctl::ControlSpec* info = ctl::FindControl(control);
        info != nullptr && info->type == ctl::ControlType::DropDown) {
        if (s.selected >= 0 && static_cast<size_t>(s.selected) < s.items.size()) {
            return s.items[static_cast<size_t>(s.selected)];
        }
        return "";
    }
    return s.text;
}

void HeadlessView::SetText(int control, const std::string& text) {
    Mutable(control).text = text;
}
void HeadlessView::SetVisible(int control, bool visible) {
    Mutable(control).visible = visible;
}
void HeadlessView::SetEnabled(int control, bool enabled) {
    Mutable(control).enabled = enabled;
}
bool HeadlessView::IsVisible(int control) const {
    return State(control).visible;
}
bool HeadlessView::IsEnabled(int control) const {
    return State(control).enabled;
}
bool HeadlessView::IsChecked(int control) const {
    return State(control).checked;
}
void HeadlessView::SetChecked(int control, bool checked) {
    Mutable(control).checked = checked;
}

void HeadlessView::ClearItems(int control) {
    ControlState& s = Mutable(control);
    s.items.clear();
    s.selected = -1;
}

void HeadlessView::AddItem(int control, const std::string& text) {
    Mutable(control).items.push_back(text);
}

int HeadlessView::ItemCount(int control) const {
    return static_cast<int>(State(control).items.size());
}

int HeadlessView::SelectedItem(int control) const {
    return State(control).selected;
}

void HeadlessView::SelectItem(int control, int index) {
    ControlState& s = Mutable(control);
    s.selected = (index >= 0 && static_cast<size_t>(index) < s.items.size()) ? index : -1;
}

void HeadlessView::SetRows(const std::vector<ListRow>& rows) {
    rows_ = rows;
    selectedRow_ = -1;
}

bool HeadlessView::RowChecked(int row) const {
    return row >= 0 && static_cast<size_t>(row) < rows_.size() &&
           rows_[static_cast<size_t>(row)].checked;
}

void HeadlessView::SetRowChecked(int row, bool checked) {
    if (row >= 0 && static_cast<size_t>(row) < rows_.size()) {
        rows_[static_cast<size_t>(row)].checked = checked;
    }
}

void HeadlessView::SelectRow(int row) {
    selectedRow_ = (row >= 0 && static_cast<size_t>(row) < rows_.size()) ? row : -1;
}

void HeadlessView::Focus(int control) {
    focused_ = control;
    focusHistory_.push_back(control);
}

MessageAnswer HeadlessView::ShowMessage(const std::string& title, const std::string& text,
                                        MessageKind kind) {
    MessageAnswer answer = kind == MessageKind::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    messages_.push_back({title, text, kind, answer});
    return answer;
}

std::optional<std::string> HeadlessView::ChooseFolder(const std::string& title,
                                                      const std::string& startFolder) {
    folderRequests_.push_back({title, startFolder});
    if (folders_.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> picked = folders_.front();
    folders_.pop_front();
    if (picked) {
        *picked = EnsureTrailingBackslash(*picked);
    }
    return picked;
}

int HeadlessView::PopupContextMenu(const ContextMenuItems& items) {
    menus_.push_back(items);
    if (menuChoices_.empty()) {
        return 0;
    }
    const int command = menuChoices_.front();
    menuChoices_.pop_front();
    // A disabled item cannot be chosen.
    if ((command == ctl::kMenuCompile && !items.compileEnabled) ||
        (command == ctl::kMenuAssociation && !items.associationEnabled)) {
        return 0;
    }
    return command;
}

bool HeadlessView::IsShown(int control) const {
    if (!State(control).visible) {
        return false;
    }
    const int panel = ctl::PanelOf(control);
    return panel == 0 || State(panel).visible;
}

bool HeadlessView::Usable(int control) const {
    if (!IsShown(control) || !State(control).enabled) {
        return false;
    }
    const int panel = ctl::PanelOf(control);
    return panel == 0 || State(panel).enabled;
}

bool HeadlessView::Press(int control) {
    if (!Usable(control)) {
        return false;
    }
    if (const ctl::ControlSpec* info = ctl::FindControl(control);
        info != nullptr && info->type == ctl::ControlType::CheckBox) {
        Mutable(control).checked = !State(control).checked;
    }
    if (events_ != nullptr) {
        events_->OnControl(control, ControlEvent::Clicked);
    }
    return true;
}

bool HeadlessView::Pick(int control, const std::string& text) {
    if (!Usable(control)) {
        return false;
    }
    const std::vector<std::string>& items = State(control).items;
    const auto it = std::find(items.begin(), items.end(), text);
    if (it == items.end()) {
        return false;
    }
    Mutable(control).selected = static_cast<int>(it - items.begin());
    if (events_ != nullptr) {
        events_->OnControl(control, ControlEvent::Changed);
    }
    return true;
}

bool HeadlessView::Type(int control, const std::string& text) {
    if (!Usable(control)) {
        return false;
    }
    Mutable(control).text = text;
    if (events_ != nullptr) {
        events_->OnControl(control, ControlEvent::Changed);
    }
    return true;
}

bool HeadlessView::CheckRow(int row, bool checked) {
    if (!Usable(ctl::kFileList) || row < 0 || static_cast<size_t>(row) >= rows_.size()) {
        return false;
    }
    rows_[static_cast<size_t>(row)].checked = checked;
    if (events_ != nullptr) {
        events_->OnControl(ctl::kFileList, ControlEvent::RowChecked);
    }
    return true;
}

bool HeadlessView::ClickRow(int row) {
    if (!Usable(ctl::kFileList) || row < 0 || static_cast<size_t>(row) >= rows_.size()) {
        return false;
    }
    selectedRow_ = row;
    if (events_ != nullptr) {
        events_->OnControl(ctl::kFileList, ControlEvent::RowSelected);
    }
    return true;
}

void HeadlessView::UserFocus(int control) {
    Focus(control);
}

void HeadlessView::Shortcut(int command) {
    if (events_ != nullptr) {
        events_->OnMenu(command);
    }
}

void HeadlessView::RightClick() {
    if (events_ != nullptr) {
        events_->OnRightButton();
    }
}

void HeadlessView::Activate() {
    if (events_ != nullptr) {
        events_->OnActivated();
    }
}

void HeadlessView::Deactivate() {
    if (events_ != nullptr) {
        events_->OnDeactivated();
    }
    focused_ = 0;
}

void HeadlessView::Idle(int ticks) {
    for (int i = 0; i < ticks && events_ != nullptr; ++i) {
        events_->OnIdle();
    }
}

void HeadlessView::Close() {
    if (events_ != nullptr) {
        events_->OnCloseRequest();
    }
}

std::string HeadlessView::Snapshot() const {
    std::string out = "[" + title_ + "]\n";
    for (const ctl::ControlSpec& info : ctl::ControlTable()) {
        if (info.type == ctl::ControlType::Panel || !IsShown(info.number)) {
            continue;
        }
        const ControlState& s = State(info.number);
        out += Decimal(info.number);
        out += focused_ == info.number ? " * " : "   ";
        out += "\"" + Text(info.number) + "\"";
        if (!Usable(info.number)) {
            out += " (désactivé)";
        }
        if (info.type == ctl::ControlType::CheckBox) {
            out += s.checked ? " [x]" : " [ ]";
        }
        if (info.type == ctl::ControlType::DropDown) {
            out += " {";
            for (size_t i = 0; i < s.items.size(); ++i) {
                out += (i == 0 ? "" : " | ") + s.items[i];
            }
            out += "}";
        }
        out += "\n";
        if (info.type == ctl::ControlType::FileList) {
            for (size_t r = 0; r < rows_.size(); ++r) {
                out += static_cast<int>(r) == selectedRow_ ? "   > " : "     ";
                out += rows_[r].checked ? "[x] " : "[ ] ";
                out += rows_[r].text + "\n";
            }
        }
    }
    out += "<" + status_ + ">\n";
    return out;
}

} // namespace vuni
