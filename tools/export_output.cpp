// Writing an export to standard output or to a file, byte for byte.
#include "tools/export_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
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

}  // namespace

bool LiesInside(const fs::path& file, const fs::path& folder) {
    std::error_code error;
    // A link by the file's own name, even one to a file yet to be made, must not lead onto the
    // player either.
    fs::path resolved = fs::absolute(file, error);
    for (int hops = 0; hops < 40 && fs::is_symlink(resolved, error); ++hops) {
        const fs::path target = fs::read_symlink(resolved, error);
        resolved = target.is_absolute() ? target : resolved.parent_path() / target;
    }
    resolved = fs::weakly_canonical(resolved, error);
    if (error) {
        return false;
    }
    for (fs::path at = resolved.parent_path();; at = at.parent_path()) {
        if (fs::equivalent(at, folder, error)) {
            return true;
        }
        if (at == at.parent_path()) {
            return false;
        }
    }
}

bool WriteOutput(const std::string& path, const std::string& text, std::string& error) {
    if (path.empty()) {
        MakeStdoutBinary();
        if (!WriteAll(stdout, text)) {
            error = std::string("cannot write to standard output: ") + std::strerror(errno);
            return false;
        }
        return true;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = WriteAll(file, text);
    const int savedErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        error = "cannot write " + path + ": " + std::strerror(written ? errno : savedErrno);
        // Only a file of the user's: a device such as /dev/full must stay.
        std::error_code ignored;
        if (fs::is_regular_file(path, ignored)) {
            std::remove(path.c_str());
        }
        return false;
    }
    return true;
}
