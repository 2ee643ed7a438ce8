// The process's private bytes (its committed memory of its own), now and at
// the highest a sampling thread saw while it ran.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>

namespace devhost {

// What the process holds now, in bytes; 0 when the system does not say.
size_t PrivateBytesNow();

// Samples the private bytes about every millisecond from a thread of its own
// until stopped, so the highest point inside a long host call is seen.
class PrivateBytesPeak {
  public:
    PrivateBytesPeak();
    ~PrivateBytesPeak();
    PrivateBytesPeak(const PrivateBytesPeak&) = delete;
    PrivateBytesPeak& operator=(const PrivateBytesPeak&) = delete;

    // Stops sampling (once) and answers the highest sample.
    size_t Stop();

  private:
    static DWORD WINAPI Sample(void* self);

    std::atomic<bool> stop_{false};
    std::atomic<size_t> peak_{0};
    HANDLE thread_ = nullptr;
};

}  // namespace devhost
