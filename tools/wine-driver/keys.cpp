#include "keys.h"

#include <cctype>

namespace vuni::driver {
namespace {

struct KeyName {
    const char* name;
    WORD vk;
};
constexpr KeyName kKeys[] = {
    {"Enter", VK_RETURN}, {"Tab", VK_TAB},   {"Escape", VK_ESCAPE}, {"Apps", VK_APPS},
    {"Space", VK_SPACE},  {"Up", VK_UP},     {"Down", VK_DOWN},     {"Left", VK_LEFT},
    {"Right", VK_RIGHT},  {"Home", VK_HOME}, {"End", VK_END},       {"F1", VK_F1},
    {"F2", VK_F2},        {"F3", VK_F3},     {"F4", VK_F4},         {"F5", VK_F5},
    {"F6", VK_F6},        {"F10", VK_F10},   {"Delete", VK_DELETE}, {"Back", VK_BACK},
};

} // namespace

bool ParseKeys(const std::string& text, std::vector<WORD>& held, WORD& key) {
    size_t start = 0;
    for (;;) {
        const size_t plus = text.find('+', start);
        const std::string part =
            text.substr(start, plus == std::string::npos ? plus : plus - start);
        if (plus == std::string::npos) {
            for (const KeyName& k : kKeys) {
                if (lstrcmpiA(part.c_str(), k.name) == 0) {
                    key = k.vk;
                    return true;
                }
            }
            if (part.size() == 1 && std::isalnum(static_cast<unsigned char>(part[0]))) {
                key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(part[0])));
                return true;
            }
            return false;
        }
        if (lstrcmpiA(part.c_str(), "Alt") == 0) {
            held.push_back(VK_MENU);
        } else if (lstrcmpiA(part.c_str(), "Ctrl") == 0) {
            held.push_back(VK_CONTROL);
        } else if (lstrcmpiA(part.c_str(), "Shift") == 0) {
            held.push_back(VK_SHIFT);
        } else {
            return false;
        }
        start = plus + 1;
    }
}

void SendKeys(const std::vector<WORD>& held, WORD vk) {
    std::vector<INPUT> inputs;
    auto add = [&inputs](WORD key, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        if (key == VK_APPS || key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN ||
            key == VK_HOME || key == VK_END || key == VK_DELETE) {
            in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        }
        inputs.push_back(in);
    };
    for (WORD k : held) {
        add(k, false);
    }
    add(vk, false);
    add(vk, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it) {
        add(*it, true);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace vuni::driver
