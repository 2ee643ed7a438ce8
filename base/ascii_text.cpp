// Text comparisons that fold the case of ASCII letters only.
#include "base/ascii_text.h"

int AsciiCompareNoCaseN(const char* a, const char* b, size_t n) {
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    for (size_t i = 0; i < n; ++i) {
        const int cx = AsciiLower(x[i]);
        const int cy = AsciiLower(y[i]);
        if (cx != cy || cx == 0) {
            return cx - cy;
        }
    }
    return 0;
}

int AsciiCompareNoCase(const char* a, const char* b) {
    return AsciiCompareNoCaseN(a, b, static_cast<size_t>(-1));
}
