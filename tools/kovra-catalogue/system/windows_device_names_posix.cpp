// Device paths on a POSIX system: none. A device of the native build is a file
// in /dev, and its facts say it is no regular file.
#include "tools/kovra-catalogue/system/windows_device_names.h"

bool IsWindowsDeviceName(const std::filesystem::path&) {
    return false;
}
