// Listing a folder with FindFirstFileW and FindNextFileW: names in UTF-16,
// given as UTF-8, found by the file system in any case of their letters.
#include "tools/kovra-catalogue/system/folder_listing.h"

#include <windows.h>

#include <cwchar>

#include "base/wide_text.h"
#include "tools/kovra-catalogue/system/system_text_win32.h"

const bool kBackslashSeparates = true;
const bool kCaseBlindFileNames = true;

namespace {

// A link or junction is followed by a look at the name, as the lookup of a
// single file does.
EntryKind KindOf(DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return EntryKind::AskFileSystem;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Other : EntryKind::RegularFile;
}

bool IsDotOrDotDot(const wchar_t* name) {
    return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0;
}

// "folder\*", or "*" for the current folder; false when `folder` is not UTF-8
// or the pattern does not fit a path of the ANSI-sized functions, as the lookup
// of a single file's does not. A "\\?\" path is taken at any length: the system
// reads it as it is.
bool PatternOf(const std::string& folder, std::wstring& pattern) {
    if (!folder.empty()) {
        const WideText wide = WideFromUtf8(folder.c_str());
        if (wide == nullptr) {
            return false;
        }
        pattern = wide.get();
        if (pattern.back() != L'\\' && pattern.back() != L'/') {
            pattern += L'\\';  // a root ("\\?\E:\") has its own; "\\?\" takes no second one
        }
    }
    pattern += L'*';
    return pattern.size() < MAX_PATH || pattern.compare(0, 4, L"\\\\?\\") == 0;
}

ListingOutcome FailureOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:  // a folder without a single name, not even "."
            return ListingOutcome::Listed;
        case ERROR_PATH_NOT_FOUND:
            return ListingOutcome::NoFolder;
        default:
            return ListingOutcome::Failed;
    }
}

}  // namespace

ListingOutcome ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    std::wstring pattern;
    if (!PatternOf(folder, pattern)) {
        return ListingOutcome::Failed;
    }
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return FailureOf(GetLastError());
    }
    bool converted = true;
    do {
        std::string name;
        if (!IsDotOrDotDot(found.cFileName)) {
            converted = converted && Utf8FromWide(found.cFileName, name);
            entries.push_back({name, KindOf(found.dwFileAttributes)});
        }
    } while (FindNextFileW(search, &found));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return complete && converted ? ListingOutcome::Listed : ListingOutcome::Failed;
}
