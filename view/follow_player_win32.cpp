// The view following the player: the look, its progress line and the filter
// pass after it.
#include "view/follow_player.h"

#include <optional>

#include "catalogue/critical_error_boxes_win32.h"
#include "catalogue/device_locator.h"
#include "view/filter_and_sort.h"
#include "view/read_progress_scope.h"
#include "view/view_state.h"

PlayerChange LookAtPlayer(const ViewState& state, LibraryLists& lists, DeviceCatalogue& catalogue) {
    std::optional<ReadProgressScope> progress;
    if (state.window != nullptr) {
        progress.emplace(state.window);
    }
    // A drive that goes away during the read must not ask the user for a disk.
    const CriticalErrorBoxesOff quiet;
    return FollowPlayer(catalogue, lists, LocateDevice, progress ? &*progress : nullptr,
                        progress ? ReadNow::kYes : ReadNow::kNo, *state.settings);
}

bool FollowPlayerInView(const ViewState& state, LibraryLists& lists, DeviceCatalogue& catalogue) {
    const PlayerChange change = LookAtPlayer(state, lists, catalogue);
    if (change == PlayerChange::kRowsLeft || change == PlayerChange::kRead) {
        RunFilterPass(state, lists);
    }
    return change != PlayerChange::kWaits;
}
