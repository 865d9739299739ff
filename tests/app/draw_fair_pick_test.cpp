// The winner's pick: uniform over every name of the roll, past the 15-bit generator's reach.
#include <gtest/gtest.h>

#include <vector>

#include "app/draw/fair_pick.h"
#include "draw_fixture.h"

namespace ld {
namespace {

// Chi-square of observed counts against a uniform expectation.
double ChiSquare(const std::vector<int>& counts, double expected) {
    double sum = 0;
    for (int c : counts) sum += (c - expected) * (c - expected) / expected;
    return sum;
}

TEST(FairPick, UniformOverSmallAndLargeRolls) {
    app::FairPicker picker(7);
    // Ten names: 9 degrees of freedom, 27.88 is the 0.1 % critical value.
    std::vector<int> small(10);
    for (int i = 0; i < 100000; ++i) ++small[static_cast<size_t>(picker.pick(10) - 1)];
    EXPECT_LT(ChiSquare(small, 10000), 27.88);

    // 40,000 names in 40 bands of 1,000: a pick limited to the first 32,768 names, or
    // favouring the low ones, fails by far (39 degrees of freedom, 72.05 at 0.1 %).
    std::vector<int> bands(40);
    for (int i = 0; i < 400000; ++i) {
        const int32_t n = picker.pick(40000);
        ASSERT_GE(n, 1);
        ASSERT_LE(n, 40000);
        ++bands[static_cast<size_t>((n - 1) / 1000)];
    }
    EXPECT_LT(ChiSquare(bands, 10000), 72.05);

    EXPECT_EQ(picker.pick(1), 1);
    EXPECT_EQ(picker.pick(0), 0);
}

TEST(FairPick, UnseededPickersDiffer) {
    app::FairPicker a, b;
    int same = 0;
    for (int i = 0; i < 8; ++i) same += a.pick(1 << 30) == b.pick(1 << 30);
    EXPECT_LT(same, 8);
}

class FairPickOnStage : public test::DrawTest {};

TEST_F(FairPickOnStage, AWinnerPastPosition32768InAPoolOf40000) {
    disableEffects(true);
    allowRepeats(true);
    setLevel(1, "特等奖", "100");
    Text pool;
    for (int i = 1; i <= 40000; ++i) pool += "p" + std::to_string(i) + "\r\n";
    state().poolText = pool;
    choose("特等奖");
    int32_t index = 0;
    for (int draw = 0; draw < 60 && index <= 32768; ++draw) {
        drawOne();
        index = state().currentIndex;
    }
    ASSERT_GT(index, 32768);
    const Text name = "p" + std::to_string(index);
    EXPECT_EQ(state().pickedName, name);
    EXPECT_TRUE(state().resultsText.ends_with(WinnerLine(name, Gbk("特等奖"))));
}

}  // namespace
}  // namespace ld
