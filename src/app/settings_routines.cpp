#include "app/handlers.h"

namespace ld::app {

// The settings commands (prize table, appearance and layout, password, media, results)
// register their routines here.
void RegisterSettingsRoutines(HandlerTable&) {}

}  // namespace ld::app
