// Where the host calls the plug-in: nothing thrown may cross back into the
// host.
#pragma once

#include <type_traits>

// The catalogue and the C++ runtime may throw std::bad_alloc when memory runs
// out; the library's own rows never throw. Every entry point the host calls
// (init, quit, the message handler, the view's dialog procedure and with it
// its timers) runs its work through AnswerHost, which gives the host
// `fallback` instead of an exception; the work already done stays done.
template <typename Result, typename Work>
Result AnswerHost(Result fallback, Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        return fallback;
    }
}

// The same for entry points that answer nothing.
template <typename Work>
void RunForHost(Work&& work) noexcept {
    try {
        work();
    } catch (...) {
    }
}
