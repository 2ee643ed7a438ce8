// UTF-8 filenames made openable by the host's ANSI file functions.
#include "host/host_filename.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "base/text_copy.h"
#include "base/utf8_text.h"
#include "base/wide_text.h"

namespace {

// A code page may take two bytes for a character.
constexpr int kAnsiRoom = 2 * AnsiHostFilenames::kPathRoom;

// `wide` in the ANSI code page into `ansi`, or false when a character has no
// exact equivalent there (a best fit, "e" for "é", or the default character
// would name another file, or none) or the result does not fit.
bool AnsiExactly(const wchar_t* wide, char (&ansi)[kAnsiRoom]) {
    BOOL usedDefault = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, ansi, kAnsiRoom, nullptr,
                               &usedDefault) > 0 &&
           !usedDefault;
}

// The name of the existing file `path` as the ANSI functions can give it:
// its long name when that converts exactly, else its short name.
bool AnsiFileName(const wchar_t* path, char (&name)[kAnsiRoom]) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return AnsiExactly(found.cFileName, name) ||
           (found.cAlternateFileName[0] != 0 && AnsiExactly(found.cAlternateFileName, name));
}

// What the host is handed as it is: ASCII and bytes of the code page (not
// UTF-8) need no conversion, a URL names no file, and where the code page is
// UTF-8 the catalogue's bytes work.
bool GoesAsItIs(const char* path) {
    return path == nullptr || !IsNonAsciiUtf8(path) || std::strstr(path, "://") != nullptr ||
           GetACP() == CP_UTF8;
}

// Splits the folder off `wide` (separators made backslashes) into `folder`,
// and tells whether that folder is a drive's root; false when `wide` has no
// folder or holds a search wildcard.
bool FolderOf(wchar_t* wide, wchar_t (&folder)[AnsiHostFilenames::kPathRoom], bool& driveRoot) {
    for (wchar_t* c = wide; *c != 0; ++c) {
        *c = *c == L'/' ? L'\\' : *c;
    }
    // A wildcard (the system's search takes < > and the double quote as such
    // too) would find another file.
    const wchar_t* slash = std::wcsrchr(wide, L'\\');
    if (slash == nullptr || std::wcspbrk(wide, L"*?<>\"") != nullptr) {
        return false;
    }
    // "E:\" names the drive's root, "E:" its current folder.
    const size_t length = static_cast<size_t>(slash - wide);
    std::wmemcpy(folder, wide, length);
    folder[length] = 0;
    driveRoot = length > 0 && folder[length - 1] == L':';
    if (driveRoot) {
        folder[length] = L'\\';
        folder[length + 1] = 0;
    }
    return true;
}

}  // namespace

const char* AnsiHostFilenames::ShortFolder(const wchar_t* folder) {
    if (std::wcscmp(folder, folder_) == 0) {
        return hasShortFolder_ ? shortFolder_ : nullptr;
    }
    std::wcscpy(folder_, folder);
    wchar_t shortPath[kPathRoom];
    const DWORD length = GetShortPathNameW(folder, shortPath, kPathRoom);
    hasShortFolder_ = length > 0 && length < kPathRoom && AnsiExactly(shortPath, shortFolder_);
    return hasShortFolder_ ? shortFolder_ : nullptr;
}

char* AnsiHostFilenames::Openable(const char* path) {
    return GoesAsItIs(path) ? nullptr : Converted(path);
}

char* AnsiHostFilenames::Converted(const char* path) {
    const WideText owned = WideFromUtf8(path);
    if (owned == nullptr || std::wcslen(owned.get()) >= kPathRoom) {
        return nullptr;
    }
    char ansi[kAnsiRoom];
    if (AnsiExactly(owned.get(), ansi)) {
        return CopyText(ansi);
    }
    return ShortPath(owned.get());
}

// A file has a short name only when it exists: the short form of its folder
// joined with the file's own name as the ANSI functions can give it.
char* AnsiHostFilenames::ShortPath(wchar_t* wide) {
    wchar_t folder[kPathRoom];
    bool driveRoot = false;
    if (!FolderOf(wide, folder, driveRoot)) {
        return nullptr;
    }
    const char* shortFolder = ShortFolder(folder);
    char name[kAnsiRoom];
    if (shortFolder == nullptr || !AnsiFileName(wide, name)) {
        return nullptr;
    }
    // Only a drive's root ends in its separator. (The last byte of the code
    // page's form cannot tell: in a double-byte code page a character's
    // second byte may be the backslash's.)
    const size_t folderBytes = std::strlen(shortFolder);
    char* joined = NewText(folderBytes + 1 + std::strlen(name));
    if (joined != nullptr) {
        std::strcpy(joined, shortFolder);
        std::strcpy(joined + folderBytes, driveRoot ? "" : "\\");
        std::strcat(joined, name);
    }
    return joined;
}
