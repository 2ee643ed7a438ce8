// UTF-8 filenames made openable by the host's ANSI file functions.
#include "host/host_filename.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
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
std::string AnsiFileName(const wchar_t* path) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    FindClose(search);
    const std::string longName = AnsiExactly(found.cFileName);
    return longName.empty() ? AnsiExactly(found.cAlternateFileName) : longName;
}

}  // namespace

const std::string& AnsiHostFilenames::ShortFolder(const wchar_t* path, size_t length) {
    if (folder_.size() == length + 1 && std::equal(path, path + length, folder_.begin())) {
        return shortFolder_;
    }
    folder_.assign(path, path + length);
    folder_.push_back(0);
    shortFolder_.clear();
    const DWORD size = GetShortPathNameW(folder_.data(), nullptr, 0);
    if (size == 0) {
        return shortFolder_;
    }
    std::unique_ptr<wchar_t[]> shortPath(new (std::nothrow) wchar_t[size]);
    if (shortPath != nullptr) {
        const DWORD written = GetShortPathNameW(folder_.data(), shortPath.get(), size);
        if (written > 0 && written < size) {
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
    wchar_t* full = wide.get();
    for (wchar_t* c = full; *c != 0; ++c) {
        *c = *c == L'/' ? L'\\' : *c;
    }
    const wchar_t* slash = std::wcsrchr(full, L'\\');
    if (slash == nullptr || std::wcspbrk(full, L"*?") != nullptr) {
        return nullptr;
    }
    // "E:\\" names the drive's root, "E:" its current folder.
    const bool driveRoot = slash > full && slash[-1] == L':';
    std::string openable = ShortFolder(full, static_cast<size_t>(slash - full) + driveRoot);
    const std::string name = openable.empty() ? std::string() : AnsiFileName(full);
    if (name.empty()) {
        return nullptr;
    }
    if (openable.back() != '\\') {
        openable += '\\';
    }
    return HeapCopy(openable + name);
}
