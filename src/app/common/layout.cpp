#include "app/common/layout.h"

#include "app/common/app_state.h"
#include "app/common/config_keys.h"
#include "services/host.h"

namespace ld::app {

void FramePrizeBox(Framing framing) {
    Control& box = StageControl("图片框_奖品");
    Control& left = StageControl("分隔条_左");
    Control& right = StageControl("分隔条_右");
    Control& top = StageControl("分隔条_上");
    Control& bottom = StageControl("分隔条_下");
    const int32_t outside = framing == Framing::Resize ? 1 : 0;
    left.setLeft(box.left() - outside);
    left.setTop(box.top());
    right.setLeft(box.left() + box.width());
    right.setTop(box.top());
    top.setLeft(box.left());
    top.setTop(box.top() - outside);
    bottom.setLeft(box.left());
    bottom.setTop(box.top() + box.height());
    left.setHeight(box.height());
    right.setHeight(box.height());
    top.setWidth(box.width());
    bottom.setWidth(box.width());
    // The prize name stands above its picture, as in the template (8 pixels apart); once
    // the layout has moved the picture, a name left behind would sit on the photo.
    Control& name = StageControl("透明标签_奖品名称");
    name.setLeft(box.left());
    name.setTop(box.top() - name.height() - 8);
}

void ShowPrizeArea(bool visible) {
    for (const char* name : {"图片框_奖品", "分隔条_左", "分隔条_右", "分隔条_上", "分隔条_下",
                             "透明标签_奖品名称"})
        StageControl(name).setVisible(visible);
}

void ApplyFullScreenMode() {
    Control& w = Stage().self();
    w.setInt(prop::kBorder, 0);
    w.setTop(0);
    w.setLeft(0);
    w.setWidth(host().screen->width());
    w.setHeight(host().screen->height());
    Stage().setMenuChecked(Gbk("全屏"), true);
    Stage().setMenuChecked(Gbk("窗口"), false);
    ConfigStore::write(keys::WindowMode(), FullScreenWord());
}

void ApplyWindowedMode() {
    Stage().self().setInt(prop::kBorder, 1);
    Stage().setMenuChecked(Gbk("窗口"), true);
    Stage().setMenuChecked(Gbk("全屏"), false);
    ConfigStore::write(keys::WindowMode(), WindowedWord());
}

}  // namespace ld::app
