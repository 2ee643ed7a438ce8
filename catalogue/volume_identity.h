// Which player a drive root names: what tells one player from another on the
// same drive letter, and a player seen before from a new one.
#pragma once

#include <cstdint>
#include <optional>

struct VolumeIdentity {
    // Windows: the volume serial number the file system was formatted with.
    // POSIX: the device number of the file system the root lies on.
    uint64_t serial = 0;
    // The player's index.mum in the root: its size and last-write time (in
    // the system's own units). Two volumes may report the same serial (Wine
    // gives every folder mapped as a drive the serial of its letter; cloned
    // cards share one); the player writes its index when it formats or
    // syncs, so two players differ here too.
    uint64_t indexSize = 0;
    int64_t indexWriteTime = 0;

    bool operator==(const VolumeIdentity& other) const {
        return serial == other.serial && indexSize == other.indexSize &&
               indexWriteTime == other.indexWriteTime;
    }
    bool operator!=(const VolumeIdentity& other) const { return !(*this == other); }
};

// The identity of the player mounted at `root` ("E:/" on Windows, a folder
// with its trailing slash natively); empty when no volume is mounted there,
// it holds no index.mum, or the system cannot say. Never asks the user to
// insert a disk.
std::optional<VolumeIdentity> ReadVolumeIdentity(const char* root);
