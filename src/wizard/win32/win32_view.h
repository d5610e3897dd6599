// The View over the real window: every call goes to the standard control of that number.
//
// Changes the program makes (texts, items, rows) are not reported back as control events:
// only what the user does reaches the wizard's handlers.
#pragma once

#include "wizard/view.h"
#include "wizard/win32/edit_line_sink.h"
#include "wizard/win32/main_window.h"

#include <windows.h>

namespace vuni {

class Win32View : public View {
public:
    explicit Win32View(MainWindow& window);

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
    int RowCount() const override;
    bool RowChecked(int row) const override;
    void SetRowChecked(int row, bool checked) override;
    int SelectedRow() const override;
    void SelectRow(int row) override;

    LineSink& LogBox() override { return logBox_; }
    // The log and progress boxes of the window as it is now: a view made before its window
    // was created writes nowhere until this is called.
    void AttachBoxes();
    LineSink& ProgressBox() override { return progressBox_; }
    // Hands the lines kept for the log and progress boxes to the boxes: those that can be
    // seen, or all of them. Called before the window waits for events and before anything
    // that lets the boxes be seen or read (a modal box, reading their text, their caret).
    void FlushBoxes(bool hiddenToo);
    void CaretToStart(int control) override;
    void SelectAllText(int control) override;

    void Focus(int control) override;
    int FocusedControl() const override { return window_.FocusedControl(); }

    void SetTitle(const std::string& title) override;
    void SetStatus(const std::string& text) override { window_.SetStatusText(text); }

    MessageAnswer ShowMessage(const std::string& title, const std::string& text,
                              MessageKind kind) override;
    std::optional<std::string> ChooseFolder(const std::string& title,
                                            const std::string& startFolder) override;
    int PopupContextMenu(const ContextMenuItems& items) override;

private:
    HWND Control(int number) const { return window_.Control(number); }
    // The box of that number, brought up to date, when it is the log or progress box.
    void FlushBox(int control) const;
    LRESULT Send(int control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    // Changes made while this is alive are the program's, not the user's.
    class Quiet {
    public:
        explicit Quiet(MainWindow& window) : window_(window) { window_.SuppressEvents(true); }
        ~Quiet() { window_.SuppressEvents(false); }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        MainWindow& window_;
    };

    MainWindow& window_;
    // Flushing changes the boxes' windows, not what the view holds: reading their text flushes.
    mutable EditLineSink logBox_;
    mutable EditLineSink progressBox_;
};

// Multi-line edit boxes break lines only at "\r\n": every lone "\n" or "\r" becomes one.
std::string ToEditLineBreaks(const std::string& text);

} // namespace vuni
