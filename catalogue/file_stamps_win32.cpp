// File stamps from FindFirstFileW's listing; whole-file reads and replacement with Win32 calls.
#include "catalogue/file_stamps.h"

#include <windows.h>

#include <cwchar>

#include "base/wide_text.h"

const int64_t kStampTicksPerSecond = 10000000;
const bool kStampNamesCaseBlind = true;

namespace {

int64_t Ticks(const FILETIME& time) {
    return static_cast<int64_t>((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

// False when `name` has no UTF-8 form (an unpaired surrogate): such a file is
// never matched, so it is read at every load.
bool Utf8FromWide(const wchar_t* name, std::string& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return false;
    }
    text.assign(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name, -1, &text[0], size, nullptr, nullptr);
    text.resize(static_cast<size_t>(size - 1));
    return true;
}

// The file's handle is closed however the caller leaves.
struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() { CloseHandle(handle); }
};

bool WriteAll(HANDLE file, const char* bytes, size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

// The wide form of a UTF-8 path, or of an ANSI one that is not UTF-8.
std::wstring WidePath(const std::string& path) {
    if (const WideText wide = WideFromUtf8(path.c_str())) {
        return wide.get();
    }
    const int size = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring text(static_cast<size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &text[0], size);
    text.resize(text.size() - 1);
    return text;
}

}  // namespace

bool ListFolderStamps(const std::string& folder, std::vector<StampedName>& names) {
    const std::wstring pattern = WidePath(folder) + L"*";
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        std::string name;
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                       FILE_ATTRIBUTE_DEVICE)) == 0 &&
            Utf8FromWide(found.cFileName, name)) {
            const uint64_t size = (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
            names.push_back({name, {size, Ticks(found.ftLastWriteTime)}});
        }
    } while (FindNextFileW(search, &found));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return complete;
}

int64_t StampClock() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return Ticks(now);
}

bool ReadWholeFile(const std::string& path, size_t limit, std::vector<char>& bytes) {
    bytes.clear();
    const HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const HandleCloser closer{file};
    LARGE_INTEGER size;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) ||
        static_cast<unsigned long long>(size.QuadPart) > limit) {
        return false;
    }
    bytes.resize(static_cast<size_t>(size.QuadPart));
    for (size_t done = 0; done < bytes.size();) {
        DWORD got = 0;
        if (!ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                      nullptr) ||
            got == 0) {
            bytes.clear();
            return false;
        }
        done += got;
    }
    return true;
}

bool ReplaceWholeFile(const std::string& path, const std::vector<char>& bytes) {
    const std::wstring target = WidePath(path);
    const std::wstring temporary = target + L".new";
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = WriteAll(file, bytes.data(), bytes.size());
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!ok) {
        DeleteFileW(temporary.c_str());
    }
    return ok;
}
