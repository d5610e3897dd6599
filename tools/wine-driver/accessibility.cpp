#include "accessibility.h"

// clang-format off
#include <windows.h>
#include <oleacc.h>
// clang-format on

#include "installer_windows.h"
#include "window_check.h"
#include "wizard/controls.h"

#include <cstdio>

namespace vuni::driver {
namespace {

// The name an assistive tool gets for a control through oleacc, or why there is none.
std::string AccessibleName(HWND w, HRESULT& result) {
    IAccessible* object = nullptr;
    result = AccessibleObjectFromWindow(w, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object));
    if (FAILED(result) || object == nullptr) {
        return "";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    result = object->get_accName(self, &name);
    std::string text;
    if (SUCCEEDED(result) && name != nullptr) {
        text = Narrow(name);
    }
    if (name != nullptr) {
        SysFreeString(name);
    }
    object->Release();
    return text;
}

std::string Hex(HRESULT value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

} // namespace

void Access(HWND main, std::vector<std::string>& lines) {
    for (const auto& [number, w] : TabStops(main)) {
        const ctl::ControlSpec* entry = ctl::FindControl(number);
        HRESULT result = S_OK;
        const std::string accName = AccessibleName(w, result);
        std::string how;
        std::string name;
        if (!accName.empty()) {
            name = accName;
            how = "oleacc";
        } else {
            const bool ownText = entry->type == ctl::ControlType::Button ||
                                 entry->type == ctl::ControlType::CheckBox;
            if (ownText) {
                name = Text(w);
                how = "own text";
            } else {
                // A label is a static text or a read-only field created just before it.
                HWND previous = GetWindow(w, GW_HWNDPREV);
                const bool label = previous != nullptr &&
                                   (lstrcmpiA(ClassOf(previous).c_str(), "Static") == 0 ||
                                    (lstrcmpiA(ClassOf(previous).c_str(), "Edit") == 0 &&
                                     (GetWindowLongPtrA(previous, GWL_STYLE) & ES_READONLY)));
                if (label) {
                    name = Text(previous);
                    how = "label " + std::to_string(GetDlgCtrlID(previous));
                } else if (previous == nullptr && GetWindow(w, GW_HWNDNEXT) == nullptr) {
                    // Alone on its page: the window title, which each such page sets, names it.
                    name = Text(main);
                    how = "alone on its page, the window title";
                } else {
                    how = "no label before it";
                }
            }
            how += ", oleacc " + Hex(result);
        }
        lines.push_back(std::string(name.empty() ? "FAIL" : "ok") + " control " +
                        std::to_string(number) + " named \"" + name + "\" (" + how + ")");
    }
    TabOrder(main, lines);
}

} // namespace vuni::driver
