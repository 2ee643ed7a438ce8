// Finding and reading the modal windows of this process from another thread.
#include "devhost/modal_windows.h"

#include <utility>

namespace devhost {

namespace {

constexpr UINT kReadTimeout = 1000;  // ms
constexpr int kMaxText = 4096;

bool OfThisProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM found) {
    if (OfThisProcess(window)) {
        reinterpret_cast<std::set<HWND>*>(found)->insert(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectControl(HWND window, LPARAM found) {
    FoundControl control;
    control.id = GetDlgCtrlID(window);
    control.windowClass = ClassOf(window);
    control.text = TextOf(window);
    control.enabled = IsWindowEnabled(window) != FALSE;
    reinterpret_cast<std::vector<FoundControl>*>(found)->push_back(std::move(control));
    return TRUE;
}

bool Matches(HWND window, const WindowMatch& match) {
    return IsWindowVisible(window) && ClassOf(window) == match.windowClass &&
           (!match.caption || TextOf(window) == *match.caption);
}

HMENU MenuShownBy(HWND menuWindow) {
    DWORD_PTR menu = 0;
    if (!SendMessageTimeoutA(menuWindow, MN_GETHMENU, 0, 0, SMTO_NORMAL, kReadTimeout, &menu)) {
        return nullptr;
    }
    return reinterpret_cast<HMENU>(menu);
}

FoundMenuItem MenuItemAt(HMENU menu, int position) {
    char text[kMaxText] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    FoundMenuItem item;
    if (GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) {
        item.id = info.wID;
        item.text = text;
        item.separator = (info.fType & MFT_SEPARATOR) != 0;
        item.grayed = (info.fState & MFS_GRAYED) != 0;
        item.checked = (info.fState & MFS_CHECKED) != 0;
    }
    return item;
}

}  // namespace

std::set<HWND> TopLevelWindows() {
    std::set<HWND> windows;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindWindowMatching(const WindowMatch& match, const std::set<HWND>& ignored) {
    for (HWND window : TopLevelWindows()) {
        if (ignored.count(window) == 0 && Matches(window, match)) {
            return window;
        }
    }
    return nullptr;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[kMaxText] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, kReadTimeout, &ignored);
    text[sizeof text - 1] = 0;
    return text;
}

std::vector<FoundControl> ControlsOf(HWND window) {
    std::vector<FoundControl> controls;
    EnumChildWindows(window, CollectControl, reinterpret_cast<LPARAM>(&controls));
    return controls;
}

std::vector<FoundMenuItem> MenuItemsOf(HWND menuWindow) {
    std::vector<FoundMenuItem> items;
    HMENU menu = MenuShownBy(menuWindow);
    const int count = menu != nullptr ? GetMenuItemCount(menu) : 0;
    for (int position = 0; position < count; ++position) {
        items.push_back(MenuItemAt(menu, position));
    }
    return items;
}

}  // namespace devhost
