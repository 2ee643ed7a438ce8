// Draws and clears the progress line of a player read on a terminal.
#include "tools/kovra-catalogue/progress_line.h"

#include <chrono>
#include <cstdint>
#include <cstring>

#include "tools/kovra-catalogue/system/system_text.h"

namespace {

uint32_t NowMs() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* to) : to_(to), terminal_(IsTerminal(to)) {
    if (terminal_) {
        pacer_.Start(NowMs());
    }
}

void ProgressLine::OnProgress(int filesRead, int filesNamed) {
    if (!pacer_.Due(NowMs())) {
        return;
    }
    char text[kReadProgressTextSize];
    FormatReadProgress(text, sizeof text, filesRead, filesNamed);
    const size_t length = std::strlen(text);
    // A shorter text than the one before leaves none of the old one behind.
    const int blank = drawn_ > length ? static_cast<int>(drawn_ - length) : 0;
    std::fprintf(to_, "\r%s%*s", text, blank, "");
    std::fflush(to_);
    drawn_ = length > drawn_ ? length : drawn_;
}

void ProgressLine::Clear() {
    pacer_.Stop();
    if (drawn_ > 0) {
        std::fprintf(to_, "\r%*s\r", static_cast<int>(drawn_), "");
        std::fflush(to_);
        drawn_ = 0;
    }
}
