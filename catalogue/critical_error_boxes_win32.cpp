// Turns the critical-error boxes off around drive probes and back on after.
#include "catalogue/critical_error_boxes.h"

#include <windows.h>

#include <type_traits>

static_assert(std::is_same<DWORD, unsigned long>::value, "the header keeps the mode as a DWORD");

namespace {

using SetThreadErrorModeFunction = BOOL(WINAPI*)(DWORD mode, DWORD* oldMode);

// Looked up rather than imported: systems before Windows 7 lack it, and the
// DLL must load on them. Kept as void(*)() because GetProcAddress's type says
// nothing about the real one.
void (*KernelFunction(const char* name))() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void (*)()>(GetProcAddress(kernel, name));
}

SetThreadErrorModeFunction AsSetThreadErrorMode(void (*function)()) {
    return reinterpret_cast<SetThreadErrorModeFunction>(function);
}

}  // namespace

// The other bits of the old mode (the host's own choices) stay set.
CriticalErrorBoxesOff::CriticalErrorBoxesOff()
    : setThreadMode_(KernelFunction("SetThreadErrorMode")) {
    const SetThreadErrorModeFunction setThreadMode = AsSetThreadErrorMode(setThreadMode_);
    if (setThreadMode != nullptr && setThreadMode(SEM_FAILCRITICALERRORS, &oldMode_)) {
        setThreadMode(oldMode_ | SEM_FAILCRITICALERRORS, nullptr);
        return;
    }
    setThreadMode_ = nullptr;
    oldMode_ = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetErrorMode(oldMode_ | SEM_FAILCRITICALERRORS);
}

CriticalErrorBoxesOff::~CriticalErrorBoxesOff() {
    if (setThreadMode_ != nullptr) {
        AsSetThreadErrorMode(setThreadMode_)(oldMode_, nullptr);
    } else {
        SetErrorMode(oldMode_);
    }
}
