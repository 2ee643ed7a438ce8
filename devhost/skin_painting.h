// What the stand-in host's skin actually does to a plug-in's dialog: lays its
// controls out on resizing, draws borders and owner-drawn buttons, and gives
// the dialog the skin's colours.
#pragma once

#include <windows.h>

#include <cstdint>

namespace devhost {

// Rules as six words: control id, flags, then the control's starting
// rectangle (left, top, right, bottom) in the dialog, written by
// RememberLayout. Flag 0x10: the right edge follows the dialog's right edge;
// 0x1: the bottom edge follows its bottom; 0x100: the top edge does too.
void RememberLayout(HWND dialog, int32_t* rules, int count);
void ApplyLayout(HWND dialog, const int32_t* rules, int count);

// Paints the dialog's pending area with one-pixel frames around the controls
// whose ids are the low words of `controls`.
void PaintBorders(HWND dialog, const int32_t* controls, int count);

// Owner-drawn buttons and the skin's colours; nonzero when it handled the
// message, as a dialog procedure would answer.
INT_PTR PaintDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace devhost
