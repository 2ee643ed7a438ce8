// Reading one catalogue file of the player into an XmlBuffer.
//
// Only regular files are read: a path that names a FIFO, a device or a folder
// is refused without waiting on it, so a catalogue cannot make a load hang.
// The POSIX build reads with open/fstat/read (catalogue_file_posix.cpp), the
// Windows build with CreateFileA/ReadFile (catalogue_file_win32.cpp).
#pragma once

#include <cstddef>

class XmlBuffer;

enum class FileReadStatus {
    Read,            // the buffer holds the file's text, prepared for the parser
    Missing,         // no such file or folder
    Unreadable,      // it exists but could not be opened or read through
    TooLarge,        // larger than the limit given
    NotRegularFile,  // a folder, FIFO, device or anything else that is not a plain file
};

// No catalogue file may be larger: a full player's music catalogue is a few
// megabytes, and the parsed tree costs several times the file's size.
constexpr size_t kMaxCatalogueFileBytes = 64u * 1024 * 1024;

// Reads the file at `path` into `buffer` and prepares it (XmlBuffer::Prepare),
// provided it is a regular file of at most `limit` bytes. On any other status
// the buffer holds the empty text.
FileReadStatus ReadCatalogueFile(const char* path, size_t limit, XmlBuffer& buffer);
