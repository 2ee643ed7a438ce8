// Sort keys of texts.
#include "library/sort_key.h"

#include "base/ascii_text.h"

const char* SortKey(const char* text) {
    if (text == nullptr) {
        return "";
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0 && !IsAsciiLetterOrDigit(*p)) {
        ++p;
    }
    // Short-circuiting stops at the terminator, so a short text is never read
    // past its end.
    if (AsciiLower(p[0]) == 't' && AsciiLower(p[1]) == 'h' && AsciiLower(p[2]) == 'e' &&
        p[3] == ' ') {
        p += 4;
    }
    while (*p == ' ') {
        ++p;
    }
    return reinterpret_cast<const char*>(p);
}

int CompareKeys(const char* a, const char* b) {
    return AsciiCompareNoCase(SortKey(a), SortKey(b));
}
