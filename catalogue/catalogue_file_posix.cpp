// Reading a catalogue file with the POSIX calls: only regular files, never
// blocking on others.
#include "catalogue/catalogue_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "catalogue/file_stamps.h"
#include "catalogue/xml_buffer.h"

namespace {

FileReadStatus OpenFailure(int error) {
    return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG
               ? FileReadStatus::Missing
               : FileReadStatus::Unreadable;
}

// Reads exactly `size` bytes; false when the file ends early or a read fails.
bool ReadAll(int fd, char* into, size_t size) {
    while (size > 0) {
        const ssize_t got = read(fd, into, size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        into += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

FileReadStatus ReadOpenFile(int fd, size_t limit, XmlBuffer& buffer, FileStamp* stamp) {
    // Checked again on the open file: the path may have been swapped meanwhile.
    struct stat info;
    if (fstat(fd, &info) != 0) {
        return FileReadStatus::Unreadable;
    }
    if (!S_ISREG(info.st_mode)) {
        return FileReadStatus::NotRegularFile;
    }
    if (static_cast<unsigned long long>(info.st_size) > limit) {
        return FileReadStatus::TooLarge;
    }
    const size_t size = static_cast<size_t>(info.st_size);
    if (stamp != nullptr) {
        // In the units of ListFolderStamps (file_stamps_posix.cpp).
        stamp->size = static_cast<uint64_t>(info.st_size);
        stamp->writeTime =
            static_cast<int64_t>(info.st_mtim.tv_sec) * kStampTicksPerSecond + info.st_mtim.tv_nsec;
    }
    if (!ReadAll(fd, buffer.Reserve(size), size)) {
        buffer.Reserve(0);
        return FileReadStatus::Unreadable;
    }
    buffer.Prepare(size);
    return FileReadStatus::Read;
}

}  // namespace

FileReadStatus ReadCatalogueFile(const char* path, size_t limit, XmlBuffer& buffer,
                                 FileStamp* stamp) {
    buffer.Reserve(0);
    // Opening some devices has effects of its own: look before opening. A FIFO
    // opened without O_NONBLOCK would wait for a writer.
    struct stat info;
    if (stat(path, &info) != 0) {
        return OpenFailure(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return FileReadStatus::NotRegularFile;
    }
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return OpenFailure(errno);
    }
    // Closed also when the buffer's memory runs out.
    const struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    return ReadOpenFile(fd, limit, buffer, stamp);
}
