// Whether photos are rolling, for the features that must stay out of a pick: a check-in
// joins the pool only while the draw is idle, and the check-in panel steps aside during a
// roll.
#pragma once

#include <functional>

namespace ld::app {

enum class DrawPhase { Rolling, Idle };

// Idle: the start button offers a start (not rolling, not in the pause after a stop).
bool DrawIsIdle();

// One listener: told when a roll starts and when the draw is idle again after a stop.
void SetDrawPhaseListener(std::function<void(DrawPhase)> listener);
void NotifyDrawPhase(DrawPhase phase);

}  // namespace ld::app
