#include "platform/win32/owned_handles.h"
#include "platform/win32/proc_address.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_host.h"

#include <utility>
#include <windows.h>

namespace vuni {
namespace {

// Plays a WAV file held in memory, from the multimedia library that InitSound loaded, without
// waiting; nullptr stops the sound playing. False when it cannot.
bool PlayFromMemory(void* winmm, const char* sound) {
    using PlaySoundFn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
    const auto playSound = ProcAddress<PlaySoundFn>(static_cast<HMODULE>(winmm), "PlaySoundA");
    // SND_MEMORY | SND_ASYNC | SND_NODEFAULT
    return playSound != nullptr && playSound(sound, nullptr, sound != nullptr ? 0x7 : 0) != 0;
}

} // namespace

Win32Host::~Win32Host() {
    // No sound may go on reading the buffer once it is gone. The library stays loaded until
    // the program ends.
    PlayFromMemory(winmm_, nullptr);
}

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
    // The multimedia library is no KnownDLL: loaded from the system folder, on first use.
    if (winmm_ == nullptr) {
        winmm_ = LoadSystemLibrary("winmm");
    }
    using WaveOutGetNumDevsFn = UINT(WINAPI*)();
    const auto waveOutGetNumDevs =
        ProcAddress<WaveOutGetNumDevsFn>(static_cast<HMODULE>(winmm_), "waveOutGetNumDevs");
    return waveOutGetNumDevs != nullptr && waveOutGetNumDevs() > 0;
}

bool Win32Host::PlayWav(const void* data, size_t size) {
    if (data == nullptr || size == 0) {
        return false;
    }
    // Stop any sound still reading the old buffer before it is replaced.
    PlayFromMemory(winmm_, nullptr);
    soundBuffer_.assign(static_cast<const char*>(data), size);
    return PlayFromMemory(winmm_, soundBuffer_.data());
}

} // namespace vuni
