// The progress line: the view's status line while the player is read, which
// happens inside one timer message with no message loop running.
#pragma once

#include <windows.h>

#include <cstdint>

#include "library/catalogue_import.h"
#include "library/read_progress_text.h"

// One read of the player for `view`, from construction to destruction; it
// holds everything the line shows. Handed to the catalogue import as its
// observer, it shows the load's progress, then the rows being added, each
// text after a quiet stretch and at most once an interval (see
// library/read_progress_text.h), set and painted at once since no message
// loop runs until the read is over. Cheap when no text is due; paints
// nothing once the view is gone. The last text stays after the read until
// the filter pass writes the usual status line.
class ReadProgressScope : public ImportObserver {
  public:
    explicit ReadProgressScope(HWND view);
    // Shows the last counts heard, as OnFinished does.
    ~ReadProgressScope() override { Flush(); }
    ReadProgressScope(const ReadProgressScope&) = delete;
    ReadProgressScope& operator=(const ReadProgressScope&) = delete;

    // `filesRead` catalogue files read so far, of `filesNamed` known so far.
    void OnProgress(int filesRead, int filesNamed) override {
        Show(Stage::Reading, filesRead, filesNamed);
    }
    // The files are all read: see Flush.
    void OnFinished() override { Flush(); }
    // The rows of `added` tracks of `total` are in the library: the stretch
    // after the files are read, paced as the reading is.
    void OnRowsAdded(int added, int total) override { Show(Stage::Adding, added, total); }

  private:
    enum class Stage { Reading, Adding };

    void Show(Stage stage, int32_t done, int32_t all);
    // A stretch is over. If a text was shown, the last counts heard are shown
    // too, so the line tells how it ended rather than lagging up to an
    // interval behind it. A read that showed nothing goes on showing nothing.
    void Flush();
    void Paint();

    HWND view_;
    ReadProgressPacer pacer_;
    // What the read is doing, the counts last heard, and whether the line shows
    // them yet.
    Stage stage_ = Stage::Reading;
    int32_t done_ = 0;
    int32_t all_ = 0;
    bool behind_ = false;
};
