// Pacing and wording of the progress line shown while the player is read.
#include "view/read_progress.h"

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

void FormatReadProgress(char* buffer, size_t size, int32_t filesRead, int32_t filesNamed) {
    if (buffer == nullptr || size == 0) {
        return;
    }
    const long read = filesRead > 0 ? filesRead : 0;
    const long named = filesNamed > read ? filesNamed : read;
    std::snprintf(buffer, size, "Reading the player... %ld of %ld catalogue files", read, named);
}
