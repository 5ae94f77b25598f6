// Linked into every shipped program and DLL, ahead of the C++ runtime library, like the lean
// terminate handler beside it.
//
// The runtime's containers and strings report a broken precondition (an index out of range,
// a length past the maximum, an empty std::function called) through these functions. The
// runtime's own versions throw std::out_of_range, std::length_error and their kin, whose
// messages are kept in reference-counted strings of the old string layout; those bring a second
// string implementation with them (about 35 KiB on x86_64, 55 KiB with the unwind tables of
// i686). Ours throw the same kind of fault as a plain std::exception with the same text: every
// handler of the suite catches std::exception or anything (tolka's main, the dialog procedure,
// the device DLLs' entry points), so each one still ends in the same message. Out of memory
// stays std::bad_alloc, which the windows tell apart.
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

}  // namespace

// The runtime declares these in <bits/functexcept.h>; all of them are defined here, so that
// the runtime's own file of them is never linked beside ours.
namespace std {

void __throw_bad_exception() {
    throw bad_exception();
}
void __throw_bad_alloc() {
    throw bad_alloc();
}
void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}
void __throw_bad_cast() {
    throw bad_cast();
}
void __throw_bad_typeid() {
    throw bad_typeid();
}
void __throw_logic_error(const char* what) {
    throw LibraryFault(what);
}
void __throw_domain_error(const char* what) {
    throw LibraryFault(what);
}
void __throw_invalid_argument(const char* what) {
    throw LibraryFault(what);
}
void __throw_length_error(const char* what) {
    throw LibraryFault(what);
}
void __throw_out_of_range(const char* what) {
    throw LibraryFault(what);
}
// The format's arguments (the index and the size) are left out of the text.
void __throw_out_of_range_fmt(const char* format, ...) {
    throw LibraryFault(format);
}
void __throw_runtime_error(const char* what) {
    throw LibraryFault(what);
}
void __throw_range_error(const char* what) {
    throw LibraryFault(what);
}
void __throw_overflow_error(const char* what) {
    throw LibraryFault(what);
}
void __throw_underflow_error(const char* what) {
    throw LibraryFault(what);
}

}  // namespace std
