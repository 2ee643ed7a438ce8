// Library rows as plain heap blocks. They come from operator new, which the
// DLL serves from its own small-block pool: a big player makes a row and
// five texts for each track.
#include "library/library_item.h"

#include <cstring>
#include <new>

LibraryItem* NewRow() {
    void* block = ::operator new(sizeof(LibraryItem), std::nothrow);
    if (block != nullptr) {
        std::memset(block, 0, sizeof(LibraryItem));
    }
    return static_cast<LibraryItem*>(block);
}

void FreeRow(LibraryItem* row) {
    if (row == nullptr) {
        return;
    }
    FreeText(row->album);
    FreeText(row->artist);
    FreeText(row->title);
    FreeText(row->genre);
    FreeText(row->filename);
    ::operator delete(row);
}
