// Writing an export to standard output or to a file, byte for byte.
#include "tools/kovra-catalogue/export/export_output.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "tools/kovra-catalogue/system/output_file.h"
#include "tools/kovra-catalogue/system/windows_device_names.h"
#include "tools/kovra-catalogue/export/player_folders.h"

namespace fs = std::filesystem;

namespace {

bool WriteAll(std::FILE* stream, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() &&
           std::fflush(stream) == 0;
}

// A name for the new file in `folder`, tried until one is free. Its length is
// fixed and short, so any name the output may have leaves room for it in the
// folder.
fs::path NewFileName(const fs::path& folder, unsigned attempt) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    char name[16];
    std::snprintf(name, sizeof name, ".kovra%06lx",
                  static_cast<unsigned long>((now + attempt * 7919u) & 0xFFFFFF));
    return folder / name;
}

// Makes a new file in `folder` for writing; -1 with errno set when it cannot be
// made.
int CreateInFolder(const fs::path& folder, bool ownerOnly, fs::path& created) {
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        created = NewFileName(folder, attempt);
        fd = CreateNewFile(created, ownerOnly);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    return fd;
}

WhyNot WriteInPlace(const fs::path& target, const std::string& text) {
    std::FILE* file = OpenToOverwrite(target);
    if (file == nullptr) {
        return std::strerror(errno);
    }
    const bool written = WriteAll(file, text);
    const int savedErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        return std::strerror(written ? errno : savedErrno);
    }
    return {};
}

// The folder takes no new file, yet the file in it may be writable: written in
// place when no other name shares it (the player check was made on this
// folder).
WhyNot WriteWithoutNewFile(const fs::path& target, const FileFacts* old, const std::string& text) {
    if (old != nullptr && old->links == 1) {
        return WriteInPlace(target, text);
    }
    return "its folder " + FolderOf(target).u8string() + " takes no new file" +
           (old != nullptr ? " and the file has other names (hard links)" : "");
}

// Writes `text` into a new file in `target`'s folder and renames it over
// `target`, whose old file (`old`, null when there is none) keeps its bytes
// under any other name it has.
WhyNot ReplaceWithNewFile(const fs::path& target, const FileFacts* old, const std::string& text) {
    std::error_code fsError;
    const fs::perms kept =
        old != nullptr ? fs::status(target, fsError).permissions() : fs::perms::unknown;
    fs::path created;
    const int fd = CreateInFolder(FolderOf(target), old != nullptr, created);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM) {
            return WriteWithoutNewFile(target, old, text);
        }
        return std::strerror(errno);
    }
    WhyNot error;
    if (!WriteAndClose(fd, text)) {
        error = std::strerror(errno);
    } else if (fs::rename(created, target, fsError); fsError) {
        error = fsError.message();
    } else {
        // Set once the new file has the name: it stays private until then, and
        // a new file that a failed rename leaves is never read-only, which
        // Windows would keep from removal.
        if (kept != fs::perms::unknown) {
            fs::permissions(target, kept, fsError);
        }
        return {};
    }
    RemoveFile(created);
    return error;
}

// Writes `text` to the file `target` names, `target` being off the player: in
// place for what is no regular file (a device, a FIFO), else by a new file
// renamed over it. A read-only file is refused on every system: its flag is for
// the user to remove on purpose.
WhyNot WriteFile(const fs::path& target, const std::string& text) {
    FileFacts old;
    const bool exists = ReadFileFacts(target, LastLink::Follow, old);
    if (exists && old.kind != FileKind::Regular) {
        return WriteInPlace(target, text);
    }
    if (exists && old.readOnly) {
        return "it is read-only (make it writable to replace it)";
    }
    return ReplaceWithNewFile(target, exists ? &old : nullptr, text);
}

// Writes `text` to the file `path` names (`target`, the name written), provided
// the folder written in is none of the player's: checked after every link was
// followed, by its name and by its identity. Nothing is ever written to the
// player, not even on request, nor where the check cannot see.
OutputResult WriteOffPlayer(const fs::path& path, const fs::path& target, const fs::path& player,
                            const std::string& text, WhyNot& error) {
    fs::path unlisted;
    switch (FindPlayerFolder(FolderOf(target), player, unlisted)) {
        case PlayerFolder::Yes:
            error = "will not write " + path.u8string() + " onto the player";
            return OutputResult::OnPlayer;
        case PlayerFolder::Unknown:
            error = "will not write " + path.u8string() + ": the player's folder " +
                    unlisted.u8string() + " cannot be listed, and the file might lie in it";
            return OutputResult::OnPlayer;
        case PlayerFolder::No:
            break;
    }
    if (const WhyNot reason = WriteFile(target, text)) {
        error = "cannot write " + path.u8string() + ": " + reason.Text();
        return OutputResult::Failed;
    }
    return OutputResult::Written;
}

}  // namespace

OutputResult WriteOutput(const fs::path& path, const fs::path& player, const std::string& text,
                         WhyNot& error) {
    if (path.empty()) {
        MakeStdoutBinary();
        if (!WriteAll(stdout, text)) {
            error = std::string("cannot write to standard output: ") + std::strerror(errno);
            return OutputResult::Failed;
        }
        return OutputResult::Written;
    }
    WhyNot reason;
    fs::path target;
    std::error_code nameError;
    if (IsWindowsDeviceName(path)) {
        // A device name of Windows ("NUL") has no folder to check or to make a
        // file in.
        reason = WriteInPlace(path, text);
        if (!reason) {
            return OutputResult::Written;
        }
    } else if (WrittenName(path, target, nameError)) {
        return WriteOffPlayer(path, target, player, text, error);
    } else {
        reason = nameError.message();
    }
    error = "cannot write " + path.u8string() + ": " + reason.Text();
    return OutputResult::Failed;
}
