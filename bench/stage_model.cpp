#include "stage_model.h"

#include "services/text.h"

namespace ld::bench {

std::unique_ptr<Window> StageModel(std::string_view name) {
    auto w = std::make_unique<Window>(Text(name), 0);
    w->self().setWidth(1280);
    w->self().setHeight(800);
    Control& box = w->add(ControlType::PicBox, Gbk(kBoxName));
    box.setLeft(440);
    box.setTop(200);
    box.setWidth(kBoxWidth);
    box.setHeight(kBoxHeight);
    box.setInt(prop::kDisplayMode, 2);
    return w;
}

}  // namespace ld::bench
