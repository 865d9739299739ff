// The screens as the program numbers them, the stage's screen and the console's. The
// program's coordinates count from the stage screen's top left corner; windows other than
// the stage follow the console to its screen while it is open, so that nothing meant for
// the operator appears in front of the audience.
#pragma once

#include <QRect>
#include <functional>
#include <vector>

class QScreen;
class QWidget;

namespace ld::qt {

// Primary first, then the others left to right, top to bottom: the same numbers from one
// run to the next while the same screens are connected.
std::vector<QScreen*> NumberedScreens();
// Screen `number` (from 1), or null.
QScreen* ScreenNumbered(int number);
int NumberOf(const QScreen* screen);

// The stage's screen: the chosen one while it is connected, else the primary screen.
QScreen* StageScreen();
QRect StageScreenGeometry();
// False, changing nothing, when there is no such screen.
bool ChooseStageScreen(int number);
// Runs after the stage changed screens, to move what is on it.
void SetOnStageScreenChanged(std::function<void()> fn);

// The open console (null when closed); the dialogs and the windows other than the stage
// go to its screen.
void SetConsoleWidget(QWidget* console);
QWidget* VisibleConsole();
QScreen* DeskScreen();

// The desktop rectangle of a model rectangle counted from `screen`'s top left corner;
// `keepInside` moves it into the screen's free area where it would stick out.
QRect PlaceOnScreen(const QRect& model, const QScreen* screen, bool keepInside);

}  // namespace ld::qt
