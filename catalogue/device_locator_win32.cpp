// The device locator, on the Windows drive and file services.
#include "catalogue/device_locator.h"

#include <windows.h>

#include <cstdio>

#include "catalogue/catalogue_records.h"
#include "catalogue/critical_error_boxes_win32.h"

namespace {

// Opens and at once closes the file, so that no handle stays behind.
bool CanOpenForReading(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

}  // namespace

void LocateDevice(DeviceCatalogue& catalogue) {
    // Empty card-reader slots and floppy drives would each ask the user to
    // insert a disk.
    const CriticalErrorBoxesOff quiet;
    for (char letter = 'A'; letter <= 'Y'; ++letter) {
        char root[4];
        std::snprintf(root, sizeof root, "%c:/", letter);
        if (GetDriveTypeA(root) != DRIVE_REMOVABLE) {
            continue;
        }
        char probe[1024];
        std::snprintf(probe, sizeof probe, "%sindex.mum", root);
        if (CanOpenForReading(probe)) {
            catalogue.SetDriveRoot(root);
            return;
        }
    }
}
