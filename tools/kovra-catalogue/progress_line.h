// The line on a terminal's standard error that tells how far reading the player
// has come.
#pragma once

#include <cstddef>
#include <cstdio>

#include "catalogue/load_observer.h"
#include "library/read_progress_text.h"

// Draws "Reading the player... 12 of 340 catalogue files" in place (each text
// returns to the start of the line with CR), paced as the library view paces
// its status line, so a small player draws nothing. Draws nothing at all when
// the stream is not a terminal.
class ProgressLine : public LoadObserver {
  public:
    explicit ProgressLine(std::FILE* to);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void OnProgress(int filesRead, int filesNamed) override;
    // Blanks whatever was drawn and puts the cursor back at the line's start:
    // call at the end of the read, before anything else is printed.
    void Clear();

  private:
    std::FILE* to_;
    bool terminal_;
    ReadProgressPacer pacer_;
    size_t drawn_ = 0;  // characters on the line
};
