// Filenames handed to the host, which opens files with the system's 8-bit
// (ANSI code page) functions while the player's catalogue names them in UTF-8.
#pragma once

#include <cstddef>

// Makes the filenames of the player's catalogue, which names its files in
// UTF-8, name the same files through the host's file functions. Only such
// names come here: a name the host gave is its own already.
class HostFilenames {
  public:
    virtual ~HostFilenames() = default;
    // A copy of the catalogue's `path` for the host, or null when `path`
    // serves as it is. A copy is the caller's, freed with FreeText
    // (base/text_copy.h).
    virtual char* Openable(const char* path) = 0;
};

// For a host on Windows. A name goes as it is when it holds nothing to
// convert: plain ASCII, a name that is not valid UTF-8 (the catalogue wrote
// it in the code page), a URL, and any name where the code page is UTF-8.
// Any other name is converted to the ANSI code page when every character
// converts exactly, whatever files are on the disk (the UTF-8 bytes of
// "\xC3\xA9t\xC3\xA9.mp3" may name another file, "Ã©tÃ©.mp3", in code page
// 1252); else it is the file's short (8.3) path; when neither can be had
// (the file is missing, has no short name, or the path is longer than the
// ANSI functions open) it goes as it is. Only the short path looks at the
// file system. Meant for the rows of one export: the short form of the last
// folder asked for is kept, so the tracks of one album ask the system for it
// once.
class AnsiHostFilenames : public HostFilenames {
  public:
    char* Openable(const char* path) override;

    // Room for a path in characters, its terminator included; the ANSI
    // functions open no longer one.
    static constexpr size_t kPathRoom = 260;

  private:
    // `path` (UTF-8) in a form the ANSI functions open, or null.
    char* Converted(const char* path);
    // The short form of the existing file `wide`, or null; `wide` is changed.
    char* ShortPath(wchar_t* wide);
    // The short, ANSI form of the folder `folder`, or null when it has none.
    const char* ShortFolder(const wchar_t* folder);

    wchar_t folder_[kPathRoom] = {};  // the last folder asked for
    char shortFolder_[2 * kPathRoom] = {};
    bool hasShortFolder_ = false;
};
