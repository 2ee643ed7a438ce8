// File stamps from FindFirstFileW's listing; whole-file reads and replacement
// with Win32 calls.
#include "catalogue/file_stamps.h"

#include <windows.h>

#include <cwchar>
#include <utility>

#include "base/wide_text.h"

const int64_t kStampTicksPerSecond = 10000000;
const bool kStampNamesCaseBlind = true;

namespace {

int64_t Ticks(const FILETIME& time) {
    return static_cast<int64_t>((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

// False when `name` has no UTF-8 form (an unpaired surrogate): such a file is
// never matched, so it is read at every load.
bool Utf8FromWide(const wchar_t* name, PathText& text) {
    char bytes[4 * MAX_PATH];
    const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, name, -1, bytes,
                                         sizeof bytes, nullptr, nullptr);
    if (size <= 0) {
        return false;
    }
    text = PathText(bytes);
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

// The wide form of a UTF-8 path, or of an ANSI one that is not UTF-8, with
// `tail` after it; NUL-terminated.
std::vector<wchar_t> WidePath(const char* path, const wchar_t* tail) {
    std::vector<wchar_t> text;
    if (const WideText wide = WideFromUtf8(path)) {
        text.assign(wide.get(), wide.get() + std::wcslen(wide.get()));
    } else {
        const int size = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
        text.resize(static_cast<size_t>(size > 0 ? size : 1));
        MultiByteToWideChar(CP_ACP, 0, path, -1, text.data(), size);
        text.pop_back();
    }
    text.insert(text.end(), tail, tail + std::wcslen(tail) + 1);
    return text;
}

}  // namespace

bool ListFolderStamps(const char* folder, std::vector<StampedName>& names) {
    const std::vector<wchar_t> pattern = WidePath(folder, L"*");
    WIN32_FIND_DATAW found;
    const HANDLE search =
        FindFirstFileExW(pattern.data(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                         FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        PathText name;
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                       FILE_ATTRIBUTE_DEVICE)) == 0 &&
            Utf8FromWide(found.cFileName, name)) {
            const uint64_t size = (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
            names.push_back({std::move(name), {size, Ticks(found.ftLastWriteTime)}});
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

bool ReadWholeFile(const char* path, size_t limit, std::vector<char>& bytes) {
    bytes.clear();
    const HANDLE file = CreateFileW(WidePath(path, L"").data(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
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

bool ReplaceWholeFile(const char* path, const std::vector<char>& bytes) {
    const std::vector<wchar_t> target = WidePath(path, L"");
    const std::vector<wchar_t> temporary = WidePath(path, L".new");
    const HANDLE file = CreateFileW(temporary.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = WriteAll(file, bytes.data(), bytes.size());
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExW(temporary.data(), target.data(), MOVEFILE_REPLACE_EXISTING);
    if (!ok) {
        DeleteFileW(temporary.data());
    }
    return ok;
}
