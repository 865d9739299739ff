#include "app/draw/draw_phase.h"

#include "app/common/app_state.h"
#include "app/draw/draw_engine_parts.h"

namespace ld::app {

namespace {
std::function<void(DrawPhase)>& Listener() {
    static std::function<void(DrawPhase)> listener;
    return listener;
}
}  // namespace

bool DrawIsIdle() { return StageControl("超级按钮").text() == StartCaption(); }

void SetDrawPhaseListener(std::function<void(DrawPhase)> listener) {
    Listener() = std::move(listener);
}

void NotifyDrawPhase(DrawPhase phase) {
    if (Listener()) Listener()(phase);
}

}  // namespace ld::app
