// Test helper: a filename used as the host uses it, opened with the ANSI file
// functions.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// True when CreateFileA opens `path` for reading (the handle is closed at
// once).
inline bool HostOpens(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

}  // namespace testing_support
