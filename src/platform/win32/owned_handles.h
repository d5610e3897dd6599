#pragma once

// Owners of Windows handles: each closes what it holds when it goes out of scope, so that no
// path, an early return included, leaks one or closes one twice. They move, never copy.
// Include <winsock2.h> before this header (and before <windows.h>) for OwnedSocket.
#include <windows.h>

namespace vuni {

// Traits: the handle type, the value that means "none", and the call that closes one.
template <typename Traits> class Owned {
public:
    using Handle = typename Traits::Handle;

    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Close(); }
    Owned(Owned&& other) noexcept : handle_(other.Release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = other.Release();
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::None(); }
    // Gives the handle up without closing it.
    Handle Release() {
        const Handle handle = handle_;
        handle_ = Traits::None();
        return handle;
    }
    // Closes the handle now; false when there was one and Windows could not close it (for a
    // file written to, the last data may not have reached the disk).
    bool Close() {
        const Handle handle = Release();
        return handle == Traits::None() || Traits::Close(handle);
    }

private:
    Handle handle_ = Traits::None();
};

// A kernel object that "none" is nullptr for: a process, thread or mutex.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return nullptr; }
    static bool Close(Handle h) { return CloseHandle(h) != 0; }
};
using OwnedHandle = Owned<KernelHandleTraits>;

// A kernel object whose opening call gives INVALID_HANDLE_VALUE on failure: a file from
// CreateFile, a process snapshot.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle h) { return CloseHandle(h) != 0; }
};
using OwnedFileHandle = Owned<FileHandleTraits>;

// A folder listing from FindFirstFile.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle h) { return FindClose(h) != 0; }
};
using OwnedFind = Owned<FindHandleTraits>;

// A library loaded with LoadLibrary or LoadLibraryEx (by name or by full path).
struct ModuleTraits {
    using Handle = HMODULE;
    static Handle None() { return nullptr; }
    static bool Close(Handle h) { return FreeLibrary(h) != 0; }
};
using OwnedModule = Owned<ModuleTraits>;

// An open registry key.
struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static bool Close(Handle h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};
using OwnedKey = Owned<RegistryKeyTraits>;

#ifdef _WINSOCK2API_
// A Winsock socket.
struct SocketTraits {
    using Handle = SOCKET;
    static Handle None() { return INVALID_SOCKET; }
    static bool Close(Handle s) { return closesocket(s) == 0; }
};
using OwnedSocket = Owned<SocketTraits>;
#endif

} // namespace vuni
