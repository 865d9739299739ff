// The verified draw's band in the stage's top right corner (ui/stage_seal_layout): white lines on
// a dark translucent strip. A child of the stage; presses go through it to the stage.
#pragma once

#include <QWidget>
#include <vector>

#include "services/text.h"
#include "ui/stage_seal_layout.h"

namespace ld::qt {

class StageSeal : public QWidget {
public:
    explicit StageSeal(QWidget* stage);

    // `text`: GBK lines separated by CR LF.
    void setText(const Text& text);
    // In the stage's top right corner again, at its present size.
    void place();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<Text> lines_;
    StageSealLayout layout_;
};

}  // namespace ld::qt
