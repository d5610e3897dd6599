#include "platform/win32/owned_handles.h"
#include "platform/win32/win32_host.h"

// clang-format off
#include <windows.h>
#include <mmsystem.h>
// clang-format on

#include <utility>

namespace vuni {

bool Win32Host::NamedMutexExists(const std::string& name) {
    const OwnedHandle existing(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str()));
    return static_cast<bool>(existing);
}

bool Win32Host::CreateNamedMutex(const std::string& name) {
    CloseNamedMutex();
    OwnedHandle created(CreateMutexA(nullptr, TRUE, name.c_str()));
    if (!created || GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another instance made it between the check and now: it is not ours to own.
        return false;
    }
    mutex_ = created.Release();
    return true;
}

void Win32Host::CloseNamedMutex() {
    const OwnedHandle mutex(static_cast<HANDLE>(std::exchange(mutex_, nullptr)));
    if (mutex) {
        ReleaseMutex(mutex.Get());
    }
}

uint64_t Win32Host::FindTopLevelWindow(const std::string& title) {
    HWND found = FindWindowA(nullptr, title.c_str());
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(found));
}

void Win32Host::ShowTopLevelWindow(uint64_t window, int command) {
    if (window != 0) {
        ShowWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(window)), command);
    }
}

bool Win32Host::InitSound() {
    return waveOutGetNumDevs() > 0;
}

bool Win32Host::PlayWav(const void* data, size_t size) {
    if (data == nullptr || size == 0) {
        return false;
    }
    // Stop any sound still reading the old buffer before it is replaced.
    PlaySoundA(nullptr, nullptr, 0);
    soundBuffer_.assign(static_cast<const char*>(data), size);
    return PlaySoundA(soundBuffer_.data(), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT) != 0;
}

} // namespace vuni
