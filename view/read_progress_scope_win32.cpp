// Paints the progress line into the view's status control during a read.
#include "view/read_progress_scope.h"

#include "resources/resource.h"

ReadProgressScope::ReadProgressScope(HWND view) : view_(view) {
    pacer_.Start(GetTickCount());
}

void ReadProgressScope::Show(Stage stage, int32_t done, int32_t all) {
    stage_ = stage;
    done_ = done;
    all_ = all;
    behind_ = true;
    if (pacer_.Due(GetTickCount())) {
        Paint();
    }
}

void ReadProgressScope::Flush() {
    if (pacer_.Shown() && behind_) {
        Paint();
    }
}

void ReadProgressScope::Paint() {
    const HWND status = GetDlgItem(view_, IDC_STATUS);
    if (status == nullptr) {
        return;  // the view went away during the read
    }
    char text[kReadProgressTextSize];
    if (stage_ == Stage::Reading) {
        FormatReadProgress(text, sizeof text, done_, all_);
    } else {
        FormatAddingProgress(text, sizeof text, done_, all_);
    }
    SetWindowTextA(status, text);
    // The message loop waits for the read: paint now, not at its next turn.
    UpdateWindow(status);
    behind_ = false;
}
