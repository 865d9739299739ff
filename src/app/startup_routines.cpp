#include "app/handlers.h"

namespace ld::app {

// Start-up of the draw screen, exit and reset register their routines here.
void RegisterStartupRoutines(HandlerTable&) {}

}  // namespace ld::app
