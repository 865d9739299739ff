#include "app/handlers.h"

#include "app/draw/draw_engine.h"
#include "app/draw/forfeit.h"
#include "app/draw/level_selection.h"
#include "app/settings/settings_appearance.h"
#include "app/settings/settings_layout.h"
#include "app/settings/settings_media.h"
#include "app/settings/settings_password.h"
#include "app/settings/settings_prize_table.h"
#include "app/startup/exit_program.h"
#include "app/startup/reset.h"
#include "app/startup/stage_startup.h"
#include "app/tools/event_tools.h"
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

// With Ctrl held the stage offers its event tools instead of the menu of its commands.
void ShowPopupMenu(Control& sender, EventArgs& args) {
    if (args.keyState & keys::kCtrl) return RunEventToolsMenu(sender.window());
    RunPopupMenu(sender.window());
}

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

// A part's routine that takes no event arguments.
template <void (*routine)()>
void Plain(Control&, EventArgs&) {
    routine();
}

void StartUp(Control&, EventArgs&) { StartUpStage(); }

// The close request passes the answer on: the screen closes only when the procedure allows.
void ExitRequested(Control&, EventArgs& args) { args.allow = RunExitProcedure(); }

void ExitMenu(Control&, EventArgs&) { RunExitProcedure(); }

struct Routine {
    const char* name;
    Handler routine;
};

// Every routine the templates bind, each exactly once. Routines bound to several controls
// tell them apart by the sender's name.
std::vector<Routine> Routines() {
    return {
        // Draw screen
        {"StartUp", StartUp},
        {"ExitRequested", ExitRequested},
        {"ShowPopupMenu", ShowPopupMenu},
        {"ActivateStage", ActivateStage},
        {"DeactivateStage", DeactivateStage},
        {"StartOrStopDraw", Plain<StartOrStopDraw>},
        {"RollTick", Plain<RollTick>},
        {"RearmStartButton", Plain<RearmStartButton>},
        {"SelectLevelFromList", Plain<SelectLevelFromList>},
        {"MoveElement", MoveElement},
        {"ResizePrizeFromBar", ResizePrizeFromBar},
        // Settings panel
        {"DragSettingsPanel", DragSettingsPanel},
        {"HideSettingsPanel", HideSettingsPanel},
        {"ChoosePrizePicture", ChoosePrizePicture},
        {"ClearPrizePicture", ClearPrizePicture},
        {"SavePrizeTable", SavePrizeTable},
        {"ToggleHideButton", ToggleHideButton},
        {"ToggleEffects", ToggleEffects},
        // Pop-up menu
        {"ChangeMainTitle", ChangeMainTitle},
        {"ChangeSubtitle", ChangeSubtitle},
        {"OpenSettings", OpenSettings},
        {"PhotoFolderHelp", PhotoFolderHelp},
        {"ShowResults", ShowResults},
        {"ChangeBackground", ChangeBackground},
        {"RemoveBackground", RemoveBackground},
        {"ChangeMusic", ChangeMusic},
        {"EnableMusic", EnableMusic},
        {"DisableMusic", DisableMusic},
        {"MainTitleFont", MainTitleFont},
        {"SubtitleFont", SubtitleFont},
        {"WinnerFont", WinnerFont},
        {"ResultFont", ResultFont},
        {"WindowedMode", WindowedMode},
        {"FullScreenMode", FullScreenMode},
        {"ForfeitWinner", Plain<ForfeitWinner>},
        {"ResetAll", Plain<RunReset>},
        {"ExitMenu", ExitMenu},
        // Password window
        {"LoadPassword", LoadPassword},
        {"Login", Login},
        {"ChangePassword", ChangePassword},
        // Celebration window
        {"StartCelebration", StartCelebration},
    };
}

}  // namespace

void RegisterHandlers(HandlerTable& table) {
    for (auto& r : Routines()) table.add(r.name, std::move(r.routine));
}

}  // namespace ld::app
