// Linked into every shipped program and DLL, ahead of the C++ runtime library, like the lean
// terminate handler beside it.
//
// The runtime's containers and strings report a broken precondition (an index out of range,
// a length past the maximum, an empty std::function called) through these functions. The
// runtime's own versions throw std::out_of_range, std::length_error and their kin, whose
// messages are kept in reference-counted strings of the old string layout; those bring a second
// string implementation with them (README.md: what it saves). Ours throw the same kind of fault
// as a plain std::exception with the same text: every handler of the suite catches
// std::exception or anything (the dialog procedure, the device DLLs' entry points), so each one
// still ends in the same message. Out of memory stays std::bad_alloc, which the windows tell
// apart.
//
// A program built without exception handling (tolka.exe, whose code has no unwind tables to
// throw through) gets the same functions ending it with abort() instead; the program's handler
// of that signal says what a handler of the fault would have said.
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryFault : public std::exception {
public:
    explicit LibraryFault(const char* what) : what_(what) {}
    const char* what() const noexcept override { return what_; }

private:
    const char* what_;
};

template <class Fault, class... Args>
[[noreturn]] void Raise(Args... args) {
#if __cpp_exceptions
    throw Fault(args...);
#else
    ((void)args, ...);
    std::abort();
#endif
}

}  // namespace

// The runtime declares these in <bits/functexcept.h>; all of them are defined here, so that
// the runtime's own file of them is never linked beside ours.
namespace std {

void __throw_bad_exception() {
    Raise<bad_exception>();
}
void __throw_bad_alloc() {
    Raise<bad_alloc>();
}
void __throw_bad_array_new_length() {
    Raise<bad_array_new_length>();
}
void __throw_bad_cast() {
    Raise<bad_cast>();
}
void __throw_bad_typeid() {
    Raise<bad_typeid>();
}
void __throw_logic_error(const char* what) {
    Raise<LibraryFault>(what);
}
void __throw_domain_error(const char* what) {
    Raise<LibraryFault>(what);
}
void __throw_invalid_argument(const char* what) {
    Raise<LibraryFault>(what);
}
void __throw_length_error(const char* what) {
    Raise<LibraryFault>(what);
}
void __throw_out_of_range(const char* what) {
    Raise<LibraryFault>(what);
}
// The format's arguments (the index and the size) are left out of the text.
void __throw_out_of_range_fmt(const char* format, ...) {
    Raise<LibraryFault>(format);
}
void __throw_runtime_error(const char* what) {
    Raise<LibraryFault>(what);
}
void __throw_range_error(const char* what) {
    Raise<LibraryFault>(what);
}
void __throw_overflow_error(const char* what) {
    Raise<LibraryFault>(what);
}
void __throw_underflow_error(const char* what) {
    Raise<LibraryFault>(what);
}

}  // namespace std
