#include "app/tools/event_tools.h"

#include <functional>
#include <string>
#include <vector>

#include "app/draw/batch_draw.h"
#include "app/tools/checkin_link.h"
#include "app/tools/checkin_screen.h"
#include "app/tools/level_rules_window.h"
#include "app/tools/operator_desk.h"
#include "app/tools/photo_moderation.h"
#include "app/tools/verified_draw.h"
#include "app/tools/winners_export.h"
#include "ui/gui.h"

namespace ld::app {

namespace {

// Far from the stage menu's commands (20000 upward).
constexpr int kFirstToolCommand = 30000;

struct Tool {
    std::string caption;  // UTF-8
    std::function<bool()> checked;
    std::function<void()> run;
};

std::vector<Tool> Tools() {
    return {
        {"手机签到", CheckinIsOpen, ToggleCheckin},
        {"导入名单", nullptr, ImportNameListCommand},
        {"更换签到口令", nullptr, RenewCheckinToken},
        {"每次抽取人数", nullptr, EditPerDrawCounts},
        {"舞台显示器", nullptr, ChooseStageScreen},
        {"翻页笔", ClickersOn, ToggleClickers},
        {"导出中奖名单", nullptr, ExportWinnersCommand},
        // New ones last, so that the commands above keep their places.
        {"奖项规则", nullptr, EditLevelRules},
        {"签到大屏", CheckinScreenShown, ToggleCheckinScreen},
        {"照片审核", ModerationOn, ToggleModeration},
        {"公证抽奖", VerifiedDrawChecked, ToggleVerifiedDraw},
        {VerifiedInfoCaption(), nullptr, ShowVerifiedInfo},
    };
}

}  // namespace

std::vector<PopupEntry> EventToolEntries() {
    const std::vector<Tool> tools = Tools();
    std::vector<PopupEntry> entries;
    for (size_t i = 0; i < tools.size(); ++i) {
        PopupEntry entry;
        entry.caption = Gbk(tools[i].caption);
        entry.checked = tools[i].checked && tools[i].checked();
        entry.command = kFirstToolCommand + static_cast<int>(i);
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool RunEventTool(int command) {
    const std::vector<Tool> tools = Tools();
    const int index = command - kFirstToolCommand;
    if (index < 0 || static_cast<size_t>(index) >= tools.size()) return false;
    tools[static_cast<size_t>(index)].run();
    return true;
}

void RunEventToolsMenu(Window& stage) {
    if (!hasGui()) return;
    const std::optional<int> chosen = gui().popupMenu(stage, EventToolEntries());
    if (chosen) RunEventTool(*chosen);
}

}  // namespace ld::app
