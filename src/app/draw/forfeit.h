// A drawn winner declines or is absent: the last draw of the current level no longer counts,
// so the level gets one more draw. The results keep the winner's line and receive a marker
// line after it; the participant does not return to the pool.
#pragma once

namespace ld::app {

// The routine of the pop-up menu item 放弃当前中奖人.
void ForfeitWinner();

}  // namespace ld::app
