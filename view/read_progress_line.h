// The progress line: the view's status line while the player is read, which
// happens inside one timer message with no message loop running.
#pragma once

#include <windows.h>

#include <cstdint>

#include "catalogue/load_observer.h"

// A read of the player begins for `view`: its status line may now show
// progress (after a quiet stretch; see view/read_progress.h).
void BeginReadProgress(HWND view);

// The catalogue load's observer: `filesRead` catalogue files read so far, of
// `filesNamed` known so far. When a new text is due it is set and painted at
// once, since no message loop runs until the read is over. Cheap when not
// due; does nothing outside a read or once the view is gone.
void ShowReadProgress(int32_t filesRead, int32_t filesNamed);

// The files are all read. If a text was shown, the last counts heard are
// shown too, so the line tells how the read ended rather than lagging up to
// an interval behind it. A read that showed nothing goes on showing nothing.
void FlushReadProgress();

// The read is over. The last text stays until the filter pass writes the
// usual status line.
void EndReadProgress();

// Begins a read for `view` and ends it however the scope is left. Handed to
// the catalogue import as its load's observer, it shows the load's progress.
class ReadProgressScope : public LoadObserver {
  public:
    explicit ReadProgressScope(HWND view) { BeginReadProgress(view); }
    ~ReadProgressScope() override { EndReadProgress(); }
    ReadProgressScope(const ReadProgressScope&) = delete;
    ReadProgressScope& operator=(const ReadProgressScope&) = delete;

    void OnProgress(int filesRead, int filesNamed) override {
        ShowReadProgress(filesRead, filesNamed);
    }
    void OnFinished() override { FlushReadProgress(); }
};
