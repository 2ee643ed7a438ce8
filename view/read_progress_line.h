// The progress line: the view's status line while the player is read, which
// happens inside one timer message with no message loop running.
#pragma once

#include <windows.h>

#include <cstdint>

#include "library/catalogue_import.h"

// A read of the player begins for `view`: its status line may now show
// progress (after a quiet stretch; see view/read_progress.h).
void BeginReadProgress(HWND view);

// The catalogue load's observer: `filesRead` catalogue files read so far, of
// `filesNamed` known so far. When a new text is due it is set and painted at
// once, since no message loop runs until the read is over. Cheap when not
// due; does nothing outside a read or once the view is gone.
void ShowReadProgress(int32_t filesRead, int32_t filesNamed);

// The rows of `added` tracks of `total` are in the library: the stretch after
// the files are read, paced and painted as ShowReadProgress does.
void ShowAddingProgress(int32_t added, int32_t total);

// A stretch is over. If a text was shown, the last counts heard are shown
// too, so the line tells how it ended rather than lagging up to an interval
// behind it. A read that showed nothing goes on showing nothing.
void FlushReadProgress();

// The read is over. The last text stays until the filter pass writes the
// usual status line.
void EndReadProgress();

// Begins a read for `view` and ends it however the scope is left. Handed to
// the catalogue import as its observer, it shows the load's progress, then
// the rows being added, and at its end how far they came.
class ReadProgressScope : public ImportObserver {
  public:
    explicit ReadProgressScope(HWND view) { BeginReadProgress(view); }
    ~ReadProgressScope() override {
        FlushReadProgress();
        EndReadProgress();
    }
    ReadProgressScope(const ReadProgressScope&) = delete;
    ReadProgressScope& operator=(const ReadProgressScope&) = delete;

    void OnProgress(int filesRead, int filesNamed) override {
        ShowReadProgress(filesRead, filesNamed);
    }
    void OnFinished() override { FlushReadProgress(); }
    void OnRowsAdded(int added, int total) override { ShowAddingProgress(added, total); }
};
