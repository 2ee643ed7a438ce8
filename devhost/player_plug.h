// Plugging a player in and pulling it out as the system under the stand-in
// host would: the image's folder moves into or out of the folder a drive
// letter is mapped to (tests/windows/with-drives maps it), and the top-level
// windows of this process hear the volume arrive or leave.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace devhost {

// When the windows hear the news: at once (each window's answer awaited,
// as from the system), or from a thread of its own, which the host's thread
// answers when it next looks for messages (a thread busy reading a player
// hears it only after the read).
enum class Broadcast { kNow, kFromAnotherThread };

// Sends WM_DEVICECHANGE, DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE, with
// a DEV_BROADCAST_VOLUME for `letter` to every top-level window of this
// process, each answer awaited for at most 5 s.
void BroadcastVolumeNews(char letter, bool arrived);

// One drive letter and the folder it is mapped to. Windows paths; the images
// moved in and out lie on the same file system as that folder.
class PlayerSlot {
  public:
    // An empty folder left at `driveFolder` (with-drives makes one) is
    // removed: nothing is plugged in.
    PlayerSlot(char letter, std::string driveFolder);
    // Waits for a broadcast still under way, answering this thread's part of
    // it.
    ~PlayerSlot();
    PlayerSlot(const PlayerSlot&) = delete;
    PlayerSlot& operator=(const PlayerSlot&) = delete;

    // Moves the folder `image` in as the drive's folder, then broadcasts its
    // arrival. False (and no news) when the move fails, e.g. a player is in.
    bool Plug(const std::string& image, Broadcast how = Broadcast::kNow);
    // Moves the drive's folder out to `parkAs`, then broadcasts that it left.
    bool Pull(const std::string& parkAs, Broadcast how = Broadcast::kNow);

    char Letter() const { return letter_; }
    const std::string& DriveFolder() const { return driveFolder_; }

  private:
    void Tell(bool arrived, Broadcast how);
    void Join();

    char letter_;
    std::string driveFolder_;
    std::thread news_;
    std::atomic<bool> told_{true};
};

// The Windows path of a Unix path through drive Z:, which wine maps to "/".
std::string WindowsPathOfUnix(const std::string& unixPath);

}  // namespace devhost
