// The command's texts on a POSIX system: bytes in, bytes out.
#include "tools/kovra-catalogue/system/system_text.h"

#include <unistd.h>

void WriteText(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

bool IsTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}
