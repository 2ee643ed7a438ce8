// Text comparisons that fold the case of ASCII letters only, never by locale.
#pragma once

#include <cstddef>

// A-Z to a-z; every other byte, 0x80-0xFF included, stays as it is.
inline unsigned char AsciiLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

inline bool IsAsciiLetterOrDigit(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Negative, 0 or positive as a orders before, with or after b once both are
// lowered byte by byte; the shorter of two equal prefixes orders first.
int AsciiCompareNoCase(const char* a, const char* b);

// The same over at most n bytes.
int AsciiCompareNoCaseN(const char* a, const char* b, size_t n);

inline bool AsciiEqualNoCase(const char* a, const char* b) {
    return AsciiCompareNoCase(a, b) == 0;
}
