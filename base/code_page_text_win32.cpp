// UTF-8 to the ANSI code page with the system's converters, through UTF-16.
#include "base/code_page_text.h"

#include <windows.h>

#include "base/text_copy.h"
#include "base/wide_text.h"

namespace {

// What a character the code page lacks becomes.
constexpr char kMissingCharacter[] = "?";

}  // namespace

char* CodePageCopyOfUtf8(const char* text) {
    const WideText wide = WideFromUtf8(text);
    if (wide == nullptr) {
        return nullptr;
    }
    // The UTF-8 code page takes neither the flag nor a default character, and
    // the catalogue's bytes are its own spelling.
    if (GetACP() == CP_UTF8) {
        return CopyText(text);
    }
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.get(), -1, nullptr, 0,
                                         kMissingCharacter, nullptr);
    char* copy = size > 0 ? NewText(static_cast<size_t>(size) - 1) : nullptr;
    if (copy != nullptr && WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.get(), -1, copy,
                                               size, kMissingCharacter, nullptr) != size) {
        FreeText(copy);
        return nullptr;
    }
    return copy;
}
