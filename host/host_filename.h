// Filenames handed to the host, which opens files with the system's 8-bit
// (ANSI code page) functions while the player's catalogue names them in UTF-8.
#pragma once

#include <cstddef>

// Makes filenames that the host's file functions open to the same file.
class HostFilenames {
  public:
    virtual ~HostFilenames() = default;
    // A copy of `path` for the host, or null when `path` serves as it is. A
    // copy is the caller's, freed with FreeText (base/text_copy.h).
    virtual char* Openable(const char* path) = 0;
};

// For a host on Windows. A name that opens as it is goes as it is: plain
// ASCII, a name that is not valid UTF-8 (written in the code page, as the
// host's own rows are), a URL, and a name the ANSI functions open, also one
// that is valid UTF-8 by accident ("\xC3\xA9" is "Ã©" in code page 1252).
// Only a UTF-8 name that does not open is made openable: converted to the
// ANSI code page when every character converts exactly, else the file's
// short (8.3) path; when neither can be had (the file is missing, has no
// short name, or the path is longer than the ANSI functions open) it goes as
// it is. Plain ASCII costs no system call, a non-ASCII UTF-8 name at most one
// look at the file system before what its conversion costs. Meant for the
// rows of one export: the last folder found missing as it is and the short
// form of the last folder asked for are kept, so the tracks of one album ask
// the system for them once.
class AnsiHostFilenames : public HostFilenames {
  public:
    char* Openable(const char* path) override;

    // Room for a path in characters, its terminator included; the ANSI
    // functions open no longer one.
    static constexpr size_t kPathRoom = 260;

  private:
    bool OpensAsItIs(const char* path);
    // `path` (UTF-8, not openable as it is) in a form the ANSI functions open,
    // or null.
    char* Converted(const char* path);
    // The short form of the existing file `wide`, or null; `wide` is changed.
    char* ShortPath(wchar_t* wide);
    // The short, ANSI form of the folder `folder`, or null when it has none.
    const char* ShortFolder(const wchar_t* folder);

    wchar_t folder_[kPathRoom] = {};  // the last folder asked for
    char shortFolder_[2 * kPathRoom] = {};
    bool hasShortFolder_ = false;
    wchar_t missingFolder_[kPathRoom] = {};  // the last folder found missing as it is
};
