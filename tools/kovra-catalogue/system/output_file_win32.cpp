// An export's output file with the Windows calls, every path wide.
#include "tools/kovra-catalogue/system/output_file.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

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

bool StartsWith(const std::wstring& text, const wchar_t* start) {
    return text.compare(0, std::wcslen(start), start) == 0;
}

// "\\?\UNC\server\share": the root of a share, which opens only with a
// separator after it.
bool IsShareRoot(const std::wstring& path) {
    const size_t server = std::wcslen(L"\\\\?\\UNC\\");
    const size_t share = path.find(L'\\', server);
    return StartsWith(path, L"\\\\?\\UNC\\") && share != std::wstring::npos &&
           path.find(L'\\', share + 1) == std::wstring::npos;
}

// The total size of the volume holding `folder`; 0 when the system cannot say.
uint64_t VolumeSize(const fs::path& folder) {
    std::wstring name = SystemPath(folder).native();
    if (name.back() != L'\\') {
        name += L'\\';  // a share's root is named so only
    }
    ULARGE_INTEGER available;
    ULARGE_INTEGER total;
    return GetDiskFreeSpaceExW(name.c_str(), &available, &total, nullptr) ? total.QuadPart : 0;
}

// Wine numbers a folder's volume after the drive letter mapped nearest above
// it, so that two letters of one file system give different serial numbers;
// Windows gives a volume's own.
bool SerialsTellVolumesApart() {
    static const bool windows =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
    return windows;
}

}  // namespace

bool AbsolutePath(const fs::path& given, fs::path& absolute, std::error_code& error) {
    if (StartsWith(given.native(), L"\\\\?\\")) {
        absolute = given;  // the system reads it as it is: no folder is put before it
        return true;
    }
    const DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = size > 0 ? GetFullPathNameW(given.c_str(), size, &full[0], nullptr) : 0;
    if (length == 0 || length >= size) {
        error.assign(static_cast<int>(GetLastError()), std::system_category());
        return false;
    }
    full.resize(length);
    absolute = full;
    return true;
}

fs::path SystemPath(const fs::path& absolute) {
    std::wstring path = absolute.native();
    if (StartsWith(path, L"\\\\?\\")) {
        return absolute;
    }
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;  // the "\\?\" form takes no other separator
    }
    if (StartsWith(path, L"\\\\.\\")) {
        return L"\\\\?\\" + path.substr(4);  // the same names, read as they are
    }
    if (StartsWith(path, L"\\\\")) {
        return L"\\\\?\\UNC\\" + path.substr(2);
    }
    const bool onDrive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    return onDrive ? fs::path(L"\\\\?\\" + path) : absolute;
}

bool WrittenName(const fs::path& file, fs::path& target, std::error_code&) {
    target = SystemPath(file);
    return true;
}

fs::path FolderOf(const fs::path& file) {
    std::wstring folder = file.parent_path().native();
    if ((!folder.empty() && folder.back() == L':') || IsShareRoot(folder)) {
        folder += L'\\';
    }
    return folder;
}

bool OnDifferentVolumes(const fs::path& one, const fs::path& other) {
    FileFacts oneFacts;
    FileFacts otherFacts;
    if (SerialsTellVolumesApart() && ReadFileFacts(one, LastLink::Follow, oneFacts) &&
        ReadFileFacts(other, LastLink::Follow, otherFacts) &&
        oneFacts.volume != otherFacts.volume) {
        return true;
    }
    const uint64_t oneSize = VolumeSize(one);
    const uint64_t otherSize = VolumeSize(other);
    return oneSize != 0 && otherSize != 0 && oneSize != otherSize;
}

bool ReadFileFacts(const fs::path& path, LastLink last, FileFacts& facts) {
    // Only attributes are read: a file another program holds open still
    // answers. Folders open only with the backup flag.
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (last == LastLink::Keep ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const HANDLE file = CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES,
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

int CreateNewFile(const fs::path& path, bool) {
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}

long WriteSome(int fd, const char* data, size_t size) {
    return _write(fd, data, static_cast<unsigned>(size));
}

bool CloseFile(int fd) {
    return _close(fd) == 0;
}

void MakeStdoutBinary() {
    _setmode(_fileno(stdout), _O_BINARY);
}

std::FILE* OpenToOverwrite(const fs::path& path) {
    return _wfopen(path.c_str(), L"wb");
}

bool RemoveFile(const fs::path& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path.c_str()) != 0;
}
