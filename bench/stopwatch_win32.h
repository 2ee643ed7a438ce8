// Wall-clock time for the Windows probes, from the system's performance
// counter.
#pragma once

#include <windows.h>

// Milliseconds since `start`, a reading of QueryPerformanceCounter.
inline double Milliseconds(const LARGE_INTEGER& start) {
    LARGE_INTEGER end, frequency;
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}
