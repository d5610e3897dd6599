#include "scenario.h"

#include "text/text.h"
#include "wizard/control_style.h"
#include "wizard/controls.h"

#include <charconv>
#include <set>

namespace vuni::sim {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// When a line may come: before `start`, after it, or both.
enum class When { Setup, Running, Anywhere };

// What a control argument must name.
enum class ControlKind { None, Any, Pressable, DropDown, EditField, Page };

struct CommandRule {
    const char* name;
    int minArgs;
    int maxArgs; // -1: no limit
    When when;
    ControlKind control;   // the kind of the first argument, when it names a control
    unsigned pathArgs = 0; // bit n: argument n is a Windows or Linux path, kept literal
};

// clang-format off
constexpr CommandRule kCommands[] = {
    {"machine", 1, 1, When::Setup, ControlKind::None, 1},
    {"package", 1, 1, When::Setup, ControlKind::None, 1},
    {"program", 1, 1, When::Setup, ControlKind::None, 1},
    {"program-path", 1, 1, When::Setup, ControlKind::None, 1},
    {"append", 1, 1, When::Setup, ControlKind::None, 1},
    {"process", 2, 2, When::Setup, ControlKind::None, 2},
    {"other-instance", 0, 1, When::Setup, ControlKind::None},
    {"no-sound", 0, 0, When::Setup, ControlKind::None},
    {"web-server", 2, 2, When::Setup, ControlKind::None, 2},
    {"sim-only", 0, 0, When::Anywhere, ControlKind::None},
    {"wine-only", 0, 0, When::Anywhere, ControlKind::None},
    {"start", 0, 0, When::Setup, ControlKind::None},
    {"close", 0, 0, When::Running, ControlKind::None},
    {"press", 1, 1, When::Running, ControlKind::Pressable},
    {"key", 1, 1, When::Running, ControlKind::None},
    {"choose", 2, 2, When::Running, ControlKind::DropDown},
    {"type", 2, 2, When::Running, ControlKind::EditField},
    {"check", 1, 1, When::Running, ControlKind::None},
    {"uncheck", 1, 1, When::Running, ControlKind::None},
    {"select", 1, 1, When::Running, ControlKind::None},
    {"answer", 1, 2, When::Anywhere, ControlKind::None},
    {"folder", 1, 1, When::Anywhere, ControlKind::None, 1},
    {"menu", 1, 1, When::Anywhere, ControlKind::None},
    {"rightclick", 0, 0, When::Running, ControlKind::None},
    {"idle", 1, 1, When::Running, ControlKind::None},
    {"switch-away", 0, 0, When::Running, ControlKind::None},
    {"switch-back", 0, 0, When::Running, ControlKind::None},
};

// Expectations: the word after `expect`. File expectations may come before `start` too.
constexpr CommandRule kExpectations[] = {
    {"page", 1, 1, When::Running, ControlKind::Page},
    {"text", 2, 2, When::Running, ControlKind::Any},
    {"text-contains", 2, 2, When::Running, ControlKind::Any},
    {"visible", 1, 1, When::Running, ControlKind::Any},
    {"hidden", 1, 1, When::Running, ControlKind::Any},
    {"enabled", 1, 1, When::Running, ControlKind::Any},
    {"disabled", 1, 1, When::Running, ControlKind::Any},
    {"checked", 1, 1, When::Running, ControlKind::Any},
    {"unchecked", 1, 1, When::Running, ControlKind::Any},
    {"items", 1, -1, When::Running, ControlKind::DropDown},
    {"rows", 0, -1, When::Running, ControlKind::None},
    {"focus", 1, 1, When::Running, ControlKind::Any},
    {"focus-order", 1, -1, When::Running, ControlKind::Any},
    {"title", 1, 1, When::Running, ControlKind::None},
    {"message", 2, 2, When::Running, ControlKind::None},
    {"no-message", 0, 0, When::Running, ControlKind::None},
    {"log-contains", 1, 1, When::Running, ControlKind::None},
    {"progress-contains", 1, 1, When::Running, ControlKind::None},
    {"log-line", 2, 2, When::Running, ControlKind::None},
    {"file", 2, 2, When::Anywhere, ControlKind::None, 3},
    {"file-text", 2, 2, When::Anywhere, ControlKind::None, 1},
    {"file-contains", 2, 2, When::Anywhere, ControlKind::None, 1},
    {"no-file", 1, 1, When::Anywhere, ControlKind::None, 1},
    {"same-as-machine", 1, 1, When::Anywhere, ControlKind::None, 1},
    {"exited", 0, 0, When::Running, ControlKind::None},
    {"running", 0, 0, When::Running, ControlKind::None},
    {"window-restored", 1, 1, When::Running, ControlKind::None},
};
// clang-format on

template <size_t N>
const CommandRule* FindRule(const CommandRule (&rules)[N], const std::string& name) {
    for (const CommandRule& r : rules) {
        if (name == r.name) {
            return &r;
        }
    }
    return nullptr;
}

bool ControlFits(ControlKind kind, const ctl::ControlSpec& c) {
    using ctl::ControlType;
    switch (kind) {
    case ControlKind::None:
    case ControlKind::Any:
        return true;
    case ControlKind::Pressable:
        return c.type == ControlType::Button || c.type == ControlType::CheckBox;
    case ControlKind::DropDown:
        return c.type == ControlType::DropDown;
    case ControlKind::EditField:
        // A person can type into the editable field only; read-only fields refuse keys.
        return c.type == ControlType::EditField;
    case ControlKind::Page:
        return c.type == ControlType::Panel;
    }
    return false;
}

// The checks that depend on the command's own arguments.
bool CheckArguments(const std::string& command, const std::vector<std::string>& args,
                    std::string& error) {
    long long n = 0;
    if (command == "key") {
        KeyPress key;
        if (!ParseKey(args[0], key)) {
            error = "unknown key \"" + args[0] + "\"";
            return false;
        }
    } else if (command == "idle") {
        if (!ParseNumber(args[0], n) || n < 1 || n > 1000000) {
            error = "idle needs a number of ticks from 1";
            return false;
        }
    } else if (command == "process") {
        if (!ParseNumber(args[0], n) || n < 1 || n > 0xFFFFFFFFLL) {
            error = "a process id is a number from 1";
            return false;
        }
    } else if (command == "answer") {
        if (!EqualsNoCase(args[0], "Ok") && !EqualsNoCase(args[0], "Yes") &&
            !EqualsNoCase(args[0], "No")) {
            error = "an answer is Ok, Yes or No";
            return false;
        }
    } else if (command == "menu") {
        if (args[0] != "none" && args[0] != "128" && args[0] != "130" && args[0] != "131") {
            error = "a menu choice is 128, 130, 131 or none";
            return false;
        }
    } else if (command == "focus-order") {
        for (const std::string& a : args) {
            long long number = 0;
            if (!ParseNumber(a, number) || number <= 0 || number >= 1000 ||
                ctl::FindControl(static_cast<int>(number)) == nullptr) {
                error = "\"" + a + "\" is not a control number";
                return false;
            }
        }
    } else if (command == "log-line") {
        if (!ParseNumber(args[0], n) || n < 1) {
            error = "a log line number counts from 1";
            return false;
        }
    }
    return true;
}

} // namespace

bool ParseNumber(std::string_view text, long long& value) {
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool SplitWords(std::string_view line, std::vector<std::string>& words, std::string& error,
                std::vector<bool>* quoted) {
    words.clear();
    if (quoted != nullptr) {
        quoted->clear();
    }
    size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] != '"') {
            while (i < line.size() && !IsBlank(line[i])) {
                word += line[i++];
            }
            words.push_back(word);
            if (quoted != nullptr) {
                quoted->push_back(false);
            }
            continue;
        }
        ++i;
        bool closed = false;
        while (i < line.size()) {
            const char c = line[i];
            if (c == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    word += '"';
                    i += 2;
                    continue;
                }
                closed = true;
                ++i;
                break;
            }
            word += c;
            ++i;
        }
        if (!closed) {
            error = "a quoted argument is not closed";
            return false;
        }
        if (i < line.size() && !IsBlank(line[i])) {
            error = "text right after a closing quote";
            return false;
        }
        words.push_back(word);
        if (quoted != nullptr) {
            quoted->push_back(true);
        }
    }
    return true;
}

bool ReadScenario(std::string_view utf8, std::vector<ScenarioLine>& lines, std::string& error) {
    lines.clear();
    if (StartsWith(utf8, "\xEF\xBB\xBF")) {
        utf8.remove_prefix(3);
    }
    int number = 0;
    size_t start = 0;
    while (start <= utf8.size()) {
        size_t end = utf8.find('\n', start);
        if (end == std::string_view::npos) {
            end = utf8.size();
        }
        std::string_view raw = utf8.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        const std::string text = TrimBlanks(raw);
        if (text.empty() || text[0] == '#') {
            if (end == utf8.size()) {
                break;
            }
            continue;
        }
        std::string cp1252;
        if (!Utf8ToCp1252(text, cp1252)) {
            error = "line " + std::to_string(number) +
                    ": a character that Windows-1252 cannot hold, or broken UTF-8";
            return false;
        }
        ScenarioLine line;
        line.number = number;
        line.text = text;
        if (!SplitWords(cp1252, line.words, error, &line.quoted)) {
            error.insert(0, "line " + std::to_string(number) + ": ");
            return false;
        }
        lines.push_back(std::move(line));
        if (end == utf8.size()) {
            break;
        }
    }
    return true;
}

bool ParseKey(std::string_view name, KeyPress& key) {
    key = {};
    std::string rest = Lower(name);
    for (;;) {
        if (StartsWith(rest, "alt+")) {
            key.modifiers |= kAlt;
            rest.erase(0, 4);
        } else if (StartsWith(rest, "ctrl+")) {
            key.modifiers |= kControl;
            rest.erase(0, 5);
        } else if (StartsWith(rest, "shift+")) {
            key.modifiers |= kShift;
            rest.erase(0, 6);
        } else {
            break;
        }
    }
    if (rest == "tab") {
        key.virtualKey = kKeyTab;
        return key.modifiers == kNoModifier || key.modifiers == kShift;
    }
    if (rest == "escape") {
        key.virtualKey = kKeyEscape;
        return key.modifiers == kNoModifier;
    }
    if (rest == "enter") {
        key.virtualKey = kKeyReturn;
    } else if (rest == "apps") {
        key.virtualKey = kKeyApps;
    } else if (rest.size() >= 2 && rest[0] == 'f' && rest.size() <= 3) {
        long long n = 0;
        if (!ParseNumber(std::string_view(rest).substr(1), n) || n < 1 || n > 12) {
            return false;
        }
        key.virtualKey = kKeyF1 + static_cast<unsigned>(n - 1);
    } else if (rest.size() == 1 && rest[0] >= 'a' && rest[0] <= 'z') {
        key.virtualKey = static_cast<unsigned>(rest[0] - 'a' + 'A');
    } else {
        return false;
    }
    // Only the keys the window acts on: its shortcuts.
    for (const ShortcutRow& row : kShortcutRows) {
        if (row.virtualKey == key.virtualKey && row.modifiers == key.modifiers) {
            return true;
        }
    }
    return false;
}

bool CheckScenario(std::vector<ScenarioLine>& lines, std::string& error) {
    bool started = false;
    std::set<std::string> otherWindows;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ScenarioLine& line = lines[i];
        const auto fail = [&](const std::string& what) {
            error = "line " + std::to_string(line.number) + ": " + what;
            return false;
        };
        std::string command = line.words[0];
        std::vector<std::string> args(line.words.begin() + 1, line.words.end());
        const CommandRule* rule = nullptr;
        if (command == "expect") {
            if (args.empty()) {
                return fail("expect what?");
            }
            command = args[0];
            args.erase(args.begin());
            rule = FindRule(kExpectations, command);
            if (rule == nullptr) {
                return fail("unknown expectation \"" + command + "\"");
            }
        } else {
            rule = FindRule(kCommands, command);
            if (rule == nullptr) {
                return fail("unknown command \"" + command + "\"");
            }
        }
        const int count = static_cast<int>(args.size());
        if (count < rule->minArgs || (rule->maxArgs >= 0 && count > rule->maxArgs)) {
            return fail("wrong number of arguments for \"" + command + "\"");
        }
        if (rule->when == When::Setup && started) {
            return fail("\"" + command + "\" belongs before start");
        }
        if (rule->when == When::Running && !started) {
            return fail("\"" + command + "\" needs the installer started");
        }
        if (rule->control != ControlKind::None) {
            long long number = 0;
            const ctl::ControlSpec* c = nullptr;
            if (ParseNumber(args[0], number) && number > 0 && number < 1000) {
                c = ctl::FindControl(static_cast<int>(number));
            }
            if (c == nullptr) {
                return fail("\"" + args[0] + "\" is not a control number");
            }
            if (!ControlFits(rule->control, *c)) {
                return fail("control " + args[0] + " cannot be used with \"" + command + "\"");
            }
        }
        if (!CheckArguments(command, args, error)) {
            return fail(error);
        }
        // In quoted texts (not in paths) \n stands for a line break.
        const size_t first = line.words.size() - args.size();
        for (size_t a = 0; a < args.size(); ++a) {
            const bool isPath = a < 32 && (rule->pathArgs & (1u << a)) != 0;
            if (!isPath && first + a < line.quoted.size() && line.quoted[first + a]) {
                args[a] = ReplaceAll(args[a], "\\n", "\n");
                lines[i].words[first + a] = args[a];
            }
        }
        if (command == "other-instance" && !args.empty()) {
            otherWindows.insert(args[0]);
        }
        if (command == "window-restored" && otherWindows.count(args[0]) == 0) {
            return fail("no other-instance window titled \"" + args[0] + "\"");
        }
        if (command == "start") {
            if (line.words[0] == "start") {
                started = true;
            }
        }
        if (command == "wine-only") {
            // The rest of the file is played under Wine only.
            lines.resize(i);
            break;
        }
    }
    return true;
}

} // namespace vuni::sim
