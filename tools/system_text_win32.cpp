// The command's texts on Windows: UTF-16 arguments in, wide console writes out.
#include "tools/system_text.h"

#include <windows.h>

#include <io.h>

namespace {

std::string Utf8FromWide(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return std::string();
    }
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], size, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(size) - 1);  // without the NUL
    return utf8;
}

// The console `stream` writes to, or null when it writes to a file or a pipe.
HANDLE ConsoleOf(std::FILE* stream) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(Utf8FromWide(argv[i]));
    }
    return arguments;
}

void WriteText(std::FILE* stream, const std::string& text) {
    const HANDLE console = ConsoleOf(stream);
    const int size = static_cast<int>(text.size());
    const int length = console != nullptr && size > 0
                           ? MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)
                           : 0;
    if (length <= 0) {
        std::fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    // Bytes that are no UTF-8 show as U+FFFD; whatever the stream holds goes out first.
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &wide[0], length);
    std::fflush(stream);
    DWORD written = 0;
    WriteConsoleW(console, wide.data(), static_cast<DWORD>(length), &written, nullptr);
}
