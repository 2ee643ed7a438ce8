// The view following the player: one look at the player
// (library/player_follow.h) with the progress line of a read, and the open view
// shown what came of it.
#pragma once

#include "library/player_follow.h"

class DeviceCatalogue;
struct LibraryLists;
struct ViewState;

// One look at the player. With a view open a player found is read at once,
// its progress on the view's status line; with none, reading waits for the
// next view. Asks the user for no disk. Runs no filter pass.
PlayerChange LookAtPlayer(const ViewState& state, LibraryLists& lists, DeviceCatalogue& catalogue);

// LookAtPlayer, then a filter pass with the search box's text when the rows
// changed, so the open view shows what is left or what came with its usual
// status line. False when it must be done again later: the host holds lent
// rows.
bool FollowPlayerInView(const ViewState& state, LibraryLists& lists, DeviceCatalogue& catalogue);
