// Scenario files (docs/scenarios.md): reading them into lines of words and checking that
// every line is a known command with sound arguments, before anything is played.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vuni::sim {

struct ScenarioLine {
    int number = 0;                 // from 1, in the file
    std::string text;               // the line as written (UTF-8, trimmed), for the report
    std::vector<std::string> words; // command and arguments, in Windows-1252
    std::vector<bool> quoted;       // which words were written in double quotes
};

// Splits a line into words: blanks separate them; a word starting with a double quote runs
// to the closing one, "" inside standing for one quote. Backslashes are kept: CheckScenario
// turns \n into a line break in quoted texts, never in paths. False, with error set, on an
// unterminated quote or text glued to a closing quote.
bool SplitWords(std::string_view line, std::vector<std::string>& words, std::string& error,
                std::vector<bool>* quoted = nullptr);

// Reads a whole file's text (UTF-8, a byte-order mark allowed): every command line in
// order, blank and comment lines left out. False, with error naming the line, when a line
// cannot be split or holds a character Windows-1252 cannot hold.
bool ReadScenario(std::string_view utf8, std::vector<ScenarioLine>& lines, std::string& error);

// Checks every line: known command, argument count and kinds, setup commands only before
// `start`, at most one `start`, window actions only after it; \n of quoted texts becomes
// a line break. Lines after `wine-only` are
// dropped (they are not played here). False with error naming the first bad line.
bool CheckScenario(std::vector<ScenarioLine>& lines, std::string& error);

// A key as the scenarios name it ("Alt+F1", "Shift+Tab"); Windows virtual-key code and
// modifier bits of wizard/control_style.h. False for a key the format does not know.
struct KeyPress {
    unsigned virtualKey = 0;
    unsigned modifiers = 0;
};
bool ParseKey(std::string_view name, KeyPress& key);
constexpr unsigned kKeyTab = 0x09;
constexpr unsigned kKeyEscape = 0x1B;

// A whole decimal number (an optional minus sign); false for anything else.
bool ParseNumber(std::string_view text, long long& value);

} // namespace vuni::sim
