// Device paths by the system's own reading of a name.
#include "tools/kovra-catalogue/system/windows_device_names.h"

#include <windows.h>

#include <cwchar>

bool IsWindowsDeviceName(const std::filesystem::path& path) {
    // The system's own reading of the name: "NUL", "C:\x\nul.txt" and "\\.\NUL"
    // all become "\\.\NUL", which names no folder. "\\.\C:\x.csv" and
    // "\\.\UNC\server\share\x.csv" name files in folders, as their "\\?\" forms
    // do.
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    const bool onDrive = length > 6 && full[5] == L':' && full[6] == L'\\';
    return length > 4 && length < MAX_PATH && std::wcsncmp(full, L"\\\\.\\", 4) == 0 && !onDrive &&
           std::wcsncmp(full + 4, L"UNC\\", 4) != 0;
}
