// The command's texts on Windows: UTF-16 arguments in, wide console writes out.
#include "tools/kovra-catalogue/system/system_text.h"
#include "tools/kovra-catalogue/system/system_text_win32.h"

#include <windows.h>

#include <io.h>

#include <cstdio>

namespace {

// The console `stream` writes to, or null when it writes to a file or a pipe.
HANDLE ConsoleOf(std::FILE* stream) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// Asked once per standard stream: a report writes thousands of lines, and under
// wine each question is a round trip to its server.
HANDLE CachedConsoleOf(std::FILE* stream) {
    static const HANDLE output = ConsoleOf(stdout);
    static const HANDLE error = ConsoleOf(stderr);
    return stream == stdout ? output : stream == stderr ? error : ConsoleOf(stream);
}

// `argument` with each surrogate that has no pair shown as <U+D800>.
std::string ShownArgument(const wchar_t* argument) {
    std::string shown;
    for (const wchar_t* c = argument; *c != 0; ++c) {
        const bool pair = IS_HIGH_SURROGATE(c[0]) && IS_LOW_SURROGATE(c[1]);
        const wchar_t character[3] = {c[0], pair ? c[1] : L'\0', L'\0'};
        std::string utf8;
        if (Utf8FromWide(character, utf8)) {
            shown += utf8;
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "<U+%04X>", static_cast<unsigned>(*c));
            shown += code;
        }
        c += pair ? 1 : 0;
    }
    return shown;
}

}  // namespace

bool Utf8FromWide(const wchar_t* text, std::string& utf8) {
    const int size =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return false;
    }
    utf8.assign(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, &utf8[0], size, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(size - 1));  // without the NUL
    return true;
}

WhyNot Utf8Arguments(int argc, wchar_t** argv, std::vector<std::string>& arguments) {
    for (int i = 0; i < argc; ++i) {
        std::string utf8;
        if (!Utf8FromWide(argv[i], utf8)) {
            return "argument " + std::to_string(i) +
                   " is not text (half of a UTF-16 pair alone): " + ShownArgument(argv[i]);
        }
        arguments.push_back(std::move(utf8));
    }
    return {};
}

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

void WriteText(std::FILE* stream, const std::string& text) {
    const HANDLE console = CachedConsoleOf(stream);
    const int size = static_cast<int>(text.size());
    const int length = console != nullptr && size > 0
                           ? MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)
                           : 0;
    if (length > 0) {
        // Bytes that are no UTF-8 show as U+FFFD; whatever the stream holds
        // goes out first.
        std::wstring wide(static_cast<size_t>(length), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &wide[0], length);
        std::fflush(stream);
        DWORD written = 0;
        if (WriteConsoleW(console, wide.data(), static_cast<DWORD>(length), &written, nullptr)) {
            return;
        }
    }
    // A file or a pipe, or a console that took no wide text: the bytes, with
    // the stream's own error state when they cannot be written.
    std::fwrite(text.data(), 1, text.size(), stream);
}
