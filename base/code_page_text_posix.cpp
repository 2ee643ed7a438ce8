// The system's texts on a POSIX system are UTF-8 already.
#include "base/code_page_text.h"

#include "base/text_copy.h"
#include "base/utf8_text.h"

char* CodePageCopyOfUtf8(const char* text) {
    return FirstInvalidUtf8(text) == SIZE_MAX ? CopyText(text) : nullptr;
}
