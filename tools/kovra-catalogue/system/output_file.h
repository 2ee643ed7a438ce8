// The file-system calls behind an export's output file, one body per system:
// what the export needs to know of a file (which file it is, its kind, its
// links, its write protection) and making, writing and removing one. Paths are
// the system's own: wide on Windows, so that any name opens the file it spells
// whatever the code page.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <system_error>

enum class FileKind { Regular, Folder, Link, Other };

// The absolute path the system reads `given` as from the current folder; made
// before the current folder changes. On Windows by the system's own reading: a
// network path (\\server\share\...) stays one, "C:x" is taken in drive C:'s
// current folder, and a "\\?\" path is taken as it is.
bool AbsolutePath(const std::filesystem::path& given, std::filesystem::path& absolute,
                  std::error_code& error);

// The absolute path `absolute` in the form every call here takes at any length:
// on Windows the "\\?\" form (not bound to MAX_PATH, whether or not the system
// lifts that bound), elsewhere as it is.
std::filesystem::path SystemPath(const std::filesystem::path& absolute);

// The name a write to the absolute `file` replaces, in SystemPath's form: every
// symbolic link by its own name followed (even one to a file yet to be made),
// in its folder with every link in that folder's path seen through. Windows
// shows this program no link by its name: there the name is `file`'s own.
bool WrittenName(const std::filesystem::path& file, std::filesystem::path& target,
                 std::error_code& error);

// The folder holding `file`, named so that it opens as a folder: "\\?\C:\",
// never the volume "\\?\C:". The folder of a root is the root itself.
std::filesystem::path FolderOf(const std::filesystem::path& file);

// True when the folders `one` and `other` certainly lie on different volumes,
// so that no folder of one is a folder of the other, whatever names reach them.
// POSIX: their devices differ. Windows: their volumes' serial numbers or sizes
// differ; under wine only the sizes, since it numbers each folder after the
// drive letter mapped nearest above it.
bool OnDifferentVolumes(const std::filesystem::path& one, const std::filesystem::path& other);

struct FileFacts {
    // Which file it is, whatever name reaches it: device and inode; on Windows
    // the volume serial number and file index.
    uint64_t volume = 0;
    uint64_t index = 0;
    FileKind kind = FileKind::Other;  // Link: a symbolic link or (Windows) a junction, not followed
    uint32_t links = 0;               // the names the file has (hard links)
    bool readOnly = false;  // no write permission for anyone; on Windows the read-only flag
};

enum class LastLink { Follow, Keep };

// Facts about what the absolute `path` names, its last symbolic link followed
// or not, at any length. False when nothing can be read there (no such file, or
// no access).
bool ReadFileFacts(const std::filesystem::path& path, LastLink last, FileFacts& facts);

// False when files of the two facts certainly lie on different file systems, so
// that no folder of one is a folder of the other. Windows gives no such
// certainty here: wine numbers a volume after the drive letter it is reached
// through.
bool MayShareFolders(const FileFacts& one, const FileFacts& other);

// Makes the file `path` for writing, failing when any file has that name;
// `ownerOnly` keeps it readable by its owner alone until its permissions are
// set. -1 with errno set on failure.
int CreateNewFile(const std::filesystem::path& path, bool ownerOnly);

// Writes all of `text` to `fd` and closes it; false with errno set when either
// fails.
bool WriteAndClose(int fd, const std::string& text);

// The two calls WriteAndClose stands on, one body per system. WriteSome: the
// bytes of the `size` at `data` one write took (an interrupted write is tried
// again), or -1 with errno set. CloseFile: closes `fd`; false with errno set.
long WriteSome(int fd, const char* data, size_t size);
bool CloseFile(int fd);

// Keeps standard output's bytes as they are written: the C runtime on Windows
// turns every LF on a text stream into CR LF, which would change the CSV's line
// ends and every other format's bytes.
void MakeStdoutBinary();

// Opens `path` for writing from its start, as fopen's "wb" does; null with
// errno set.
std::FILE* OpenToOverwrite(const std::filesystem::path& path);

// Removes the file `path`, after clearing its read-only flag on Windows (which
// would keep it).
bool RemoveFile(const std::filesystem::path& path);
