// Rows between the view and the host: play or enqueue, drag out, drop in.
#pragma once

#include <windows.h>

#include "host/host_api.h"

// Sends the selected rows (every shown row with allRows) to the host to play,
// or to enqueue. Nothing before the first filter pass or without rows.
void PlaySelection(bool allRows, bool enqueue);

// A drag runs exactly while the view holds the mouse capture.
void BeginDrag(HWND view);
// `point` is the message's lParam: client coordinates, two signed 16-bit halves.
void DragMove(HWND view, LPARAM point);
void DragRelease(HWND view, LPARAM point);

// Items the host drops on the view become rows; records of other types are
// left untouched.
void ViewDrop(HostDropRecord* record);
