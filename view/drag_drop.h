// Rows between the view and the host: play or enqueue, drag out, drop in.
#pragma once

#include <windows.h>

#include "host/host_api.h"

struct LibraryLists;
struct ViewState;

// Sends the selected rows to the host to play, or to enqueue. Nothing before
// the first filter pass, without an open view or without rows.
void PlaySelection(const ViewState& state, const LibraryLists& lists, bool enqueue);

// A drag runs exactly while the view holds the mouse capture.
void BeginDrag(HWND view);
// `point` is the message's lParam: client coordinates, two signed 16-bit
// halves.
void DragMove(const ViewState& state, HWND view, LPARAM point);
void DragRelease(const ViewState& state, const LibraryLists& lists, HWND view, LPARAM point);

// Items the host drops on the view become rows; records of other types are
// left untouched.
void ViewDrop(const ViewState& state, LibraryLists& lists, HostDropRecord* record);
