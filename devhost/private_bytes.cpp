// The process's private bytes, now and at their peak.
#include "devhost/private_bytes.h"

#include <psapi.h>

namespace devhost {

size_t PrivateBytesNow() {
    // The commit charge, which Windows also gives as PrivateUsage; wine fills
    // only this field, from the process's anonymous resident and swapped
    // memory.
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        return 0;
    }
    return counters.PagefileUsage;
}

PrivateBytesPeak::PrivateBytesPeak() : peak_(PrivateBytesNow()) {
    thread_ = CreateThread(nullptr, 0, Sample, this, 0, nullptr);
}

PrivateBytesPeak::~PrivateBytesPeak() {
    Stop();
}

DWORD WINAPI PrivateBytesPeak::Sample(void* self) {
    auto* peak = static_cast<PrivateBytesPeak*>(self);
    while (!peak->stop_) {
        const size_t now = PrivateBytesNow();
        if (now > peak->peak_) {
            peak->peak_ = now;
        }
        Sleep(1);
    }
    return 0;
}

size_t PrivateBytesPeak::Stop() {
    if (thread_ != nullptr) {
        stop_ = true;
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    const size_t now = PrivateBytesNow();
    return now > peak_ ? now : peak_.load();
}

}  // namespace devhost
