// The celebration: three firework animations drawn with QPainter over a dimmed picture of
// what lay beneath, a frame every display refresh, stopped the moment the window goes.
#pragma once

#include <QPixmap>

class QWidget;

namespace ld::qt {

// Animation 1 bursts of coloured shells, 2 golden fountains and willows, 3 rings, hearts
// and glitter. Anything else plays animation 1.
QWidget* CreateFireworks(QWidget* parent, int animation);
void StopFireworks(QWidget* fireworks);
// For tests: how many particles are alive and whether frames are still being made.
int FireworksParticles(QWidget* fireworks);
bool FireworksRunning(QWidget* fireworks);
// Moves the animation forward by `seconds` without waiting for the display.
void AdvanceFireworks(QWidget* fireworks, double seconds);

}  // namespace ld::qt
