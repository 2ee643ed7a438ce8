// What tells whether a player's file changed since it was read: its size and
// last-write time, taken for a whole folder with one listing, and the clock
// they are set against. The POSIX build lists with opendir/readdir and a stat
// of each name (file_stamps_posix.cpp), the Windows build with
// FindFirstFileW/FindNextFileW, whose listing carries both
// (file_stamps_win32.cpp). Also the snapshot file's own whole-file read and its
// replacement by rename.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// A NUL-terminated text of its own. The snapshot's code is part of the DLL,
// which links no std::string: the runtime's compiled string code would bring
// in its throw helpers and their exception classes.
class PathText {
  public:
    PathText() : bytes_(1, '\0') {}
    // The first `length` bytes of `a` (which hold no NUL), then `b`.
    PathText(const char* a, size_t length, const char* b);
    explicit PathText(const char* a);

    const char* Get() const { return bytes_.data(); }
    size_t Length() const { return bytes_.size() - 1; }
    bool Empty() const { return bytes_.size() == 1; }
    bool operator<(const PathText& other) const { return bytes_ < other.bytes_; }

  private:
    std::vector<char> bytes_;
};

struct FileStamp {
    uint64_t size = 0;
    int64_t writeTime = 0;  // in kStampTicksPerSecond units, the system's own epoch

    bool operator==(const FileStamp& other) const {
        return size == other.size && writeTime == other.writeTime;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

struct StampedName {
    PathText name;  // as the system lists it: UTF-8 on Windows, bytes elsewhere
    FileStamp stamp;
};

// Ticks of FileStamp::writeTime and StampClock in one second.
extern const int64_t kStampTicksPerSecond;
// True where the file system finds a name in any case of its ASCII letters.
extern const bool kStampNamesCaseBlind;

// Appends each regular file in `folder` (a path ending in "/" or "\", or a
// drive root) with its stamp. False when the folder cannot be listed through.
bool ListFolderStamps(const char* folder, std::vector<StampedName>& names);

// The system clock, in the units and from the epoch of FileStamp::writeTime.
int64_t StampClock();

// Reads the whole regular file at `path` into `bytes`, if it has at most
// `limit` bytes; false otherwise (and `bytes` is empty).
bool ReadWholeFile(const char* path, size_t limit, std::vector<char>& bytes);

// Writes `bytes` to a temporary name beside `path`, then renames it over
// `path`: a reader sees the old file or the new one, never a part. False,
// with `path` untouched and the temporary removed, when any step fails.
bool ReplaceWholeFile(const char* path, const std::vector<char>& bytes);
