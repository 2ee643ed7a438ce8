// A player's folder moved in and out of a mapped drive, with the system's
// broadcasts.
#include "devhost/player_plug.h"

#include <dbt.h>

#include <cctype>
#include <utility>

namespace devhost {

namespace {

constexpr UINT kAnswerTimeout = 5000;

struct NewsOfVolume {
    DEV_BROADCAST_VOLUME volume;
    WPARAM event;
};

BOOL CALLBACK TellWindow(HWND window, LPARAM data) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        auto* news = reinterpret_cast<NewsOfVolume*>(data);
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, WM_DEVICECHANGE, news->event,
                            reinterpret_cast<LPARAM>(&news->volume), SMTO_ABORTIFHUNG,
                            kAnswerTimeout, &answer);
    }
    return TRUE;
}

}  // namespace

void BroadcastVolumeNews(char letter, bool arrived) {
    NewsOfVolume news = {};
    news.volume.dbcv_size = sizeof news.volume;
    news.volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    news.volume.dbcv_unitmask = 1u << (letter - 'A');
    news.event = arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE;
    EnumWindows(TellWindow, reinterpret_cast<LPARAM>(&news));
}

PlayerSlot::PlayerSlot(char letter, std::string driveFolder)
    : letter_(static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))),
      driveFolder_(std::move(driveFolder)) {
    RemoveDirectoryA(driveFolder_.c_str());  // only an empty one goes
}

PlayerSlot::~PlayerSlot() {
    Join();
}

bool PlayerSlot::Plug(const std::string& image, Broadcast how) {
    if (!MoveFileExA(image.c_str(), driveFolder_.c_str(), 0)) {
        return false;
    }
    Tell(true, how);
    return true;
}

bool PlayerSlot::Pull(const std::string& parkAs, Broadcast how) {
    if (!MoveFileExA(driveFolder_.c_str(), parkAs.c_str(), 0)) {
        return false;
    }
    Tell(false, how);
    return true;
}

void PlayerSlot::Tell(bool arrived, Broadcast how) {
    Join();
    if (how == Broadcast::kNow) {
        BroadcastVolumeNews(letter_, arrived);
    } else {
        told_ = false;
        news_ = std::thread([this, arrived] {
            BroadcastVolumeNews(letter_, arrived);
            told_ = true;
        });
    }
}

// The news waits for this thread's windows: their sent messages are
// answered while waiting, and nothing posted is taken.
void PlayerSlot::Join() {
    if (!news_.joinable()) {
        return;
    }
    while (!told_) {
        MSG none;
        PeekMessageA(&none, nullptr, WM_APP + 0x3FFE, WM_APP + 0x3FFE, PM_NOREMOVE);
        Sleep(1);
    }
    news_.join();
}

std::string WindowsPathOfUnix(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

}  // namespace devhost
