// Ending the program, and saving an unfinished draw so that the next start can resume it.
// Runs for the draw screen's close request and for the menu item 退出.
#pragma once

#include "services/text.h"

namespace ld::app {

// Stores the prize box's size; while winners are missing from the results file, offers to
// save them elsewhere (Cancel keeps the program open); then asks whether to save the draw. Yes saves and ends the
// program, No ends it; neither returns. Returns false (the screen stays open) on Cancel
// and when the draw could not be saved: the operator has been told, nothing is lost.
bool RunExitProcedure();

// The texts of the exit (GBK).
Text ExitQuestion();
Text SavedNotice();  // 抽奖进度已保存，软件退出再运行，可以继续抽奖！
Text SaveFailure(const Text& path);  // 抽奖进度保存失败： + path
Text UnsavedResultsQuestion();

}  // namespace ld::app
