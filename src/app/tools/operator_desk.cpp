#include "app/tools/operator_desk.h"

#include <algorithm>

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/layout.h"
#include "app/common/winners_log.h"
#include "app/draw/batch_draw.h"
#include "app/draw/draw_engine.h"
#include "app/draw/draw_levels.h"
#include "app/draw/forfeit.h"
#include "app/draw/level_rules.h"
#include "app/tools/checkin_link.h"
#include "app/tools/checkin_screen.h"
#include "app/tools/event_tools.h"
#include "app/tools/photo_moderation.h"
#include "app/tools/winners_export.h"
#include "framework/popup_menu.h"
#include "services/host.h"

namespace ld::app {

namespace {

Text Caption() { return Gbk("舞台显示器"); }

// 舞台屏幕 as stored: a screen number from 1; nullopt when the key is missing or is no number.
std::optional<int> StoredStageScreen() {
    const Text text = ConfigStore::readText(keys::StageScreen());
    if (text.empty()) return std::nullopt;
    const int number = ToInt32(text);
    if (number < 1) return std::nullopt;
    return number;
}

// The console belongs on a screen other than the stage's, and only when the operator chose
// the stage's screen: it never opens by itself in front of the audience. A chosen screen
// that is not connected left the stage on the primary screen; the other one may then be
// the projector, where the stage was meant to be.
void OpenOrCloseConsole() {
    if (!hasGui()) return;
    const std::vector<Screen::Info> screens = host().screen->screens();
    const int stage = host().screen->stageScreen();
    if (StoredStageScreen() != stage || screens.size() < 2) {
        gui().closeConsole();
        return;
    }
    const int console = stage == 1 ? 2 : 1;
    gui().openConsole(console, DeskActions());
}

size_t PoolSize(std::string_view pool) {
    size_t lines = 0;
    for (size_t at = pool.find("\r\n"); at != std::string_view::npos;
         at = pool.find("\r\n", at + 2))
        ++lines;
    if (!pool.empty() && !pool.ends_with("\r\n")) ++lines;
    return lines;
}

void RunStageMenuItem(const char* caption) {
    EventArgs args;
    MenuItem& item = Stage().menuItem(Gbk(caption));
    if (item.selected) item.selected(Stage().self(), args);
}

void ChooseLevel(int index) {
    const ConsoleView view = CurrentConsoleView();
    if (index < 0 || static_cast<size_t>(index) >= view.levels.size()) return;
    Control& selector = StageControl("组合框1");
    const std::vector<Text>& items = selector.items();
    const auto found =
        std::find(items.begin(), items.end(), view.levels[static_cast<size_t>(index)].name);
    if (found == items.end()) return;
    // As the operator's choice in the selector: the same routine runs.
    selector.chooseItem(static_cast<int>(found - items.begin()));
    selector.raise(ev::kItemChosen);
}

void RunCommand(int command) {
    if (RunEventTool(command)) return;
    RunMenuCommand(Stage(), BuildPopupMenu(Stage().menu(), 0), command);
}

}  // namespace

void SetUpStageScreen() {
    const std::optional<int> wanted = StoredStageScreen();
    if (!wanted || *wanted == 1) return;
    if (host().screen->useStageScreen(*wanted)) return;
    host().dialogs->showMessage(
        Gbk("舞台显示器 ") + ToText(int32_t{*wanted}) + Gbk(" 没有连接，舞台显示在主显示器上。"),
        msg::kIconWarning, Caption());
}

void SetUpDesk() {
    State().clickers = ConfigStore::readLogical(keys::Clickers());
    if (hasGui() && ClickersOn()) gui().setClickerKeys(true);
    OpenOrCloseConsole();
}

void ChooseStageScreen() {
    const std::vector<Screen::Info> screens = host().screen->screens();
    std::vector<Text> entries;
    for (size_t i = 0; i < screens.size(); ++i) {
        const Screen::Info& s = screens[i];
        entries.push_back(ToText(static_cast<int32_t>(i + 1)) + Gbk("：") + s.name + "  " +
                          ToText(int32_t{s.width}) + "x" + ToText(int32_t{s.height}) +
                          (i == 0 ? Gbk("（主显示器）") : Text()));
    }
    const std::optional<int> chosen = host().dialogs->chooseFromList(
        Caption(), Gbk("请选择观众看到的舞台显示器："), entries, host().screen->stageScreen() - 1);
    if (!chosen || *chosen < 0 || static_cast<size_t>(*chosen) >= screens.size()) return;
    const int number = *chosen + 1;
    if (!ConfigStore::writeInt(keys::StageScreen(), number)) {
        host().dialogs->showMessage(Gbk("无法保存舞台显示器的设置：\r\n") + ConfigStore::path(),
                                    msg::kIconStop, Caption());
        return;
    }
    host().screen->useStageScreen(number);
    // A full-screen stage covers its new screen.
    if (Stage().menuItem(FullScreenWord()).checked) ApplyFullScreenMode();
    OpenOrCloseConsole();
}

bool ClickersOn() { return State().clickers; }

void ToggleClickers() {
    const bool on = !ClickersOn();
    if (!ConfigStore::writeLogical(keys::Clickers(), on)) {
        host().dialogs->showMessage(Gbk("无法保存翻页笔的设置：\r\n") + ConfigStore::path(),
                                    msg::kIconStop, Gbk("翻页笔"));
        return;
    }
    State().clickers = on;
    if (hasGui()) gui().setClickerKeys(on);
}

namespace {

// The oldest waiting photo; its bytes are read again only when another one comes first.
void ShowPendingPhoto(ConsoleView& view) {
    static Text shownName;
    static Bytes shownPhoto;
    view.moderationOn = ModerationOn();
    view.pendingPhotos = PendingPhotoCount();
    if (view.pendingPhotos == 0) return;
    std::optional<PendingPhoto> next = NextPendingPhoto();
    if (next && next->participant != shownName) {
        shownName = next->participant;
        shownPhoto = std::move(next->photo);
    }
    view.pendingName = shownName;
    view.pendingPhoto = shownPhoto;
}

}  // namespace

ConsoleView CurrentConsoleView() {
    ConsoleView view;
    const DrawState& draw = State().draw;
    const LevelTexts names = LevelNames();
    const Text selector = SelectorText();
    const auto poolSize = static_cast<int>(PoolSize(draw.poolText));
    std::optional<std::vector<Text>> pool;  // split once, and only for a level with rules
    for (int level = 1; level <= kLevelCount; ++level) {
        const Text& name = names[static_cast<size_t>(level - 1)];
        if (name.empty()) continue;
        if (name == selector && view.selectedLevel < 0)
            view.selectedLevel = static_cast<int>(view.levels.size());
        ConsoleLevel shown;
        shown.name = name;
        shown.drawn = draw.savedDrawn[static_cast<size_t>(level - 1)];
        shown.total = ToInt32(LevelCountText(level));
        shown.perDraw = PerDrawCount(level);
        const LevelRule rule = ReadLevelRule(level);
        shown.rule = RuleSummary(rule);
        shown.eligible = poolSize;
        if (rule.active()) {
            if (!pool) pool = SplitPool(draw.poolText);
            shown.eligible = static_cast<int>(AllowedNames(*pool, rule).size());
        }
        if (view.selectedLevel == static_cast<int>(view.levels.size()))
            view.progressText = ProgressText(name, shown.drawn);
        view.levels.push_back(std::move(shown));
    }
    const Control& button = StageControl("超级按钮");
    view.buttonCaption = button.text();
    view.buttonEnabled = !button.disabled();
    view.poolSize = poolSize;
    for (size_t entry : RunEntriesNewestFirst()) {
        view.winners.push_back(RunEntry(entry));
        ConsoleWinner& shown = view.winners.back();
        if (shown.forfeited) shown.name += Gbk("（放弃）");
        shown.forfeitable = RunWinnerForfeitable(entry);
    }
    view.musicOn = Stage().menuItem(Gbk("启用背景音乐")).checked;
    view.checkinOpen = CheckinIsOpen();
    view.checkinCount = CheckinCount();
    view.checkinRefused = CheckinRefusedCount();
    view.clickersOn = ClickersOn();
    ShowPendingPhoto(view);
    view.stageMenu = BuildPopupMenu(Stage().menu(), 0);
    view.tools = EventToolEntries();
    return view;
}

ConsoleActions DeskActions() {
    ConsoleActions actions;
    actions.view = CurrentConsoleView;
    // The operator at the console means the hall to see the roll: the check-in view steps
    // aside first (over it, a start is refused).
    actions.startOrStop = [] {
        CloseCheckinScreen();
        StartOrStopDraw();
    };
    actions.chooseLevel = ChooseLevel;
    actions.forfeit = [] { RunStageMenuItem("放弃当前中奖人"); };
    actions.forfeitWinner = [](int index) {
        const std::vector<size_t> entries = RunEntriesNewestFirst();
        if (index >= 0 && static_cast<size_t>(index) < entries.size())
            ForfeitRunWinner(entries[static_cast<size_t>(index)]);
    };
    actions.toggleMusic = [] { RunStageMenuItem("启用背景音乐"); };
    actions.toggleCheckin = ToggleCheckin;
    actions.toggleClickers = ToggleClickers;
    actions.exportWinners = ExportWinnersCommand;
    actions.moderatePhoto = ModeratePhoto;
    actions.runCommand = RunCommand;
    return actions;
}

}  // namespace ld::app
