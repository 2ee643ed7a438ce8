// The list control wrapper: attach, columns and the host's list font.
#include "view/list_view_binding.h"

#include <commctrl.h>

#include "host/host_requests.h"

void ListViewBinding::Attach(HWND listControl) {
    listControl_ = listControl;
    SendMessageA(listControl_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_UNDERLINEHOT);
    RefreshFont();
}

void ListViewBinding::InsertColumn(const char* title, int width) {
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(title);
    SendMessageA(listControl_, LVM_INSERTCOLUMNA, columnCount_, reinterpret_cast<LPARAM>(&column));
    ++columnCount_;
}

void ListViewBinding::RefreshFont() {
    if (font_ != nullptr) {
        DeleteObject(font_);
        SendMessageA(listControl_, WM_SETFONT, 0, 0);
    }
    font_ = nullptr;
    if (libraryWindow_ != nullptr && useHostFont_ != 0) {
        const LRESULT answer =
            AskLibraryWindow(libraryWindow_, LIBIPC_GET_SKIN_FUNCTION, SKINFN_LIST_FONT);
        if (answer != 0) {
            font_ = reinterpret_cast<HFONT>(answer);
            SendMessageA(listControl_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
        }
    }
    InvalidateRect(listControl_, nullptr, TRUE);
}

void ListViewBinding::Release() {
    if (font_ != nullptr) {
        DeleteObject(font_);
        font_ = nullptr;
    }
}
