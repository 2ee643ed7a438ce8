// Bounded diagnostic lines handed to the installed sink.
#include "base/debug_output.h"

#include <cstdarg>
#include <cstdio>

namespace {

DebugSink g_sink = nullptr;

}  // namespace

DebugSink SetDebugSink(DebugSink sink) {
    const DebugSink previous = g_sink;
    g_sink = sink;
    return previous;
}

void DebugPrintf(const char* format, ...) {
    if (g_sink == nullptr) {
        return;
    }
    char line[kDebugLineSize];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);  // cuts to 1023 and a NUL
    va_end(arguments);
    g_sink(line);
}
