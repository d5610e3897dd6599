#include "remote_memory.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "installer_windows.h"

namespace vuni::driver {
namespace {

constexpr size_t kRowText = 1024;

} // namespace

RemoteBuffer::RemoteBuffer(HWND owner, size_t size)
    : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                           ProcessOf(owner))),
      size_(size) {
    if (process_ != nullptr) {
        address_ =
            VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
}

RemoteBuffer::~RemoteBuffer() {
    if (address_ != nullptr && !keep_) {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    if (process_ != nullptr) {
        CloseHandle(process_);
    }
}

std::vector<std::string> Rows(HWND list) {
    std::vector<std::string> rows;
    RemoteBuffer remote(list, sizeof(LVITEMA) + kRowText);
    if (!remote.Ok()) {
        return rows;
    }
    const auto count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = remote.At(sizeof(LVITEMA));
        item.cchTextMax = kRowText;
        remote.Write(0, &item, sizeof(item));
        SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(remote.At(0)));
        char text[kRowText] = {};
        remote.Read(sizeof(LVITEMA), text, sizeof(text) - 1);
        const auto state =
            static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK));
        const bool checked = ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
        rows.push_back(std::string(checked ? "[x] " : "[ ] ") + text);
    }
    return rows;
}

bool SetRowState(HWND list, int row, UINT state, UINT mask) {
    RemoteBuffer remote(list, sizeof(LVITEMA));
    if (!remote.Ok()) {
        return false;
    }
    LVITEMA item{};
    item.stateMask = mask;
    item.state = state;
    remote.Write(0, &item, sizeof(item));
    DWORD_PTR result = 0;
    // A handler that opens a box keeps the message; the driver goes on without its answer.
    if (!SendMessageTimeoutA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.At(0)),
                             SMTO_NORMAL, 1000, &result)) {
        remote.Keep();
    }
    return true;
}

} // namespace vuni::driver
