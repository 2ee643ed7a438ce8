// Writing an export to standard output or to a file, byte for byte.
#include "tools/export_output.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// The C runtime on Windows turns every LF on a text stream into CR LF, which would change the
// CSV's line ends and every other format's bytes.
void MakeStdoutBinary() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

bool WriteAll(std::FILE* stream, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
           std::fflush(stream) == 0;
}

// Creates the file at `path` for writing, failing if any file has that name.
int CreateNewFile(const fs::path& path) {
#ifdef _WIN32
    return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
}

bool WriteAndClose(int fd, const std::string& text) {
    size_t done = 0;
    bool written = true;
    while (written && done < text.size()) {
#ifdef _WIN32
        const int chunk = _write(fd, text.data() + done, static_cast<unsigned>(text.size() - done));
#else
        const ssize_t chunk = write(fd, text.data() + done, text.size() - done);
        if (chunk < 0 && errno == EINTR) {
            continue;
        }
#endif
        written = chunk > 0;
        done += written ? static_cast<size_t>(chunk) : 0;
    }
    const int savedErrno = errno;
#ifdef _WIN32
    const bool closed = _close(fd) == 0;
#else
    const bool closed = close(fd) == 0;
#endif
    if (!written) {
        errno = savedErrno;
    }
    return written && closed;
}

// The name `file` leads to when each symbolic link by its own name is followed (even one to a
// file yet to be made), in its folder with every link in that folder's path seen through.
bool FollowLinks(const fs::path& file, fs::path& target, std::error_code& error) {
    target = fs::absolute(file, error);
    std::error_code missing;  // a name that is no link, or names nothing yet
    for (int hops = 0; !error && fs::is_symlink(target, missing); ++hops) {
        if (hops == 40) {
            error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
            return false;
        }
        const fs::path next = fs::read_symlink(target, error);
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    if (!error) {
        target = fs::weakly_canonical(target, error);
    }
    return !error;
}

// True when `folder` or a folder above it is `ancestor` (which exists). Letter case and links
// are seen through, as the file system sees them.
bool WithinFolder(const fs::path& folder, const fs::path& ancestor) {
    std::error_code error;
    for (fs::path at = folder;; at = at.parent_path()) {
        if (fs::equivalent(at, ancestor, error)) {
            return true;
        }
        if (at == at.parent_path()) {
            return false;
        }
    }
}

// A name in `target`'s folder for the new file, tried until one is free.
fs::path NewFileName(const fs::path& target, unsigned attempt) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".%08lx%u.new",
                  static_cast<unsigned long>(now & 0xFFFFFFFF), attempt);
    fs::path name = target.filename();
    name += suffix;
    return target.parent_path() / ("." + name.string());
}

bool ReplaceWithNewFile(const fs::path& target, const std::string& text, std::string& error) {
    fs::path created;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        created = NewFileName(target, attempt);
        fd = CreateNewFile(created);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    std::error_code fsError;
    if (!WriteAndClose(fd, text)) {
        error = std::strerror(errno);
    } else {
        // The replaced file's permissions stay with its name.
        const fs::file_status old = fs::status(target, fsError);
        if (fs::exists(old)) {
            fs::permissions(created, old.permissions(), fsError);
        }
        fs::rename(created, target, fsError);
        if (!fsError) {
            return true;
        }
        error = fsError.message();
    }
    fs::remove(created, fsError);
    return false;
}

bool WriteInPlace(const fs::path& target, const std::string& text, std::string& error) {
    std::FILE* file = std::fopen(target.string().c_str(), "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    const bool written = WriteAll(file, text);
    const int savedErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        error = std::strerror(written ? errno : savedErrno);
        return false;
    }
    return true;
}

}  // namespace

OutputResult WriteOutput(const fs::path& path, const fs::path& player, const std::string& text,
                         std::string& error) {
    if (path.empty()) {
        MakeStdoutBinary();
        if (!WriteAll(stdout, text)) {
            error = std::string("cannot write to standard output: ") + std::strerror(errno);
            return OutputResult::Failed;
        }
        return OutputResult::Written;
    }
    fs::path target;
    std::error_code linkError;
    if (!FollowLinks(path, target, linkError)) {
        error = "cannot write " + path.string() + ": " + linkError.message();
        return OutputResult::Failed;
    }
    // Checked on the folder written in, after every link was followed: nothing is ever written
    // to the player, not even on request.
    if (WithinFolder(target.parent_path(), player)) {
        error = "will not write " + path.string() + " onto the player";
        return OutputResult::OnPlayer;
    }
    std::error_code statusError;
    const fs::file_status status = fs::status(target, statusError);
    std::string reason;
    const bool written = fs::exists(status) && !fs::is_regular_file(status)
                             ? WriteInPlace(target, text, reason)
                             : ReplaceWithNewFile(target, text, reason);
    if (!written) {
        error = "cannot write " + path.string() + ": " + reason;
        return OutputResult::Failed;
    }
    return OutputResult::Written;
}
