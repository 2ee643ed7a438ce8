// Diagnostic lines for a debugger: formatted, bounded, handed to a sink.
#pragma once

#include <cstddef>

// Receives each NUL-terminated line; the Windows build installs one that
// writes to the debugger output. Without a sink, lines go nowhere.
using DebugSink = void (*)(const char* line);

// Installs `sink` (null for none) and returns the one it replaces.
DebugSink SetDebugSink(DebugSink sink);

// printf-style; the line is cut to 1023 characters.
void DebugPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

constexpr size_t kDebugLineSize = 1024;
