#include "script_balance.h"

#include <string>
#include <vector>

namespace vuni::standin {
namespace {

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The first two words of a line, lower-cased, outside quoted texts and before a comment.
std::vector<std::string> LeadingWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    for (char c : line) {
        if (quoted) {
            quoted = c != '"';
            continue;
        }
        if (c == ';') {
            break;
        }
        if (IsWordChar(c)) {
            word += Lower(c);
            continue;
        }
        if (!word.empty()) {
            words.push_back(word);
            word.clear();
            if (words.size() == 2) {
                return words;
            }
        }
        if (c == '"') {
            quoted = true;
        }
    }
    if (!word.empty() && words.size() < 2) {
        words.push_back(word);
    }
    return words;
}

enum class Block { None, Script, Function };

} // namespace

bool BlocksBalance(std::string_view source) {
    Block open = Block::None;
    size_t start = 0;
    while (start <= source.size()) {
        size_t end = source.find('\n', start);
        if (end == std::string_view::npos) {
            end = source.size();
        }
        const std::vector<std::string> w = LeadingWords(source.substr(start, end - start));
        start = end + 1;
        if (w.empty()) {
            continue;
        }
        Block opens = Block::None;
        Block closes = Block::None;
        if (w[0] == "script") {
            opens = Block::Script;
        } else if (w[0] == "function" || (w.size() > 1 && w[1] == "function")) {
            opens = Block::Function;
        } else if (w[0] == "endscript") {
            closes = Block::Script;
        } else if (w[0] == "endfunction") {
            closes = Block::Function;
        }
        if (opens != Block::None) {
            if (open != Block::None) {
                return false;
            }
            open = opens;
        } else if (closes != Block::None) {
            if (open != closes) {
                return false;
            }
            open = Block::None;
        }
    }
    return open == Block::None;
}

} // namespace vuni::standin
