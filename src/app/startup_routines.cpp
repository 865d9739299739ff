#include "app/exit_program.h"
#include "app/handlers.h"
#include "app/reset.h"
#include "app/stage_startup.h"

namespace ld::app {

namespace {

void StartUp(Control&, EventArgs&) { StartUpStage(); }

// The close request passes the answer on: the screen closes only when the procedure allows.
void ExitRequested(Control&, EventArgs& args) { args.allow = RunExitProcedure(); }

void ExitMenu(Control&, EventArgs&) { RunExitProcedure(); }

void ResetAll(Control&, EventArgs&) { RunReset(); }

}  // namespace

void RegisterStartupRoutines(HandlerTable& table) {
    table.add("StartUp", StartUp);
    table.add("ExitRequested", ExitRequested);
    table.add("ExitMenu", ExitMenu);
    table.add("ResetAll", ResetAll);
}

}  // namespace ld::app
