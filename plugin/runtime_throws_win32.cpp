// The C++ runtime's throw helpers that the DLL's containers call, the DLL's
// own.
//
// The runtime keeps every one of its throw helpers in one object, and the
// exceptions some of them throw carry a copy-on-write string: linking it
// brings that string class, a second one and their unwind tables, some 80 KB
// of the DLL. The containers here call only these three. A container asked to
// grow past its largest size is out of memory like any other request, so it
// throws what the plug-in's callers already handle for that.
#include <new>

namespace std {

void __throw_bad_alloc() {
    throw std::bad_alloc();
}

void __throw_length_error(const char*) {
    throw std::bad_alloc();
}

void __throw_bad_array_new_length() {
    throw std::bad_array_new_length();
}

}  // namespace std
