#include "serve.h"

#include "focus_timeline.h"
#include "installer_windows.h"
#include "serve_commands.h"

#include <cstdio>
#include <cstdlib>

namespace vuni::driver {
namespace {

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(
            Unescape(line.substr(start, tab == std::string::npos ? tab : tab - start)));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

void Print(const Answer& answer) {
    std::string line = answer.ok ? "ok" : "err";
    for (const std::string& f : answer.fields) {
        line += "\t" + Escape(f);
    }
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

const ServeCommand* FindCommand(const std::string& name) {
    for (const ServeCommand& c : ServeCommands()) {
        if (name == c.name) {
            return &c;
        }
    }
    return nullptr;
}

} // namespace

// A command the table does not know is looked at as a control command: its answer says
// what is missing first (the window, the control), as it always has.
Answer Serve(const std::vector<std::string>& args) {
    const ServeCommand* command = FindCommand(args[0]);
    const Needs needs = command != nullptr ? command->needs : Needs::Control;
    Request request{args};
    if (needs != Needs::Nothing) {
        request.main = Main();
        if (request.main == nullptr) {
            return Fail("no installer window");
        }
    }
    if (needs == Needs::Control) {
        request.control = ControlByNumber(request.main, std::atoi(request.Arg(1).c_str()));
        if (request.control == nullptr) {
            return Fail("no control " + request.Arg(1));
        }
    }
    if (command == nullptr) {
        return Fail("unknown command " + args[0]);
    }
    return command->run(request);
}

// One command a line, fields separated by tabs (\t, \n, \r and \\ escaped); one answer a
// line: "ok" or "err", then its fields the same way.
int ServeLoop() {
    StartFocusTimeline();
    char buffer[65536];
    while (std::fgets(buffer, sizeof(buffer), stdin) != nullptr) {
        std::string line = buffer;
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        const std::vector<std::string> args = Split(line);
        if (args[0] == "quit") {
            break;
        }
        Print(Serve(args));
    }
    return 0;
}

} // namespace vuni::driver
