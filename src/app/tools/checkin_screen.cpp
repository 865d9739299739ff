#include "app/tools/checkin_screen.h"

#include "app/common/app_state.h"
#include "app/draw/draw_phase.h"
#include "app/handlers.h"
#include "app/tools/checkin_link.h"
#include "app/tools/event_tools.h"
#include "checkin/qr_code.h"
#include "framework/template_library.h"
#include "services/encoding.h"
#include "services/host.h"
#include "ui/gui.h"

namespace ld::app {

bool CheckinScreenShown() { return State().checkinScreen; }

void RefreshCheckinScreen() {
    if (!State().checkinScreen || !hasGui()) return;
    CheckinScreenView view;
    const std::string url = CheckinUrl();
    view.url = url;
    const checkin::QrCode code = checkin::MakeQrCode(url);
    view.qrModules = code.modules;
    view.qrSize = code.size;
    view.count = CheckinCount();
    view.latestNames = LatestCheckinNames();
    view.escape = CloseCheckinScreen;
    view.menu = [] { RunEventToolsMenu(Stage()); };
    gui().showCheckinScreen(Stage(), view);
}

void CloseCheckinScreen() {
    if (!State().checkinScreen) return;
    State().checkinScreen = false;
    if (hasGui() && IsWindowLoaded(kMainWindow)) gui().hideCheckinScreen(Stage());
}

void ToggleCheckinScreen() {
    if (State().checkinScreen) return CloseCheckinScreen();
    // Over a roll it would hide the very thing the hall watches, and take the stop's key.
    if (!DrawIsIdle()) {
        host().dialogs->showMessage(Gbk("正在抽奖，请停止后再打开签到大屏。"), msg::kIconInfo,
                                    Gbk("签到大屏"));
        return;
    }
    if (!CheckinIsOpen()) ToggleCheckin();
    if (!CheckinIsOpen()) return;  // the operator was told why
    State().checkinScreen = true;
    RefreshCheckinScreen();
}

}  // namespace ld::app
