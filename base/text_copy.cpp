// Text blocks come from operator new, which the DLL serves from its own pool:
// a big player makes several texts for each track.
#include "base/text_copy.h"

#include <cstring>
#include <new>

char* NewText(size_t length) {
    return static_cast<char*>(::operator new(length + 1, std::nothrow));
}

char* CopyText(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const size_t length = std::strlen(text);
    char* copy = NewText(length);
    if (copy != nullptr) {
        std::memcpy(copy, text, length + 1);
    }
    return copy;
}

void FreeText(char* text) {
    ::operator delete(text);
}
