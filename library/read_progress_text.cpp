// Pacing and wording of the progress line shown while the player is read.
#include "library/read_progress_text.h"

#include <cstdio>

void ReadProgressPacer::Start(uint32_t now) {
    running_ = true;
    shown_ = false;
    start_ = now;
    lastShown_ = now;
}

bool ReadProgressPacer::Due(uint32_t now) {
    if (!running_) {
        return false;
    }
    // Unsigned differences stay right across a wrap of the clock.
    const bool quietOver = now - start_ >= kReadProgressQuietMs;
    const bool intervalOver = !shown_ || now - lastShown_ >= kReadProgressIntervalMs;
    if (!quietOver || !intervalOver) {
        return false;
    }
    shown_ = true;
    lastShown_ = now;
    return true;
}

namespace {

// `format` takes the count done, then the count in all (never below it).
void FormatCounts(char* buffer, size_t size, const char* format, int32_t done, int32_t all) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const long doneCount = done > 0 ? done : 0;
    const long allCount = all > doneCount ? all : doneCount;
    std::snprintf(buffer, size, format, doneCount, allCount);
}

}  // namespace

void FormatReadProgress(char* buffer, size_t size, int32_t filesRead, int32_t filesNamed) {
    FormatCounts(buffer, size, "Reading the player... %ld of %ld catalogue files", filesRead,
                 filesNamed);
}

void FormatAddingProgress(char* buffer, size_t size, int32_t added, int32_t total) {
    FormatCounts(buffer, size, "Adding songs to the list... %ld of %ld", added, total);
}
