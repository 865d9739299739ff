// The celebration after a winner: the celebration window (its created routine sizes it to the
// screen and plays a firework) for four seconds, while the interface stays live, so the
// re-arm and the next trigger are handled during it.
#include "app/common/app_state.h"
#include "app/draw/draw_engine_parts.h"
#include "app/handlers.h"
#include "framework/template_library.h"
#include "services/host.h"

namespace ld::app {

void Celebrate() {
    if (!LoadWindow(kCelebrationWindow, &Stage(), false)) return;
    if (Window* celebration = windows().find(kCelebrationWindow))
        celebration->self().setVisible(true);
    FocusStartButton();
    host().loop->waitProcessing(4000);
    // A trigger during the wait may have closed it already.
    if (IsWindowLoaded(kCelebrationWindow)) CloseWindow(kCelebrationWindow);
}

}  // namespace ld::app
