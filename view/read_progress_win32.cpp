// Paints the progress line into the view's status control during a read.
#include "view/read_progress_line.h"

#include "resources/resource.h"
#include "view/read_progress.h"

namespace {

// Only one read runs at a time, on the host's UI thread.
HWND g_readingView = nullptr;
ReadProgressPacer g_pacer;

}  // namespace

void BeginReadProgress(HWND view) {
    g_readingView = view;
    g_pacer.Start(GetTickCount());
}

void ShowReadProgress(int32_t filesRead, int32_t filesNamed) {
    if (g_readingView == nullptr || !g_pacer.Due(GetTickCount())) {
        return;
    }
    const HWND status = GetDlgItem(g_readingView, IDC_STATUS);
    if (status == nullptr) {
        return;  // the view went away during the read
    }
    char text[kReadProgressTextSize];
    FormatReadProgress(text, sizeof text, filesRead, filesNamed);
    SetWindowTextA(status, text);
    // The message loop waits for the read: paint now, not at its next turn.
    UpdateWindow(status);
}

void EndReadProgress() {
    g_pacer.Stop();
    g_readingView = nullptr;
}
