// An export's output file, the parts every system shares.
#include "tools/kovra-catalogue/system/output_file.h"

#include <cerrno>

bool WriteAndClose(int fd, const std::string& text) {
    size_t done = 0;
    bool written = true;
    while (written && done < text.size()) {
        const long chunk = WriteSome(fd, text.data() + done, text.size() - done);
        written = chunk > 0;
        done += written ? static_cast<size_t>(chunk) : 0;
    }
    const int savedErrno = errno;
    const bool closed = CloseFile(fd);
    if (!written) {
        errno = savedErrno;
    }
    return written && closed;
}
