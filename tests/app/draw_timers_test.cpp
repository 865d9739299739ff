// The engine on the virtual clock: roll ticks, the re-arm after a stop, the celebration and
// what a trigger does during it and during the pause.
#include <gtest/gtest.h>

#include "app/handlers.h"
#include "draw_fixture.h"
#include "framework/template_library.h"
#include "services/random.h"

namespace ld {
namespace {

using test::DrawTest;

class DrawTimers : public DrawTest {
protected:
    // Runs `fn` once, `ms` from now, from inside whatever loop is running then.
    void at(int ms, std::function<void()> fn) {
        auto id = std::make_shared<EventLoop::TimerId>();
        *id = host.loop.startTimer(ms, [this, id, fn] {
            host.loop.stopTimer(*id);
            fn();
        });
    }
};

TEST_F(DrawTimers, TicksShowTheRandomParticipantsPreviewAtTheInterval) {
    const char* names[] = {"A", "B", "C", "D", "E"};
    for (int i = 0; i < 5; ++i)
        writePhoto(names[i], test::PhotoWithPreview(static_cast<uint8_t>(40 * i)));
    setLevel(1, "特等奖", "3");
    setPool({"A", "B", "C", "D", "E"});
    control("编辑框_滚动速度").setTextValue("25");
    choose("特等奖");
    click();
    app::RollPreviews().waitIdle();
    EXPECT_EQ(control("时钟_取随机").getInt(prop::kInterval), 25);

    SeedRandom(99);
    RandomGenerator expected;
    expected.seed(99);
    host.loop.advance(24);
    EXPECT_EQ(state().currentIndex, 0);
    for (int tick = 0; tick < 4; ++tick) {
        host.loop.advance(25 - (tick == 0 ? 24 : 0));
        const int index = 1 + expected.next() % 5;
        ASSERT_EQ(state().currentIndex, index);
        const Text path = ProgramDirectory() + "/photo/" + names[index - 1] + ".jpg";
        const Bytes preview = app::LoadPhotoPreview(path);
        EXPECT_EQ(shownPicture(), preview);
        // The embedded preview, not the whole photo.
        EXPECT_LT(preview.size(),
                  folder.read("photo/" + std::string(names[index - 1]) + ".jpg").size() / 2);
    }
    click();  // the stop shows the whole photo
    EXPECT_EQ(shownPicture(), folder.read("photo/" + std::string(state().pickedName) + ".jpg"));
    EXPECT_EQ(control("时钟_取随机").getInt(prop::kInterval), 0);
}

TEST_F(DrawTimers, APhotoWithoutAPreviewRollsAsTheWholeFile) {
    writePhoto("A", test::SolidJpeg(32, 50));
    EXPECT_EQ(app::LoadPhotoPreview(ProgramDirectory() + "/photo/A.jpg"), test::SolidJpeg(32, 50));
    EXPECT_EQ(app::LoadPhotoPreview(ProgramDirectory() + "/photo/missing.jpg"), "");
}

TEST_F(DrawTimers, AnEmptyIntervalDoesNotRollButTheStopStillRecords) {
    control("编辑框_滚动速度").setTextValue("");
    setLevel(1, "特等奖", "3");
    setPool({"A", "B"});
    choose("特等奖");
    click();
    EXPECT_TRUE(control("图片框_照片").visible());
    host.loop.advance(1000);
    EXPECT_EQ(state().currentIndex, 0);
    click();
    EXPECT_EQ(state().resultsText, WinnerLine(state().pickedName, Gbk("特等奖")));
}

TEST_F(DrawTimers, TheButtonIsRearmed200msAfterAStop) {
    disableEffects(true);
    setLevel(1, "特等奖", "3");
    setPool({"A", "B"});
    choose("特等奖");
    click();
    host.gui.focused = nullptr;
    click();
    EXPECT_EQ(host.loop.waits, 0);  // effects disabled: no celebration, the stop returned at once
    EXPECT_TRUE(control("超级按钮").disabled());
    EXPECT_EQ(caption(), Gbk("停止抽奖"));
    host.loop.advance(199);
    EXPECT_TRUE(control("超级按钮").disabled());
    host.loop.advance(1);
    EXPECT_FALSE(control("超级按钮").disabled());
    EXPECT_EQ(caption(), Gbk("开始抽奖"));
    EXPECT_EQ(host.gui.focused, &control("超级按钮"));
    EXPECT_EQ(control("时钟_开始").getInt(prop::kInterval), 0);
}

// Enter does not care whether the button is enabled; a stop picked again from the stale roll
// list could record the same participant twice.
TEST_F(DrawTimers, TriggersDuringThePauseAreIgnored) {
    disableEffects(true);
    setLevel(1, "特等奖", "3");
    setPool({"A", "B", "C"});
    choose("特等奖");
    click();
    click();
    const Text results = state().resultsText;
    host.loop.advance(100);
    enter();
    click();
    EXPECT_EQ(state().resultsText, results);
    EXPECT_EQ(state().pickLogList.size(), 1u);
    EXPECT_TRUE(messages().empty());
    host.loop.advance(100);
    enter();
    EXPECT_EQ(caption(), Gbk("停止抽奖"));  // rolling again
}

TEST_F(DrawTimers, TheCelebrationCoversFourSecondsAndAnEarlyTriggerIsIgnored) {
    setLevel(1, "特等奖", "3");
    setPool({"A", "B", "C"});
    choose("特等奖");
    click();
    bool loadedDuringWait = false, enabledAt300 = false;
    at(100, [&] {
        loadedDuringWait = IsWindowLoaded(app::kCelebrationWindow);
        enter();  // in the pause: ignored, the celebration goes on
    });
    at(300, [&] { enabledAt300 = !control("超级按钮").disabled(); });
    const int64_t before = host.loop.tickCount();
    click();
    EXPECT_EQ(host.loop.tickCount() - before, 4000);
    EXPECT_TRUE(loadedDuringWait);
    EXPECT_TRUE(enabledAt300);
    host.loop.runPosted();
    EXPECT_FALSE(IsWindowLoaded(app::kCelebrationWindow));
    EXPECT_EQ(state().pickLogList.size(), 1u);
    EXPECT_EQ(caption(), Gbk("开始抽奖"));
}

TEST_F(DrawTimers, ATriggerDuringTheCelebrationClosesItAndStartsTheNextRoll) {
    setLevel(1, "特等奖", "3");
    setPool({"A", "B", "C"});
    choose("特等奖");
    click();
    bool closedAfterTrigger = false;
    uint32_t generatorAt3000 = 0;
    at(1000, [&] { enter(); });
    at(1001, [&] {
        closedAfterTrigger = !IsWindowLoaded(app::kCelebrationWindow);
        SeedRandom(5);
    });
    at(3000, [&] { generatorAt3000 = TheRandomGenerator().state(); });
    click();  // the stop; the celebration's wait runs the rest
    EXPECT_TRUE(closedAfterTrigger);
    EXPECT_EQ(caption(), Gbk("停止抽奖"));
    EXPECT_GT(state().currentIndex, 0);
    EXPECT_NE(generatorAt3000, 5u);  // the roll ticked during the wait
    EXPECT_EQ(control("时钟_取随机").getInt(prop::kInterval), 30);
    EXPECT_EQ(std::count(host.gui.loaded.begin(), host.gui.loaded.end(), Gbk("CelebrationWindow")),
              1);
    click();  // the next stop records the second winner
    EXPECT_EQ(state().nextOrdinal, 3);
}

}  // namespace
}  // namespace ld
