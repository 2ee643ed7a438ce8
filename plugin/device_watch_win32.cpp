// The hidden window that hears the system's volume broadcasts.
#include "plugin/device_watch.h"

#include <dbt.h>

namespace {

constexpr char kWatchClass[] = "KovraDeviceWatch";
constexpr UINT_PTR kLookTimer = 1;
// News of one drive come in bursts (a card's volume, then its letter): one
// look after the burst.
constexpr UINT kLookDelay = 50;
// While the host holds lent rows, the look waits this long at a time.
constexpr UINT kRetryDelay = 100;
// Drive letters A to Y in a unit mask; Z is never a player's.
constexpr DWORD kPlayerLetters = (1u << 25) - 1;

PlayerLook g_look = nullptr;

bool IsPlayerVolumeNews(WPARAM event, LPARAM data) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) {
        return false;
    }
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (header == nullptr || header->dbch_devicetype != DBT_DEVTYP_VOLUME ||
        header->dbch_size < sizeof(DEV_BROADCAST_VOLUME)) {
        return false;
    }
    const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(data);
    return (volume->dbcv_unitmask & kPlayerLetters) != 0;
}

// The look runs from the timer, not inside the broadcast: the system waits
// for every window's answer, and reading a player takes a while.
void OnLookTimer(HWND watch) {
    KillTimer(watch, kLookTimer);
    if (g_look != nullptr && !g_look()) {
        SetTimer(watch, kLookTimer, kRetryDelay, nullptr);
    }
}

LRESULT CALLBACK WatchProc(HWND watch, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DEVICECHANGE:
            if (IsPlayerVolumeNews(wParam, lParam)) {
                SetTimer(watch, kLookTimer, kLookDelay, nullptr);
            }
            return TRUE;
        case WM_TIMER:
            if (wParam == kLookTimer) {
                OnLookTimer(watch);
            }
            return 0;
        default:
            return DefWindowProcA(watch, message, wParam, lParam);
    }
}

}  // namespace

HWND StartDeviceWatch(HINSTANCE module, PlayerLook look) {
    WNDCLASSA watchClass = {};
    watchClass.lpfnWndProc = WatchProc;
    watchClass.hInstance = module;
    watchClass.lpszClassName = kWatchClass;
    // A class left by a copy of the module that was never quit would call
    // into code that is gone.
    UnregisterClassA(kWatchClass, module);
    if (RegisterClassA(&watchClass) == 0) {
        return nullptr;
    }
    g_look = look;
    // Not a message-only window: those hear no broadcasts.
    const HWND watch = CreateWindowExA(WS_EX_TOOLWINDOW, kWatchClass, "", WS_POPUP, 0, 0, 0, 0,
                                       nullptr, nullptr, module, nullptr);
    if (watch == nullptr) {
        UnregisterClassA(kWatchClass, module);
    }
    return watch;
}

void StopDeviceWatch(HWND watch, HINSTANCE module) {
    if (watch == nullptr) {
        return;
    }
    DestroyWindow(watch);
    UnregisterClassA(kWatchClass, module);
    g_look = nullptr;
}
