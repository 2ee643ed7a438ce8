// The names Windows opens a device for, not a file, in whatever folder they
// stand.
#pragma once

#include <cstddef>
#include <filesystem>

// True for CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9 and COM and LPT with a
// superscript 1, 2 or 3, in any case, with any extension and with spaces before
// it ("nul.mp3", "Com1 .txt"): the `length` bytes at `name`, one name of a
// path.
bool IsWindowsDeviceName(const char* name, size_t length);

// True when the whole `path`, as the system reads it, names a device: one of
// the names above ("NUL", "C:\x\nul.txt") or a device path ("\\.\NUL", not
// "\\.\C:\x" which is a file's). Windows only: false elsewhere.
bool IsWindowsDeviceName(const std::filesystem::path& path);
