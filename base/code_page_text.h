// UTF-8 texts in the system's 8-bit code page, the one its ANSI functions (and
// the host's list and records) read texts in.
#pragma once

// A new text (release it with FreeText, base/text_copy.h) spelling the
// well-formed UTF-8 `text` in the system's ANSI code page. A character the code
// page lacks becomes '?', never a look-alike, so that every system with that
// code page shows the same text. Null when memory runs out or `text` is not
// well-formed UTF-8. Where the system's texts are UTF-8 (POSIX, or Windows set
// to UTF-8) it is a copy.
char* CodePageCopyOfUtf8(const char* text);
