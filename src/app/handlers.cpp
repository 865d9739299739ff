#include "app/handlers.h"

#include "framework/popup_menu.h"
#include "framework/template_library.h"
#include "services/host.h"
#include "services/random.h"
#include "ui/gui.h"
#include "ui/hotkeys.h"

namespace ld::app {

const char* const kMainWindow = "MainWindow";
const char* const kPasswordWindow = "PasswordWindow";
const char* const kCelebrationWindow = "CelebrationWindow";

namespace {

// A routine whose part of the program is not built yet: the event is bound, nothing happens.
void NotBuiltYet(Control&, EventArgs&) {}

void ShowPopupMenu(Control& sender, EventArgs&) { RunPopupMenu(sender.window()); }

// Enter starts or stops the draw while the draw screen is the active window.
int g_stageHotKey = 0;

void ActivateStage(Control& sender, EventArgs&) {
    Window& stage = sender.window();
    // A second activation without a deactivation between must not leave a key behind.
    if (g_stageHotKey != 0) RemoveHotKey(stage, g_stageHotKey);
    g_stageHotKey = AddHotKey(stage, stage.control(Gbk("标签1_抽奖大标题")), 0, kVirtualKeyEnter);
}

void DeactivateStage(Control& sender, EventArgs&) {
    RemoveHotKey(sender.window(), g_stageHotKey);
    g_stageHotKey = 0;
}

void OpenSettings(Control&, EventArgs&) { LoadWindow(kPasswordWindow, nullptr, true); }

// The celebration covers the whole primary screen and plays one of three animations; the
// host reads which from the window's tag ("1" to "3").
void StartCelebration(Control& sender, EventArgs&) {
    sender.setLeft(0);
    sender.setTop(0);
    sender.setWidth(host().screen->width());
    sender.setHeight(host().screen->height());
    int animation = RandomInt(4, 6) - 3;
    sender.set(prop::kTag, ToText(animation));
    if (hasGui()) gui().playAnimation(sender.window(), animation);
}

struct Routine {
    const char* name;
    Handler routine;
};

std::vector<Routine> Routines() {
    return {
        // Draw screen
        {"StartUp", NotBuiltYet},
        {"ExitRequested", NotBuiltYet},
        {"ShowPopupMenu", ShowPopupMenu},
        {"ActivateStage", ActivateStage},
        {"DeactivateStage", DeactivateStage},
        {"StartOrStopDraw", NotBuiltYet},
        {"RollTick", NotBuiltYet},
        {"RearmStartButton", NotBuiltYet},
        {"SelectLevelFromList", NotBuiltYet},
        {"MoveElement", NotBuiltYet},
        {"ResizePrizeFromBar", NotBuiltYet},
        // Settings panel
        {"DragSettingsPanel", NotBuiltYet},
        {"HideSettingsPanel", NotBuiltYet},
        {"ChoosePrizePicture", NotBuiltYet},
        {"ClearPrizePicture", NotBuiltYet},
        {"SavePrizeTable", NotBuiltYet},
        {"ToggleHideButton", NotBuiltYet},
        {"ToggleEffects", NotBuiltYet},
        // Pop-up menu
        {"ChangeMainTitle", NotBuiltYet},
        {"ChangeSubtitle", NotBuiltYet},
        {"OpenSettings", OpenSettings},
        {"PhotoFolderHelp", NotBuiltYet},
        {"ShowResults", NotBuiltYet},
        {"ChangeBackground", NotBuiltYet},
        {"RemoveBackground", NotBuiltYet},
        {"ChangeMusic", NotBuiltYet},
        {"EnableMusic", NotBuiltYet},
        {"DisableMusic", NotBuiltYet},
        {"MainTitleFont", NotBuiltYet},
        {"SubtitleFont", NotBuiltYet},
        {"WinnerFont", NotBuiltYet},
        {"ResultFont", NotBuiltYet},
        {"WindowedMode", NotBuiltYet},
        {"FullScreenMode", NotBuiltYet},
        {"ForfeitWinner", NotBuiltYet},
        {"ResetAll", NotBuiltYet},
        {"ExitMenu", NotBuiltYet},
        // Password window
        {"LoadPassword", NotBuiltYet},
        {"Login", NotBuiltYet},
        {"ChangePassword", NotBuiltYet},
        // Celebration window
        {"StartCelebration", StartCelebration},
    };
}

}  // namespace

void RegisterHandlers(HandlerTable& table) {
    for (auto& r : Routines()) table.add(r.name, std::move(r.routine));
    // Each part of the application registers its own routines over the stubs above.
    RegisterDrawRoutines(table);
    RegisterStartupRoutines(table);
    RegisterSettingsRoutines(table);
}

}  // namespace ld::app
