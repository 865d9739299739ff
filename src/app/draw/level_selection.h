// Choosing the prize level to draw from the level selector 组合框1: the level's saved
// ordinal, its winner limit, its name and prize picture in their frame, and a warning when
// it has been completed.
#pragma once

namespace ld::app {

// The selector's item-chosen routine.
void SelectLevelFromList();

}  // namespace ld::app
