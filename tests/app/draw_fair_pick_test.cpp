// The winner's pick: uniform over every name of the roll, past the 15-bit generator's reach.
#include <gtest/gtest.h>

#include <algorithm>
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

TEST(FairBatch, EveryNameAndEveryPairAsLikelyInABatch) {
    app::FairPicker picker(11);
    std::vector<Text> names;
    for (int i = 0; i < 10; ++i) names.push_back("n" + std::to_string(i));
    // Three of ten, 30,000 times: each name in 9,000 batches, each of the 45 pairs in 2,000.
    // "A random start, then the next names in a row" passes the first count and fails the
    // second by far. 0.1 % critical values: 27.88 (9 degrees), 78.75 (44 degrees).
    std::vector<int> names3(10), pairs(45);
    for (int trial = 0; trial < 30000; ++trial) {
        std::vector<size_t> batch = app::PickDistinctNames(picker, names, 3, {});
        ASSERT_EQ(batch.size(), 3u);
        std::sort(batch.begin(), batch.end());
        ASSERT_TRUE(std::adjacent_find(batch.begin(), batch.end()) == batch.end());
        for (size_t i = 0; i < 3; ++i) {
            ++names3[batch[i]];
            for (size_t j = i + 1; j < 3; ++j)  // pair (a, b), a < b, numbered row by row
                ++pairs[batch[i] * 9 - batch[i] * (batch[i] + 1) / 2 + batch[j] - 1];
        }
    }
    EXPECT_LT(ChiSquare(names3, 9000), 27.88);
    EXPECT_LT(ChiSquare(pairs, 2000), 78.75);
}

TEST(FairBatch, SkipsTakenNamesAndStopsWhenNoneAreLeft) {
    app::FairPicker picker(3);
    // A name on two lines counts once; empty lines and excluded names never come.
    const std::vector<Text> names = {"a", "b", "a", "", "c", "d"};
    for (int trial = 0; trial < 200; ++trial) {
        const std::vector<size_t> batch = app::PickDistinctNames(picker, names, 50, {"d"});
        ASSERT_EQ(batch.size(), 3u);
        std::vector<Text> picked;
        for (size_t i : batch) picked.push_back(names[i]);
        std::sort(picked.begin(), picked.end());
        EXPECT_EQ(picked, (std::vector<Text>{"a", "b", "c"}));
    }
    EXPECT_TRUE(app::PickDistinctNames(picker, {}, 5, {}).empty());

    // The last of 40,000 names is reached by batches of 50 (expected within 800 batches).
    std::vector<Text> many;
    for (int i = 1; i <= 40000; ++i) many.push_back("p" + std::to_string(i));
    bool reached = false;
    for (int batch = 0; batch < 20000 && !reached; ++batch) {
        for (size_t i : app::PickDistinctNames(picker, many, 50, {})) reached |= i == 39999;
    }
    EXPECT_TRUE(reached);
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
