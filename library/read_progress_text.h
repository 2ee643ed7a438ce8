// When the view's status line tells how far reading the player has come, and
// in what words. Times are milliseconds from any clock that counts up and may
// wrap at 2^32 (the system tick count does).
#pragma once

#include <cstddef>
#include <cstdint>

// Nothing is shown during the first stretch of a read, so a small player
// never flickers a progress text that is gone at once.
constexpr uint32_t kReadProgressQuietMs = 100;
// A new text at most this often: each one is painted while the read waits.
constexpr uint32_t kReadProgressIntervalMs = 100;

constexpr size_t kReadProgressTextSize = 128;

// Paces the progress texts of one read. Not started: nothing is ever due.
class ReadProgressPacer {
  public:
    // A read begins at `now`; whatever an earlier read showed is forgotten.
    void Start(uint32_t now);
    // The read is over: nothing is due until the next Start.
    void Stop() { running_ = false; }
    // True once a text of this read was due.
    bool Shown() const { return shown_; }

    // True when a progress text should be shown at `now`: the quiet stretch
    // is over and the last text shown is at least an interval old. A true
    // answer counts as shown.
    bool Due(uint32_t now);

  private:
    bool running_ = false;
    bool shown_ = false;
    uint32_t start_ = 0;
    uint32_t lastShown_ = 0;
};

// "Reading the player... 12 of 340 catalogue files" into `buffer` (cut to
// fit, always NUL-terminated). Negative counts count as 0, and the files
// named never show fewer than the files read.
void FormatReadProgress(char* buffer, size_t size, int32_t filesRead, int32_t filesNamed);

// "Adding songs to the list... 1200 of 5000", the stretch after the read,
// formatted as FormatReadProgress does.
void FormatAddingProgress(char* buffer, size_t size, int32_t added, int32_t total);
