// A drawn winner declines or is absent: their draw no longer counts, so the level gets one
// more draw. The results keep the winner's line and receive a marker line after it; the
// participant does not return to the pool.
#pragma once

#include <cstddef>

namespace ld::app {

// The routine of the pop-up menu item 放弃当前中奖人. After a single stop it takes back the
// last winner; after a batch it asks which of the batch's winners gives up.
void ForfeitWinner();

// Gives up one of this run's winners (an entry of the winners log's run list), when they
// won the level now in the selector and have not given up yet: the console's 放弃.
void ForfeitRunWinner(size_t entry);
// True when ForfeitRunWinner would ask about that entry.
bool RunWinnerForfeitable(size_t entry);

}  // namespace ld::app
