// Where an export goes: standard output or a file, never a file on the player.
#pragma once

#include <filesystem>
#include <string>

// True when `file` would lie in `folder` or below it. Symbolic links and, on Windows, letter case
// are seen through; `folder` must exist.
bool LiesInside(const std::filesystem::path& file, const std::filesystem::path& folder);

// Writes `text` to standard output, unchanged (no CR is added before LF on Windows), or to the
// file at `path` when it is not empty, replacing the file. A regular file that could not be
// written completely is removed. False with `error` set to one line when something could not be
// written.
bool WriteOutput(const std::string& path, const std::string& text, std::string& error);
