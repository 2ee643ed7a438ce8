// kovra-wide-arguments PROGRAM ARG...: starts PROGRAM with the ARGs, each
// <U+XXXX> in them made that UTF-16 code unit, so that a test can hand over
// what no UTF-8 command line spells (half of a surrogate pair alone). Standard
// handles are inherited; exits with PROGRAM's exit code.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::wstring Decoded(const wchar_t* argument) {
    std::wstring decoded;
    for (const wchar_t* c = argument; *c != 0; ++c) {
        unsigned unit = 0;
        int length = 0;
        if (std::swscanf(c, L"<U+%4x>%n", &unit, &length) == 1 && length == 8) {
            decoded += static_cast<wchar_t>(unit);
            c += length - 1;
        } else {
            decoded += *c;
        }
    }
    return decoded;
}

// Quoted as the C runtime's command-line parser reads it back.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'"') {
            quoted += std::wstring(backslashes + 1, L'\\');  // the backslashes before it, doubled
        }
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        quoted += c;
    }
    return quoted + std::wstring(backslashes, L'\\') + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring commandLine;
    for (int i = 1; i < argc; ++i) {
        commandLine += (i > 1 ? L" " : L"") + Quoted(Decoded(argv[i]));
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (argc < 2 || !CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                    nullptr, &startup, &process)) {
        return 125;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 125;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
