// The application's handler routines, registered under the names the window templates
// (resources/windows.tpl) bind to their events. This is the one place where a routine is
// tied to its name: a part of the program that is not built yet has a stub here, and
// building it means replacing the stub in the list.
#pragma once

#include "framework/handler_table.h"

namespace ld::app {

void RegisterHandlers(HandlerTable& table);

// The routines of each part, registered by name over the stubs of RegisterHandlers:
// the draw (engine, level selection, forfeit), start-up/exit/reset, the settings commands.
void RegisterDrawRoutines(HandlerTable& table);
void RegisterStartupRoutines(HandlerTable& table);
void RegisterSettingsRoutines(HandlerTable& table);

// The windows, by the names the templates give them.
extern const char* const kMainWindow;
extern const char* const kPasswordWindow;
extern const char* const kCelebrationWindow;

}  // namespace ld::app
