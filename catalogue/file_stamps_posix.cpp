// File stamps with opendir/readdir and fstatat; whole-file reads and
// replacement with POSIX calls.
#include "catalogue/file_stamps.h"

#include <cerrno>
#include <cstdio>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const int64_t kStampTicksPerSecond = 1000000000;
const bool kStampNamesCaseBlind = false;

namespace {

int64_t Ticks(const timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * kStampTicksPerSecond + time.tv_nsec;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

bool WriteAll(int file, const char* bytes, size_t size) {
    while (size > 0) {
        const ssize_t written = write(file, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

bool ListFolderStamps(const char* folder, std::vector<StampedName>& names) {
    DIR* listing = opendir(folder[0] == 0 ? "." : folder);
    if (listing == nullptr) {
        return false;
    }
    const dirent* entry = nullptr;
    while (errno = 0, (entry = readdir(listing)) != nullptr) {
        struct stat status;
        if (IsDotOrDotDot(entry->d_name) ||
            fstatat(dirfd(listing), entry->d_name, &status, 0) != 0 || !S_ISREG(status.st_mode)) {
            continue;
        }
        names.push_back({PathText(entry->d_name),
                         {static_cast<uint64_t>(status.st_size), Ticks(status.st_mtim)}});
    }
    const bool complete = errno == 0;
    closedir(listing);
    return complete;
}

int64_t StampClock() {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return Ticks(now);
}

bool ReadWholeFile(const char* path, size_t limit, std::vector<char>& bytes) {
    bytes.clear();
    const int file = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        return false;
    }
    struct stat status;
    bool ok = fstat(file, &status) == 0 && S_ISREG(status.st_mode) &&
              static_cast<unsigned long long>(status.st_size) <= limit;
    if (ok) {
        bytes.resize(static_cast<size_t>(status.st_size));
        size_t done = 0;
        while (ok && done < bytes.size()) {
            const ssize_t got = read(file, bytes.data() + done, bytes.size() - done);
            ok = got > 0 || (got < 0 && errno == EINTR);
            done += got > 0 ? static_cast<size_t>(got) : 0;
        }
    }
    close(file);
    if (!ok) {
        bytes.clear();
    }
    return ok;
}

bool ReplaceWholeFile(const char* path, const std::vector<char>& bytes) {
    const PathText temporary(path, std::strlen(path), ".new");
    const int file = open(temporary.Get(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        return false;
    }
    bool ok = WriteAll(file, bytes.data(), bytes.size());
    ok = close(file) == 0 && ok;
    ok = ok && std::rename(temporary.Get(), path) == 0;
    if (!ok) {
        unlink(temporary.Get());
    }
    return ok;
}
