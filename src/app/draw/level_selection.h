// Choosing the prize level to draw from the level selector 组合框1: the level's saved
// ordinal, its winner limit, its name and prize picture in their frame, and a warning when
// it has been completed.
#pragma once

namespace ld::app {

// The selector's item-chosen routine.
void SelectLevelFromList();

// What choosing the level in the selector's text shows: its progress, prize picture and
// name, with no warning for a complete level. A recovered draw comes back through it.
void ShowSelectedLevel();

}  // namespace ld::app
