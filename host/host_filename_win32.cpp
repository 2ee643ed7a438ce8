// UTF-8 filenames made openable by the host's ANSI file functions.
#include "host/host_filename.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "base/utf8_text.h"
#include "base/wide_text.h"

namespace {

// `wide` in the ANSI code page, or "" when a character has no exact
// equivalent there: a best fit ("e" for "é") or the default character would
// name another file, or none.
std::string AnsiExactly(const wchar_t* wide) {
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0,
                                         nullptr, &usedDefault);
    if (size <= 1 || usedDefault) {
        return std::string();
    }
    std::string ansi(static_cast<size_t>(size), '\0');
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, &ansi[0], size, nullptr,
                            &usedDefault) != size ||
        usedDefault) {
        return std::string();
    }
    ansi.pop_back();  // the terminator
    return ansi;
}

char* HeapCopy(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text.c_str(), text.size() + 1);
    }
    return copy;
}

// The name of the existing file `path` as the ANSI functions can give it:
// its long name when that converts exactly, else its short name.
std::string AnsiFileName(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    FindClose(search);
    const std::string longName = AnsiExactly(found.cFileName);
    return longName.empty() ? AnsiExactly(found.cAlternateFileName) : longName;
}

}  // namespace

const std::string& AnsiHostFilenames::ShortFolder(const std::wstring& folder) {
    if (folder == folder_) {
        return shortFolder_;
    }
    folder_ = folder;
    shortFolder_.clear();
    const DWORD size = GetShortPathNameW(folder.c_str(), nullptr, 0);
    if (size == 0) {
        return shortFolder_;
    }
    std::unique_ptr<wchar_t[]> shortPath(new (std::nothrow) wchar_t[size]);
    if (shortPath != nullptr) {
        const DWORD length = GetShortPathNameW(folder.c_str(), shortPath.get(), size);
        if (length > 0 && length < size) {
            shortFolder_ = AnsiExactly(shortPath.get());
        }
    }
    return shortFolder_;
}

char* AnsiHostFilenames::Openable(const char* path) {
    // Where the code page is UTF-8 itself, the catalogue's bytes already work.
    if (path == nullptr || !IsNonAsciiUtf8(path) || GetACP() == CP_UTF8) {
        return nullptr;
    }
    const WideText wide = WideFromUtf8(path);
    if (wide == nullptr) {
        return nullptr;
    }
    const std::string ansi = AnsiExactly(wide.get());
    if (!ansi.empty()) {
        return HeapCopy(ansi);
    }
    // A file has a short name only when it exists; a wildcard would find another.
    std::wstring full(wide.get());
    for (wchar_t& c : full) {
        c = c == L'/' ? L'\\' : c;
    }
    const size_t slash = full.find_last_of(L'\\');
    if (slash == std::wstring::npos || full.find_first_of(L"*?") != std::wstring::npos) {
        return nullptr;
    }
    std::wstring folder = full.substr(0, slash + 1);  // "E:\\" names the root, "E:" does not
    if (slash > 0 && folder[slash - 1] != L':') {
        folder.pop_back();
    }
    std::string openable = ShortFolder(folder);
    const std::string name = openable.empty() ? std::string() : AnsiFileName(full);
    if (name.empty()) {
        return nullptr;
    }
    if (openable.back() != '\\') {
        openable += '\\';
    }
    return HeapCopy(openable + name);
}
