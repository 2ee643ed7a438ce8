// Text blocks are lasting blocks, which the DLL serves from its own pool apart
// from the parsed documents' blocks: a big player makes several texts for each
// track while its manifest is parsed, and they stay after the document goes.
#include "base/text_copy.h"

#include <cstring>
#include <new>

#include "base/lasting_block.h"

char* NewText(size_t length) {
    return static_cast<char*>(NewLastingBlock(length + 1));
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
