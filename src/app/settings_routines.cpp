#include "app/handlers.h"
#include "app/settings_appearance.h"
#include "app/settings_layout.h"
#include "app/settings_media.h"
#include "app/settings_password.h"
#include "app/settings_prize_table.h"

namespace ld::app {

// The settings commands: prize table, appearance and layout, password, media, results.
// Routines bound to several controls tell them apart by the sender's name.
void RegisterSettingsRoutines(HandlerTable& table) {
    const std::pair<const char*, Handler> routines[] = {
        // Layout gestures on the draw screen
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
        // Password window
        {"LoadPassword", LoadPassword},
        {"Login", Login},
        {"ChangePassword", ChangePassword},
    };
    for (const auto& [name, routine] : routines) table.add(name, routine);
}

}  // namespace ld::app
