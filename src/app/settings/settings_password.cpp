#include "app/settings/settings_password.h"

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "app/common/data_files.h"
#include "app/handlers.h"
#include "app/settings/settings_common.h"
#include "framework/template_library.h"
#include "framework/window_manager.h"
#include "services/files.h"
#include "services/host.h"

namespace ld::app {

namespace {

Text StoredPassword() { return ConfigStore::readScrambled(keys::Password()); }

Text TypedPassword() { return windows().window(kPasswordWindow).control(Gbk("编辑框1")).text(); }

// The stage is often on a projector: the new password is typed masked.
bool AskForNewPassword(Text& password) {
    const Text prompt = Gbk("请输入密码");
    return host().dialogs->inputBox(prompt, prompt, Text(), password, true);
}

}  // namespace

void LoadPassword(Control&, EventArgs&) { State().currentPassword = StoredPassword(); }

void Login(Control&, EventArgs&) {
    // Byte for byte; with no password stored an empty field opens the panel.
    if (TypedPassword() != StoredPassword()) {
        Tell(Gbk("密码不正确！请重新输入。"));
        return;
    }
    StageControl("外形框1").setVisible(true);
    CreateFolder(files::InProgramDirectory(files::PrizeFolder()));
    CloseWindow(kPasswordWindow);
}

void ChangePassword(Control&, EventArgs&) {
    Text& current = State().currentPassword;
    current = StoredPassword();
    if (TypedPassword() != current) {
        Tell(Gbk("请在密码框输入原始密码后再修改！"));
        return;
    }
    const Text old = current;
    AskForNewPassword(current);  // cancel keeps the old one, stored again below
    if (!ConfigStore::writeScrambled(keys::Password(), current)) {
        current = old;  // peizhi.a still holds the old password, and so does the window
        Tell(Gbk("密码保存失败，原密码仍然有效！"), msg::kIconStop, Gbk("保存失败"));
        return;
    }
    if (current.empty()) {
        Tell(Gbk("您没有设置任何密码！"));
        return;
    }
    Tell(Gbk("设置成功！请牢记您的密码！"));
    CloseWindow(kPasswordWindow);
}

}  // namespace ld::app
