// UTF-8 to UTF-16 and back with the system's converter.
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
