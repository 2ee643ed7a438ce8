// Paints the progress line into the view's status control during a read.
#include "view/read_progress_line.h"

#include "resources/resource.h"
#include "view/read_progress.h"

namespace {

// Only one read runs at a time, on the host's UI thread.
HWND g_readingView = nullptr;
ReadProgressPacer g_pacer;
// The counts last heard, and whether the line shows them yet.
int32_t g_filesRead = 0;
int32_t g_filesNamed = 0;
bool g_behind = false;

void Paint(int32_t filesRead, int32_t filesNamed) {
    const HWND status = GetDlgItem(g_readingView, IDC_STATUS);
    if (status == nullptr) {
        return;  // the view went away during the read
    }
    char text[kReadProgressTextSize];
    FormatReadProgress(text, sizeof text, filesRead, filesNamed);
    SetWindowTextA(status, text);
    // The message loop waits for the read: paint now, not at its next turn.
    UpdateWindow(status);
    g_behind = false;
}

}  // namespace

void BeginReadProgress(HWND view) {
    g_readingView = view;
    g_behind = false;
    g_pacer.Start(GetTickCount());
}

void ShowReadProgress(int32_t filesRead, int32_t filesNamed) {
    if (g_readingView == nullptr) {
        return;
    }
    g_filesRead = filesRead;
    g_filesNamed = filesNamed;
    g_behind = true;
    if (g_pacer.Due(GetTickCount())) {
        Paint(filesRead, filesNamed);
    }
}

void FlushReadProgress() {
    if (g_readingView != nullptr && g_pacer.Shown() && g_behind) {
        Paint(g_filesRead, g_filesNamed);
    }
}

void EndReadProgress() {
    g_pacer.Stop();
    g_readingView = nullptr;
}
