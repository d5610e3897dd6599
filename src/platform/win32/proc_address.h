#pragma once

// A function of a library, looked up by name: for functions that older Windows lack, and for
// libraries loaded at run time. Function names the exact type, calling convention included
// (WINAPI for the system's exports): the lookup copies the address rather than casting it, so
// the rest of the Windows code holds no cast between function types at all and the compiler
// checks every callback it hands to Windows.
#include <cstring>
#include <type_traits>
#include <windows.h>

namespace vuni {

template <typename Function> Function ProcAddress(HMODULE module, const char* name) {
    static_assert(std::is_pointer_v<Function> &&
                  std::is_function_v<std::remove_pointer_t<Function>>);
    static_assert(sizeof(Function) == sizeof(FARPROC));
    const FARPROC address = module != nullptr ? GetProcAddress(module, name) : nullptr;
    Function function = nullptr;
    std::memcpy(&function, &address, sizeof function);
    return function;
}

} // namespace vuni
