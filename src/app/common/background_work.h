// Work too long for the UI thread (an export with hundreds of photos, a name list of hundreds
// of name cards) runs on a worker while the stage stays alive: timers, input and the draw go
// on meanwhile, so the caller must expect the program to change under it.
#pragma once

#include <chrono>
#include <future>
#include <utility>

#include "services/host.h"

namespace ld::app {

template <typename Work>
auto WhileTheStageRuns(Work work) -> decltype(work()) {
    auto done = std::async(std::launch::async, std::move(work));
    while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        host().loop->waitProcessing(50);
    return done.get();
}

}  // namespace ld::app
