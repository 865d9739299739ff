// The verified draw's band on the stage: in the top right corner at a size read from the back of
// the hall, above the stage's controls and cards but under the full-screen check-in view,
// presses going through it, placed again when the stage changes size.
#include "platform/qt/stage_seal.h"

#include "platform/qt/batch_grid.h"
#include "platform/qt/checkin_panel.h"
#include "platform/qt/checkin_screen.h"
#include "qt_stage.h"
#include "services/text.h"

namespace ld::qt::test {
namespace {

class StageSealTest : public QtStageTest {
protected:
    StageSealTest() {
        define("Stage", [this](Window& w) {
            w.self().setWidth(1920);
            w.self().setHeight(1080);
            button = &add(w, ControlType::SuperBtn, "button", {0, 0, 1920, 180});
        });
        window = &load("Stage");
    }
    template <class Card>
    Card* card() {
        for (QObject* child : stage(*window).children())
            if (auto* c = dynamic_cast<Card*>(child)) return c;
        return nullptr;
    }
    StageSeal* seal() { return card<StageSeal>(); }
    // Stacking order among the stage's children: higher is nearer the audience.
    int level(QWidget* w) { return static_cast<int>(stage(*window).children().indexOf(w)); }

    Window* window = nullptr;
    Control* button = nullptr;
};

TEST_F(StageSealTest, LiesOverTheControlsAndUnderTheCheckinViewAndFollowsTheStage) {
    gui.setStageSeal(*window, Gbk("名单指纹 1a2b 3c4d 5e6f 7a8b　承诺 9f3e 0c1d\r\n"
                                  "现场数字 123456 789012 345678"));
    ASSERT_NE(seal(), nullptr);
    QRect band = seal()->geometry();
    EXPECT_EQ(band.top(), 0);
    EXPECT_EQ(band.right(), 1919);
    EXPECT_GE(band.height(), 2 * 24);  // two lines of 2.2 % of 1080
    EXPECT_GT(level(seal()), level(widgetOf(*button)));
    EXPECT_EQ(stage(*window).childAt(band.center()), widgetOf(*button));  // presses go through

    BatchGridView grid;
    grid.width = 1920;
    grid.height = 1080;
    grid.tiles.assign(3, {ImageBytes({40, 30}, Qt::red), Gbk("甲"), ""});
    gui.showBatchGrid(*window, grid);
    gui.showCheckinPanel(*window, CheckinPanelView{});
    gui.showCheckinScreen(*window, CheckinScreenView{});
    gui.showCheckinPanel(*window, CheckinPanelView{});  // an update raises the panel
    EXPECT_GT(level(seal()), level(stage(*window).batchGrid()));
    EXPECT_GT(level(seal()), level(card<CheckinPanel>()));
    EXPECT_LT(level(seal()), level(card<CheckinScreen>()));

    window->self().setWidth(1024);
    window->self().setHeight(768);
    ASSERT_TRUE(QTest::qWaitFor([&] { return stage(*window).height() == 768; }, 5000));
    band = seal()->geometry();
    EXPECT_EQ(band.top(), 0);
    EXPECT_EQ(band.right(), 1023);

    gui.setStageSeal(*window, Text());
    EXPECT_EQ(seal(), nullptr);
}

}  // namespace
}  // namespace ld::qt::test
