// Library rows as plain heap blocks.
#include "library/library_item.h"

#include <cstdlib>
#include <cstring>

LibraryItem* NewRow() {
    return static_cast<LibraryItem*>(std::calloc(1, sizeof(LibraryItem)));
}

void FreeRow(LibraryItem* row) {
    if (row == nullptr) {
        return;
    }
    std::free(row->album);
    std::free(row->artist);
    std::free(row->title);
    std::free(row->genre);
    std::free(row->filename);
    std::free(row);
}

char* DuplicateText(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(std::malloc(size));
    if (copy != nullptr) {
        std::memcpy(copy, text, size);
    }
    return copy;
}
