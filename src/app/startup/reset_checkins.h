// A rehearsal's check-ins at the reset: the photos and name cards that check-in made (as
// 签到记录.csv lists them) can leave with the event, into history/, so that test phones do
// not stay in the real draw. Photos put into photo/ by hand are never among them.
#pragma once

#include <vector>

#include "services/text.h"

namespace ld::app {

struct EventCheckins {
    std::vector<Text> files;  // the photos still in photo/, then 签到记录.csv; full paths
    int people = 0;           // how many of the files are photos
};

// Nothing when check-in made no photo that is still there.
EventCheckins FindEventCheckins();

// The reset's second question (Yes: remove them, No: keep them, Cancel: no reset).
Text RemoveCheckinsQuestion(int people);

}  // namespace ld::app
