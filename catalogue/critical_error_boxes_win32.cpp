// Turns the critical-error boxes off around drive probes and back on after.
#include "catalogue/critical_error_boxes_win32.h"

namespace {

// Looked up rather than imported: systems before Windows 7 lack it, and the
// DLL must load on them. GetProcAddress's type says nothing about the real
// one, so the address passes through void (*)(), which stands for any.
template <typename Function>
Function KernelFunction(const char* name) {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(kernel, name)));
}

}  // namespace

// The other bits of the old mode (the host's own choices) stay set.
CriticalErrorBoxesOff::CriticalErrorBoxesOff()
    : setThreadMode_(KernelFunction<SetThreadErrorModeFunction>("SetThreadErrorMode")) {
    if (setThreadMode_ != nullptr && setThreadMode_(SEM_FAILCRITICALERRORS, &oldMode_)) {
        setThreadMode_(oldMode_ | SEM_FAILCRITICALERRORS, nullptr);
        return;
    }
    setThreadMode_ = nullptr;
    oldMode_ = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetErrorMode(oldMode_ | SEM_FAILCRITICALERRORS);
}

CriticalErrorBoxesOff::~CriticalErrorBoxesOff() {
    if (setThreadMode_ != nullptr) {
        setThreadMode_(oldMode_, nullptr);
    } else {
        SetErrorMode(oldMode_);
    }
}
