// Reading a catalogue file with the Windows calls: only disk files, never
// blocking on others.
#include "catalogue/catalogue_file.h"

#include <windows.h>

#include <cstdint>

#include "base/utf8_text.h"
#include "base/wide_text.h"
#include "catalogue/file_stamps.h"
#include "catalogue/xml_buffer.h"

namespace {

// Why `path` could not be opened. A folder cannot be opened as a file; it is
// told apart only here, so a file that opens costs no extra look-up.
// `wide` is the name last tried, when it was the wide one.
FileReadStatus OpenFailure(const char* path, const wchar_t* wide, DWORD error) {
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
        error == ERROR_INVALID_NAME || error == ERROR_FILENAME_EXCED_RANGE) {
        return FileReadStatus::Missing;
    }
    const DWORD attributes = wide != nullptr ? GetFileAttributesW(wide) : GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileReadStatus::NotRegularFile;
    }
    return FileReadStatus::Unreadable;
}

// Reads exactly `size` bytes; ReadFile takes at most 4 GB minus one at a time.
bool ReadAll(HANDLE file, char* into, size_t size) {
    while (size > 0) {
        DWORD got = 0;
        if (!ReadFile(file, into, static_cast<DWORD>(size), &got, nullptr) || got == 0) {
            return false;
        }
        into += got;
        size -= got;
    }
    return true;
}

FileReadStatus ReadOpenFile(HANDLE file, size_t limit, XmlBuffer& buffer, FileStamp* stamp) {
    // A console, serial port or pipe (which a name like "CON" or "COM1" opens
    // in any folder) is no file: reading it could wait for ever.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        return FileReadStatus::NotRegularFile;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        return FileReadStatus::Unreadable;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > limit) {
        return FileReadStatus::TooLarge;
    }
    const size_t bytes = static_cast<size_t>(size.QuadPart);
    if (stamp != nullptr) {
        // In the units of ListFolderStamps (file_stamps_win32.cpp). A time
        // that cannot be had is taken as the latest there is: one that cannot
        // tell whether the file changed.
        FILETIME written;
        stamp->size = static_cast<uint64_t>(size.QuadPart);
        stamp->writeTime = GetFileTime(file, nullptr, nullptr, &written)
                               ? static_cast<int64_t>((uint64_t{written.dwHighDateTime} << 32) |
                                                      written.dwLowDateTime)
                               : INT64_MAX;
    }
    if (!ReadAll(file, buffer.Reserve(bytes), bytes)) {
        buffer.Reserve(0);
        return FileReadStatus::Unreadable;
    }
    buffer.Prepare(bytes);
    return FileReadStatus::Read;
}

}  // namespace

FileReadStatus ReadCatalogueFile(const char* path, size_t limit, XmlBuffer& buffer,
                                 FileStamp* stamp) {
    buffer.Reserve(0);
    // Shared for writing too: the player's own files may be open elsewhere.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    // The catalogue names its files in UTF-8, which the code page may read as
    // other characters: such a name is tried again by its wide form.
    WideText wide;
    if (file == INVALID_HANDLE_VALUE && IsNonAsciiUtf8(path) && (wide = WideFromUtf8(path))) {
        file = CreateFileW(wide.get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        error = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    }
    if (file == INVALID_HANDLE_VALUE) {
        return OpenFailure(path, wide.get(), error);
    }
    // Closed also when the buffer's memory runs out: a handle left open
    // would keep the player from being ejected.
    const struct Closer {
        HANDLE file;
        ~Closer() { CloseHandle(file); }
    } closer{file};
    return ReadOpenFile(file, limit, buffer, stamp);
}
