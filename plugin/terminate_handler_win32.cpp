// What the DLL does when the C++ runtime must terminate: a line to the
// debugger, then abort.
#include <windows.h>

#include <cstdlib>
#include <exception>

// The runtime installs a function of this name as its terminate handler. Its
// own version writes the escaping exception's demangled type to stderr, which
// a host without a console never shows, and brings the runtime's demangler
// (about 50 KB) into the DLL. Linked into the DLL, this one takes its place;
// the host ends the same way, by abort.
namespace __gnu_cxx {

void __verbose_terminate_handler() {
    OutputDebugStringA("ml_kovra: the C++ runtime called terminate\n");
    std::abort();
}

}  // namespace __gnu_cxx
