#include "app/draw_engine.h"
#include "app/forfeit.h"
#include "app/handlers.h"
#include "app/level_selection.h"

namespace ld::app {

// The draw engine, level selection and forfeit.
void RegisterDrawRoutines(HandlerTable& table) {
    table.add("StartOrStopDraw", [](Control&, EventArgs&) { StartOrStopDraw(); });
    table.add("RollTick", [](Control&, EventArgs&) { RollTick(); });
    table.add("RearmStartButton", [](Control&, EventArgs&) { RearmStartButton(); });
    table.add("SelectLevelFromList", [](Control&, EventArgs&) { SelectLevelFromList(); });
    table.add("ForfeitWinner", [](Control&, EventArgs&) { ForfeitWinner(); });
}

}  // namespace ld::app
