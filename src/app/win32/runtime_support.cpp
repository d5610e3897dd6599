// The C++ runtime's default terminate handler prints the demangled name of an uncaught
// exception, which links in the whole demangler. The installer has no console to print to:
// ending at once is all a terminate handler can usefully do here.
#include <cstdlib>

// The library's own name, replaced on purpose.
namespace __gnu_cxx {
void __verbose_terminate_handler(); // NOLINT(bugprone-reserved-identifier)
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

// The product never catches exceptions (it is built without them): a failed library
// precondition (a length or position out of range) would end the program through
// std::terminate. These helpers end it at once instead, which keeps the library's
// exception classes and their strings out of the program file.
#include <bits/functexcept.h>

// Declared noreturn by the library header above.
namespace std {
void __throw_bad_alloc() {
    std::abort();
}
void __throw_bad_array_new_length() {
    std::abort();
}
void __throw_length_error(const char*) {
    std::abort();
}
void __throw_out_of_range(const char*) {
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
void __throw_logic_error(const char*) {
    std::abort();
}
void __throw_invalid_argument(const char*) {
    std::abort();
}
void __throw_bad_function_call() {
    std::abort();
}
} // namespace std

// Allocation without exceptions: a failed plain new ends the program (as the uncaught
// std::bad_alloc would); the nothrow forms, which the package buffers use, give nullptr.
#include <cstddef>
#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    std::abort();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
