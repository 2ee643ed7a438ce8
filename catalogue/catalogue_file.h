// Reading one catalogue file of the player into an XmlBuffer.
//
// Only regular files are read: a path that names a FIFO, a device or a folder
// is refused without waiting on it, so a catalogue cannot make a load hang.
// The POSIX build reads with open/fstat/read (catalogue_file_posix.cpp), the
// Windows build with CreateFileA/ReadFile (catalogue_file_win32.cpp).
#pragma once

#include <cstddef>

class XmlBuffer;
struct FileStamp;

enum class FileReadStatus {
    Read,            // the buffer holds the file's text, prepared for the parser
    Missing,         // no such file or folder
    Unreadable,      // it exists but could not be opened or read through
    TooLarge,        // larger than the limit given
    NotRegularFile,  // a folder, FIFO, device or anything else that is not a plain file
};

// No catalogue file may be larger. A full 5,000-track player's largest file
// (music.mum) is under 1 MB, and at the load's ceiling of 100,000 tracks it
// would be about 14 MB. The cap also bounds the time of one parse: a hostile
// file of hard-to-parse text of this size still loads within a second.
constexpr size_t kMaxCatalogueFileBytes = 32u * 1024 * 1024;

// Reads the file at `path` into `buffer` and prepares it (XmlBuffer::Prepare),
// provided it is a regular file of at most `limit` bytes. On any other status
// the buffer holds the empty text. When read, `stamp` (if not null) gets the
// file's size and last-write time as the open file gave them before its
// bytes were read, in ListFolderStamps's units: a catalogue snapshot needs no
// listing of its own to know what it read.
FileReadStatus ReadCatalogueFile(const char* path, size_t limit, XmlBuffer& buffer,
                                 FileStamp* stamp = nullptr);
