// An export's output file with the Windows calls, every path wide.
#include "tools/output_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cwchar>

namespace fs = std::filesystem;

namespace {

FileKind KindOf(const BY_HANDLE_FILE_INFORMATION& info, HANDLE file) {
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return FileKind::Link;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileKind::Folder;
    }
    return GetFileType(file) == FILE_TYPE_DISK ? FileKind::Regular : FileKind::Other;
}

}  // namespace

bool ReadFileFacts(const fs::path& path, LastLink last, FileFacts& facts) {
    // Only attributes are read: a file another program holds open still answers. Folders open
    // only with the backup flag.
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (last == LastLink::Keep ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool read = GetFileInformationByHandle(file, &info) != 0;
    if (read) {
        facts.volume = info.dwVolumeSerialNumber;
        facts.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        facts.kind = KindOf(info, file);
        facts.links = info.nNumberOfLinks;
        facts.readOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    }
    CloseHandle(file);
    return read;
}

bool MayShareFolders(const FileFacts&, const FileFacts&) {
    return true;
}

bool IsDeviceName(const fs::path& path) {
    // The system's own reading of the name: "NUL", "C:\x\nul.txt" and "\\.\NUL" all become
    // "\\.\NUL", which names no folder.
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length > 4 && length < MAX_PATH && std::wcsncmp(full, L"\\\\.\\", 4) == 0;
}

int CreateNewFile(const fs::path& path, bool) {
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

bool WriteAndClose(int fd, const std::string& text) {
    size_t done = 0;
    bool written = true;
    while (written && done < text.size()) {
        const int chunk = _write(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
        written = chunk > 0;
        done += written ? static_cast<size_t>(chunk) : 0;
    }
    const int savedErrno = errno;
    const bool closed = _close(fd) == 0;
    if (!written) {
        errno = savedErrno;
    }
    return written && closed;
}

std::FILE* OpenToOverwrite(const fs::path& path) {
    return _wfopen(path.c_str(), L"wb");
}

bool RemoveFile(const fs::path& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path.c_str()) != 0;
}
