// Where an export goes: standard output or a file, never a file on the player.
#pragma once

#include <filesystem>
#include <string>

#include "tools/kovra-catalogue/system/why_not.h"

enum class OutputResult {
    Written,
    OnPlayer,  // the file would or might lie on the player: nothing was written
    Failed,
};

// Writes `text` to standard output, unchanged (no CR is added before LF on
// Windows), when `path` is empty; otherwise to the file `path` (absolute)
// names, exactly that one at any length, provided its folder is no folder of
// the player (`player` or one below it) by any name: checked by path and by
// identity, so a bind mount, a second drive letter or a junction of a player
// folder is refused too, and so is any folder on the player's volume while a
// player folder cannot be listed. A name that is a symbolic link stands for the
// name it leads to, and that name's folder is the one checked and written in:
// the text goes into a new file there, which is then renamed over the name. So
// an existing file is replaced as a name, and a file it shares with another
// name (a hard link to a file of the player) keeps its bytes. A read-only file
// is refused. When the folder takes no new file, a file with no other name is
// written in place. A name for something that is no regular file (a device such
// as /dev/null or NUL, a FIFO) is written in place. Nothing is left behind by a
// write that fails. `error`: one line saying what went wrong.
OutputResult WriteOutput(const std::filesystem::path& path, const std::filesystem::path& player,
                         const std::string& text, WhyNot& error);
