// Library rows as plain heap blocks. They are lasting blocks, which the DLL
// serves from its own small-block pool: a big player makes a row and five
// texts for each track, and they stay as long as the library.
#include "library/library_item.h"

#include <cstring>
#include <new>

#include "base/lasting_block.h"

LibraryItem* NewRow() {
    void* block = NewLastingBlock(sizeof(LibraryItem));
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
