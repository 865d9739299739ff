// The screens as the program numbers them and the stage's screen. The program's coordinates
// are 96-DPI logical pixels counted from the stage screen's top left corner.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "services/host.h"

namespace ld::win {

struct Monitor {
    HMONITOR handle = nullptr;
    RECT area{};  // desktop pixels
    RECT work{};  // without the task bar
    UINT dpi = 96;
    std::wstring name;
};

// Primary first, then the others left to right, top to bottom: the same numbers from one
// run to the next while the same screens are connected.
std::vector<Monitor> NumberedMonitors();
// The stage's screen: the chosen one while it is connected, else the primary screen.
Monitor StageMonitor();
// The desktop rectangle of a model rectangle (logical pixels from the stage screen's
// corner); `keepInside` moves it into the screen's work area where it would stick out.
RECT PlaceOnStage(const RECT& model, bool keepInside);
// Runs after the stage changed screens, to move what is on it.
void SetOnStageScreenChanged(std::function<void()> fn);

class WinScreen : public Screen {
public:
    int width() const override;
    int height() const override;
    std::vector<Info> screens() const override;
    bool useStageScreen(int number) override;
    int stageScreen() const override;
};

}  // namespace ld::win
