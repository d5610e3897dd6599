// Memory in the installer's process, for the messages whose data are pointers there (the
// list view's and the folder chooser's).
#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <cstddef>
#include <string>
#include <vector>

namespace vuni::driver {

class RemoteBuffer {
public:
    // size bytes in the process that owns the window.
    RemoteBuffer(HWND owner, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Ok() const { return address_ != nullptr; }
    char* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        return offset + size <= size_ &&
               WriteProcessMemory(process_, At(offset), data, size, nullptr);
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return offset + size <= size_ &&
               ReadProcessMemory(process_, At(offset), data, size, nullptr);
    }
    // A message that did not answer in time may still read the memory later.
    void Keep() { keep_ = true; }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
    bool keep_ = false;
};

// The file list's rows: "[x] " or "[ ] ", then the text.
std::vector<std::string> Rows(HWND list);
// Sets a row's state bits as a click does; a box the change opens does not hold the driver.
bool SetRowState(HWND list, int row, UINT state, UINT mask);

} // namespace vuni::driver
