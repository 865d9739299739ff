#include "ui/gui.h"

namespace ld {

namespace {
Gui* g_gui = nullptr;
}

Gui& gui() { return *g_gui; }
bool hasGui() { return g_gui != nullptr; }
void setGui(Gui* g) { g_gui = g; }

}  // namespace ld
