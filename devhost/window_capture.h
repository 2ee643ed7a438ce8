// Saves what a window shows as a 24-bit BMP file.
#pragma once

#include <windows.h>

#include <string>

namespace devhost {

// Copies the window's area of the screen (so it must be visible and on top).
// False when the file cannot be written.
bool CaptureWindow(HWND window, const std::string& bmpPath);

}  // namespace devhost
