// UTF-8 to UTF-16 with the system's converter.
#include "base/wide_text.h"

#include <windows.h>

#include <new>

WideText WideFromUtf8(const char* text) {
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (size <= 0) {
        return nullptr;
    }
    WideText wide(new (std::nothrow) wchar_t[size]);
    if (wide == nullptr ||
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide.get(), size) != size) {
        return nullptr;
    }
    return wide;
}
