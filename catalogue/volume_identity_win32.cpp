// A player's identity from its volume's serial number and its index file.
#include "catalogue/volume_identity.h"

#include <windows.h>

#include <cstdio>

#include "catalogue/critical_error_boxes_win32.h"

std::optional<VolumeIdentity> ReadVolumeIdentity(const char* root) {
    const CriticalErrorBoxesOff quiet;  // an empty card slot would ask for a disk
    DWORD serial = 0;
    if (!GetVolumeInformationA(root, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) {
        return std::nullopt;
    }
    WIN32_FILE_ATTRIBUTE_DATA index;
    // A plain buffer: the DLL links no std::string, whose compiled code
    // would bring the runtime's own throw helpers.
    char indexPath[MAX_PATH];
    const int length = std::snprintf(indexPath, sizeof indexPath, "%sindex.mum", root);
    if (length < 0 || length >= static_cast<int>(sizeof indexPath) ||
        !GetFileAttributesExA(indexPath, GetFileExInfoStandard, &index) ||
        (index.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    VolumeIdentity identity;
    identity.serial = serial;
    identity.indexSize = (uint64_t{index.nFileSizeHigh} << 32) | index.nFileSizeLow;
    identity.indexWriteTime =
        static_cast<int64_t>((uint64_t{index.ftLastWriteTime.dwHighDateTime} << 32) |
                             index.ftLastWriteTime.dwLowDateTime);
    return identity;
}
