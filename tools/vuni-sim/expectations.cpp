// The "expect" lines of a scenario: one check of the window, the log or the files each, as
// docs/scenarios.md lists them.
#include "player_impl.h"
#include "text/text.h"
#include "wizard/controls.h"

#include <unistd.h>

namespace vuni::sim {
namespace fs = std::filesystem;

void Player::Expect(const ScenarioLine& line) {
    using Handler = void (Player::*)(const Expectation&);
    struct Kind {
        const char* what;
        Handler check;
    };
    static constexpr Kind kKinds[] = {
        {"exited", &Player::ExpectPhase},
        {"running", &Player::ExpectPhase},
        {"page", &Player::ExpectPage},
        {"text", &Player::ExpectText},
        {"text-contains", &Player::ExpectText},
        {"visible", &Player::ExpectShown},
        {"hidden", &Player::ExpectShown},
        {"enabled", &Player::ExpectEnabled},
        {"disabled", &Player::ExpectEnabled},
        {"checked", &Player::ExpectChecked},
        {"unchecked", &Player::ExpectChecked},
        {"items", &Player::ExpectItems},
        {"rows", &Player::ExpectRows},
        {"focus", &Player::ExpectFocus},
        {"focus-order", &Player::ExpectFocusOrder},
        {"title", &Player::ExpectTitle},
        {"message", &Player::ExpectMessage},
        {"no-message", &Player::ExpectNoMessage},
        {"log-contains", &Player::ExpectLineIn},
        {"progress-contains", &Player::ExpectLineIn},
        {"log-line", &Player::ExpectLogLine},
        {"file", &Player::ExpectFile},
        {"file-text", &Player::ExpectFile},
        {"file-contains", &Player::ExpectFile},
        {"no-file", &Player::ExpectNoFile},
        {"same-as-machine", &Player::ExpectSameAsMachine},
        {"window-restored", &Player::ExpectWindowRestored},
    };
    Expectation e{line, line.words[1], {line.words.begin() + 2, line.words.end()}};
    e.control = e.args.empty() ? 0 : ControlArg(e.args[0]);
    e.settle = std::exchange(settleNext_, false);
    for (const Kind& kind : kKinds) {
        if (e.what == kind.what) {
            (this->*kind.check)(e);
            return;
        }
    }
}

void Player::ExpectPhase(const Expectation& e) {
    if (e.what == "exited") {
        Check(e.line, phase_ == Phase::Ended, "the installer still runs");
    } else {
        Check(e.line, phase_ == Phase::Running, "the installer has ended");
    }
}

void Player::ExpectPage(const Expectation& e) {
    std::string shown;
    bool only = false;
    for (int p : ctl::kPages) {
        if (View().IsVisible(p)) {
            shown += (shown.empty() ? "page " : ", ") + std::to_string(p);
            only = shown == "page " + std::to_string(e.control);
        }
    }
    Check(e.line, only, shown.empty() ? "no page is shown" : shown + " shown");
}

void Player::ExpectText(const Expectation& e) {
    const std::string text = View().Text(e.control);
    const bool holds =
        e.what == "text" ? text == e.args[1] : text.find(e.args[1]) != std::string::npos;
    Check(e.line, holds, "the text is " + Quoted(text));
}

void Player::ExpectShown(const Expectation& e) {
    const bool shown = View().IsShown(e.control);
    Check(e.line, shown == (e.what == "visible"), shown ? "shown" : "not shown");
}

void Player::ExpectEnabled(const Expectation& e) {
    const bool enabled = View().IsEnabled(e.control);
    Check(e.line, enabled == (e.what == "enabled"), enabled ? "enabled" : "disabled");
}

void Player::ExpectChecked(const Expectation& e) {
    const bool checked = View().IsChecked(e.control);
    Check(e.line, checked == (e.what == "checked"), checked ? "checked" : "unchecked");
}

void Player::ExpectItems(const Expectation& e) {
    const std::vector<std::string>& items = View().Items(e.control);
    const std::vector<std::string> wanted(e.args.begin() + 1, e.args.end());
    std::string seen;
    for (const std::string& item : items) {
        seen += (seen.empty() ? "" : " | ") + Cp1252ToUtf8(item);
    }
    Check(e.line, items == wanted, "the items are {" + seen + "}");
}

// Each argument is the start of a row's text, "[x] " or "[ ] " first to check its box too.
void Player::ExpectRows(const Expectation& e) {
    const std::vector<ListRow>& rows = View().Rows();
    bool holds = rows.size() == e.args.size();
    std::string seen;
    for (size_t i = 0; i < rows.size(); ++i) {
        seen += (i == 0 ? "" : " | ") + std::string(rows[i].checked ? "[x] " : "[ ] ") +
                Cp1252ToUtf8(rows[i].text);
        if (i >= e.args.size()) {
            continue;
        }
        std::string start = e.args[i];
        if (StartsWith(start, "[x] ") || StartsWith(start, "[ ] ")) {
            holds = holds && rows[i].checked == (start[1] == 'x');
            start.erase(0, 4);
        }
        holds = holds && StartsWith(rows[i].text, start);
    }
    Check(e.line, holds, "the rows are {" + seen + "}");
}

void Player::ExpectFocus(const Expectation& e) {
    const int focused = View().FocusedControl();
    Check(e.line, focused == e.control,
          focused == 0 ? "no control has the focus" : "the focus is on " + std::to_string(focused));
}

// The controls focused since the last action (idle aside), one for each stay: the wanted
// ones in that order, others allowed between them, the last wanted one the last focused.
void Player::ExpectFocusOrder(const Expectation& e) {
    const std::vector<int>& history = View().FocusHistory();
    std::vector<int> path;
    for (size_t i = focusMark_; i < history.size(); ++i) {
        if (history[i] != 0 && (path.empty() || path.back() != history[i])) {
            path.push_back(history[i]);
        }
    }
    size_t found = 0;
    for (int control : path) {
        if (found < e.args.size() && control == ControlArg(e.args[found])) {
            ++found;
        }
    }
    std::string seen;
    for (int control : path) {
        seen += (seen.empty() ? "" : " ") + std::to_string(control);
    }
    Check(e.line,
          found == e.args.size() && !path.empty() && path.back() == ControlArg(e.args.back()),
          "the focus went to " + (seen.empty() ? std::string("no control") : seen));
}

void Player::ExpectTitle(const Expectation& e) {
    Check(e.line, View().Title() == e.args[0], "the title is " + Quoted(View().Title()));
}

// The next message box not yet expected.
void Player::ExpectMessage(const Expectation& e) {
    const std::vector<HeadlessView::MessageRecord>& messages = View().Messages();
    if (messagesExpected_ >= messages.size()) {
        Failed(e.line, "no other message box was shown");
        return;
    }
    const HeadlessView::MessageRecord& m = messages[messagesExpected_++];
    Check(e.line, m.title == e.args[0] && m.text == e.args[1],
          "the box was " + Quoted(m.title) + " " + Quoted(m.text));
}

void Player::ExpectNoMessage(const Expectation& e) {
    const std::vector<HeadlessView::MessageRecord>& messages = View().Messages();
    std::string seen;
    for (size_t i = messagesExpected_; i < messages.size(); ++i) {
        seen +=
            (seen.empty() ? "" : ", ") + Quoted(messages[i].title) + " " + Quoted(messages[i].text);
    }
    Check(e.line, seen.empty(), "boxes shown: " + seen);
    messagesExpected_ = messages.size();
}

// A line of the log or of the progress box holds the text.
void Player::ExpectLineIn(const Expectation& e) {
    const MemoryLineSink& sink =
        e.what == "log-contains" ? View().LogLines() : View().ProgressLines();
    bool found = false;
    for (const std::string& l : sink.Lines()) {
        found = found || l.find(e.args[0]) != std::string::npos;
    }
    Check(e.line, found, "no such line among " + std::to_string(sink.LineCount()));
}

void Player::ExpectLogLine(const Expectation& e) {
    const std::deque<std::string>& log = View().LogLines().Lines();
    const auto n = static_cast<size_t>(e.control);
    if (n > log.size()) {
        Failed(e.line, "the log has " + std::to_string(log.size()) + " lines");
    } else {
        Check(e.line, log[n - 1] == e.args[1], "the line is " + Quoted(log[n - 1]));
    }
}

// file: the same bytes as a file beside the scenario; file-text: the given text;
// file-contains: the text somewhere in the file.
void Player::ExpectFile(const Expectation& e) {
    std::optional<std::string> wanted = e.args[1];
    if (e.what == "file") {
        wanted = ReadHostFile(folder_ / fs::path(Cp1252ToUtf8(e.args[1])));
        if (!wanted) {
            Broken("line " + std::to_string(e.line.number) + ": no source file " +
                   Cp1252ToUtf8(e.args[1]));
            return;
        }
    }
    const bool contains = e.what == "file-contains";
    const auto holds = [&](const std::optional<std::string>& bytes) {
        return bytes && (contains ? bytes->find(*wanted) != std::string::npos : *bytes == *wanted);
    };
    std::optional<std::string> bytes = ReadHostFile(HostFile(e.args[0]));
    // After idle, a program the installer started is given up to 5 s to write the file, as
    // the Wine player waits for the expectation after idle.
    for (int i = 0; e.settle && !holds(bytes) && i < 500; ++i) {
        usleep(10000);
        bytes = ReadHostFile(HostFile(e.args[0]));
    }
    if (!bytes) {
        Failed(e.line, "no such file");
    } else if (contains) {
        Check(e.line, holds(bytes), "not in the file");
    } else {
        Check(e.line, holds(bytes),
              "the file differs (" + std::to_string(bytes->size()) + " bytes, " +
                  std::to_string(wanted->size()) + " expected)");
    }
}

void Player::ExpectNoFile(const Expectation& e) {
    std::error_code ec;
    Check(e.line, !fs::exists(HostFile(e.args[0]), ec), "the file exists");
}

void Player::ExpectSameAsMachine(const Expectation& e) {
    // The machine's own tree, read through a host of its own, as untouched.
    SimHost original(sandbox_.Path() / "unused");
    original.MapDrive('c', machineDir_ / "drive_c");
    const std::optional<std::string> before = ReadHostFile(original.ToHostPath(e.args[0]));
    const std::optional<std::string> now = ReadHostFile(HostFile(e.args[0]));
    Check(e.line, before == now,
          !now      ? "the file is gone"
          : !before ? "the file was made"
                    : "the file changed");
}

void Player::ExpectWindowRestored(const Expectation& e) {
    const std::vector<int> commands = host_->WindowShowCommands(otherWindows_[e.args[0]]);
    std::string seen;
    for (int c : commands) {
        seen += (seen.empty() ? "" : ", ") + std::to_string(c);
    }
    Check(e.line, commands == std::vector<int>{0, 6, 9},
          "show commands {" + seen + "} (hide, minimise, restore are 0, 6, 9)");
}

} // namespace vuni::sim
