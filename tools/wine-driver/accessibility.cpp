#include "accessibility.h"

// clang-format off
#include <windows.h>
#include <oleacc.h>
// clang-format on

#include "installer_windows.h"
#include "window_check.h"

#include <cstdint>
#include <cstdio>

namespace vuni::driver {
namespace {

std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", value);
    return text;
}

// A BSTR out-parameter's text, freed.
std::string Take(BSTR text) {
    std::string out = text != nullptr ? Narrow(text) : "";
    SysFreeString(text);
    return out;
}

} // namespace

Accessible ReadAccessible(HWND w) {
    Accessible out;
    IAccessible* object = nullptr;
    out.result = AccessibleObjectFromWindow(w, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                            reinterpret_cast<void**>(&object));
    if (FAILED(out.result) || object == nullptr) {
        return out;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    out.result = object->get_accName(self, &text);
    out.name = Take(text);
    VARIANT value{};
    if (SUCCEEDED(object->get_accRole(self, &value)) && value.vt == VT_I4) {
        out.role = value.lVal;
    }
    VariantClear(&value);
    if (SUCCEEDED(object->get_accState(self, &value)) && value.vt == VT_I4) {
        out.state = value.lVal;
    }
    VariantClear(&value);
    text = nullptr;
    if (SUCCEEDED(object->get_accKeyboardShortcut(self, &text))) {
        out.shortcut = Take(text);
    }
    object->Release();
    return out;
}

std::string StructuralName(HWND w, std::string& how) {
    const std::string className = ClassOf(w);
    if (lstrcmpiA(className.c_str(), "Button") == 0) {
        how = "own text";
        return Text(w);
    }
    // A label is a static text or a read-only field created just before it.
    HWND previous = GetWindow(w, GW_HWNDPREV);
    const bool label =
        previous != nullptr && (lstrcmpiA(ClassOf(previous).c_str(), "Static") == 0 ||
                                (lstrcmpiA(ClassOf(previous).c_str(), "Edit") == 0 &&
                                 (GetWindowLongPtrA(previous, GWL_STYLE) & ES_READONLY)));
    if (!label) {
        how = "no label before it";
        return "";
    }
    how = "label " + std::to_string(GetDlgCtrlID(previous)) +
          (IsWindowVisible(previous) ? "" : " (hidden)");
    return Text(previous);
}

void Access(HWND main, std::vector<std::string>& lines) {
    for (const auto& [number, w] : TabStops(main)) {
        const Accessible object = ReadAccessible(w);
        std::string how = "oleacc";
        std::string name = object.name;
        if (name.empty()) {
            name = StructuralName(w, how);
            how += ", oleacc " + Hex(static_cast<unsigned long>(object.result));
        }
        lines.push_back(std::string(name.empty() ? "FAIL" : "ok") + " control " +
                        std::to_string(number) + " named \"" + name + "\" (" + how + ")");
    }
    TabOrder(main, lines);
}

void AccessibleFields(HWND main, std::vector<std::string>& fields) {
    for (const auto& [number, w] : TabStops(main)) {
        const Accessible object = ReadAccessible(w);
        std::string how;
        fields.push_back(std::to_string(number));
        fields.push_back(object.name);
        fields.push_back(std::to_string(object.role));
        fields.push_back(Hex(static_cast<unsigned long>(object.state)));
        fields.push_back(object.shortcut);
        fields.push_back(StructuralName(w, how));
        fields.push_back(std::to_string(reinterpret_cast<uintptr_t>(w)));
    }
}

} // namespace vuni::driver
