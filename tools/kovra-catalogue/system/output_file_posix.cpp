// An export's output file with the POSIX calls.
#include "tools/kovra-catalogue/system/output_file.h"

#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

FileKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return FileKind::Regular;
    }
    if (S_ISDIR(mode)) {
        return FileKind::Folder;
    }
    return S_ISLNK(mode) ? FileKind::Link : FileKind::Other;
}

}  // namespace

bool AbsolutePath(const fs::path& given, fs::path& absolute, std::error_code& error) {
    absolute = fs::absolute(given, error);
    return !error;
}

fs::path SystemPath(const fs::path& absolute) {
    return absolute;
}

bool WrittenName(const fs::path& file, fs::path& target, std::error_code& error) {
    target = file;
    std::error_code missing;  // a name that is no link, or names nothing yet
    for (int hops = 0; fs::is_symlink(target, missing); ++hops) {
        if (hops == 40) {
            error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
            return false;
        }
        const fs::path next = fs::read_symlink(target, error);
        if (error) {
            return false;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    target = fs::weakly_canonical(target, error);
    return !error;
}

fs::path FolderOf(const fs::path& file) {
    return file.parent_path();
}

bool OnDifferentVolumes(const fs::path& one, const fs::path& other) {
    struct stat oneInfo;
    struct stat otherInfo;
    return stat(one.c_str(), &oneInfo) == 0 && stat(other.c_str(), &otherInfo) == 0 &&
           oneInfo.st_dev != otherInfo.st_dev;
}

bool ReadFileFacts(const fs::path& path, LastLink last, FileFacts& facts) {
    struct stat info;
    const int result =
        last == LastLink::Follow ? stat(path.c_str(), &info) : lstat(path.c_str(), &info);
    if (result != 0) {
        return false;
    }
    facts.volume = static_cast<uint64_t>(info.st_dev);
    facts.index = static_cast<uint64_t>(info.st_ino);
    facts.kind = KindOf(info.st_mode);
    facts.links = static_cast<uint32_t>(info.st_nlink);
    facts.readOnly = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return true;
}

bool MayShareFolders(const FileFacts& one, const FileFacts& other) {
    return one.volume == other.volume;
}

int CreateNewFile(const fs::path& path, bool ownerOnly) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0666);
}

long WriteSome(int fd, const char* data, size_t size) {
    ssize_t chunk;
    do {
        chunk = write(fd, data, size);
    } while (chunk < 0 && errno == EINTR);
    return static_cast<long>(chunk);
}

bool CloseFile(int fd) {
    return close(fd) == 0;
}

void MakeStdoutBinary() {}

std::FILE* OpenToOverwrite(const fs::path& path) {
    return std::fopen(path.c_str(), "wb");
}

bool RemoveFile(const fs::path& path) {
    return unlink(path.c_str()) == 0;
}
