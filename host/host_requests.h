// Requests to the host's two windows: the one place that knows how each is
// addressed.
#pragma once

#include "host/host_api.h"

// A request to the host's library window: WM_LIBRARY_IPC, the code in lParam
// and the request's data (a number or a record's address) in wParam. Returns
// the host's answer, 0 without a window.
inline LRESULT AskLibraryWindow(HWND libraryWindow, LPARAM code, WPARAM data) {
    return SendMessageA(libraryWindow, WM_LIBRARY_IPC, data, code);
}

template <typename Record>
LRESULT AskLibraryWindow(HWND libraryWindow, LPARAM code, Record* record) {
    return AskLibraryWindow(libraryWindow, code, reinterpret_cast<WPARAM>(record));
}

// A request to the host's main window: kHostMainRequest with the code in
// lParam.
inline LRESULT AskMainWindow(HWND mainWindow, LPARAM code) {
    return SendMessageA(mainWindow, kHostMainRequest, 0, code);
}
