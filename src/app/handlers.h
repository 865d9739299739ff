// The application's handler routines, registered under the names the window templates
// (resources/windows.tpl) bind to their events. This is the one place where a routine is
// tied to its name, and each name is registered exactly once.
#pragma once

#include "framework/handler_table.h"

namespace ld::app {

void RegisterHandlers(HandlerTable& table);

// The windows, by the names the templates give them.
extern const char* const kMainWindow;
extern const char* const kPasswordWindow;
extern const char* const kCelebrationWindow;

}  // namespace ld::app
