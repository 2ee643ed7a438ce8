// Gives back the thread record that the statically linked thread library made
// for the thread that loaded the DLL, and the one of the thread that unloads
// it.
//
// At load, the unwinder registers the DLL's exception tables under a
// once-only lock of the thread library, which makes a record for the calling
// thread holding an event and a duplicate of the thread's handle. The library
// frees such a record when the thread ends (its thread-detach callback), but
// not when the DLL is unloaded while the thread lives on, as the host's
// thread does: each load and unload left two handles behind. The loading
// thread's record is made before this entry point is called, and nothing
// needs it after: it is given that same thread-detach step at once, so that
// an unload on another thread leaves no record behind. A record made later,
// while the DLL is in use, goes with the unloading thread's step when that
// thread made it, else when its own thread ends.
#include <windows.h>

// The thread library's callback for this module's thread-local data, as the
// system calls it at a thread's start and end.
extern "C" const PIMAGE_TLS_CALLBACK __xl_f;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    // At process exit (reserved set) every thread is gone with the process.
    const bool releaseRecord =
        reason == DLL_PROCESS_ATTACH || (reason == DLL_PROCESS_DETACH && reserved == nullptr);
    if (releaseRecord && __xl_f != nullptr) {
        __xl_f(module, DLL_THREAD_DETACH, nullptr);
    }
    return TRUE;
}
