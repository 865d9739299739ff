#include "app/common/app_state.h"

#include "app/handlers.h"
#include "framework/window_manager.h"

namespace ld::app {

namespace {
AppState g_state;
}

AppState& State() { return g_state; }

void InitialiseApplication() { g_state = AppState{}; }

Window& Stage() { return windows().window(kMainWindow); }

Control& StageControl(std::string_view utf8Name) { return Stage().control(Gbk(utf8Name)); }

}  // namespace ld::app
