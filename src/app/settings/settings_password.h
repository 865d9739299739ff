// The settings password: the modal password window guards the settings panel and lets the
// operator change the password, which peizhi.a keeps scrambled.
#pragma once

#include "ui/control.h"

namespace ld::app {

// Created event of the password window: the current password from peizhi.a.
void LoadPassword(Control& sender, EventArgs& args);
// 按钮_登陆: opens the settings panel when the typed password is right.
void Login(Control& sender, EventArgs& args);
// 按钮_修改密码: asks for a new password once the old one is typed.
void ChangePassword(Control& sender, EventArgs& args);

}  // namespace ld::app
