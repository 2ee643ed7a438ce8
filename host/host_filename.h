// Filenames handed to the host, which opens files with the system's 8-bit
// (ANSI code page) functions while the player's catalogue names them in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Makes filenames that the host's file functions open to the same file.
class HostFilenames {
  public:
    virtual ~HostFilenames() = default;
    // A copy of `path` for the host, or null when `path` serves as it is. A
    // copy is the caller's, freed with std::free.
    virtual char* Openable(const char* path) = 0;
};

// For a host on Windows. A path serves as it is when it is plain ASCII or
// not valid UTF-8 (a name written in the code page already works byte for
// byte). Otherwise the copy is the name converted to the ANSI code page when
// every character converts exactly, else the file's short (8.3) path; when
// neither can be had (the file is missing, or has no short name) the path
// serves as it is. Plain ASCII costs no system call. Meant for the rows of
// one export: the short form of the last folder asked for is kept, so the
// tracks of one album ask the system for it once.
class AnsiHostFilenames : public HostFilenames {
  public:
    char* Openable(const char* path) override;

  private:
    // The short, ANSI form of the folder named by the first `length`
    // characters of `path`, or "" when it has none.
    const std::string& ShortFolder(const wchar_t* path, size_t length);

    std::vector<wchar_t> folder_;  // the last folder asked for, NUL-terminated
    std::string shortFolder_;
};
