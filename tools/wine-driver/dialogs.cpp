#include "dialogs.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "installer_windows.h"
#include "remote_memory.h"

namespace vuni::driver {
namespace {

// The label of a tree item of another process.
std::string TreeText(HWND tree, HTREEITEM item) {
    RemoteBuffer remote(tree, sizeof(TVITEMW) + 1024);
    if (item == nullptr || !remote.Ok()) {
        return "";
    }
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = reinterpret_cast<wchar_t*>(remote.At(sizeof(TVITEMW)));
    tv.cchTextMax = 512;
    remote.Write(0, &tv, sizeof(tv));
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0)));
    wchar_t text[512] = {};
    remote.Read(sizeof(TVITEMW), text, sizeof(text) - sizeof(wchar_t));
    return Narrow(text);
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

// The child of `parent` (the roots for nullptr) whose label is `name` without regard to case,
// or, for a drive "C:", whose label holds "(C:)"; searched `deeper` levels further down too,
// for the drives below the desktop and the computer.
HTREEITEM TreeChild(HWND tree, HTREEITEM parent, const std::string& name, int deeper) {
    const bool drive = name.size() == 2 && name[1] == ':';
    HTREEITEM first =
        parent == nullptr ? TreeNext(tree, nullptr, TVGN_ROOT) : TreeNext(tree, parent, TVGN_CHILD);
    for (HTREEITEM item = first; item != nullptr; item = TreeNext(tree, item, TVGN_NEXT)) {
        const std::string label = TreeText(tree, item);
        if (drive ? label.find("(" + name + ")") != std::string::npos
                  : lstrcmpiA(label.c_str(), name.c_str()) == 0) {
            return item;
        }
    }
    if (deeper > 0) {
        for (HTREEITEM item = first; item != nullptr; item = TreeNext(tree, item, TVGN_NEXT)) {
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
            if (HTREEITEM found = TreeChild(tree, item, name, deeper - 1)) {
                return found;
            }
        }
    }
    return nullptr;
}

} // namespace

bool HasChildOfClass(HWND parent, const char* className) {
    return FindWindowExA(parent, nullptr, className, nullptr) != nullptr;
}

// A box's message: its static control 0xFFFF, else the longest static text in it.
std::string BoxText(HWND box) {
    if (HWND text = GetDlgItem(box, 0xFFFF)) {
        return Text(text);
    }
    std::string longest;
    for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassOf(c).c_str(), "Static") == 0) {
            const std::string t = Text(c);
            if (t.size() > longest.size()) {
                longest = t;
            }
        }
    }
    return longest;
}

std::string SelectTreePath(HWND tree, const std::string& path) {
    HTREEITEM item = nullptr;
    size_t start = 0;
    bool first = true;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty()) {
            continue;
        }
        if (item != nullptr) {
            SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
        }
        HTREEITEM child = TreeChild(tree, item, part, first ? 3 : 0);
        first = false;
        if (child == nullptr) {
            break;
        }
        item = child;
    }
    if (item != nullptr) {
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    return TreeText(tree, TreeNext(tree, nullptr, TVGN_CARET));
}

} // namespace vuni::driver
