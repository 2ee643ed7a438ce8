// Heap copies of NUL-terminated texts: the rows' texts, the records' texts and
// the filenames made for the host all come from here and go back here.
#pragma once

#include <cstddef>

// A block for a text of `length` bytes and its NUL, or null when memory runs
// out. Release it with FreeText.
char* NewText(size_t length);

// A copy of `text`, or null for null and when memory runs out. Release it
// with FreeText.
char* CopyText(const char* text);

// Releases a block from NewText or CopyText. Null is ignored.
void FreeText(char* text);
