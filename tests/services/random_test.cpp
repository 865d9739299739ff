// The random services: the classic 15-bit generator, tick-based seeding, and the exact
// range mapping of RandomInt.
#include "services/random.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "services/host.h"

namespace ld {
namespace {

// A loop whose clock stands still, so that seedings land in the same millisecond.
class FrozenClockLoop : public EventLoop {
  public:
    explicit FrozenClockLoop(int64_t tick) : tick_(tick) {}
    int64_t tickCount() const override { return tick_; }
    TimerId startTimer(int, std::function<void()>) override { return 0; }
    void stopTimer(TimerId) override {}
    void post(std::function<void()>) override {}
    void waitProcessing(int) override {}
    void runUntil(const std::function<bool()>&) override {}

  private:
    int64_t tick_;
};

class RandomTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedHost_ = host();
        ResetRandomSeedCounter();
    }
    void TearDown() override {
        setHost(savedHost_);
        ResetRandomSeedCounter();
    }

    void useClockAt(int64_t tick) {
        loop_ = std::make_unique<FrozenClockLoop>(tick);
        Host h = savedHost_;
        h.loop = loop_.get();
        setHost(h);
    }

  private:
    Host savedHost_;
    std::unique_ptr<FrozenClockLoop> loop_;
};

TEST_F(RandomTest, GeneratorGivesTheClassicSequence) {
    RandomGenerator unseeded;
    SeedRandom(1u);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}) {
        EXPECT_EQ(TheRandomGenerator().next(), expected);
        EXPECT_EQ(unseeded.next(), expected);
    }
}

TEST_F(RandomTest, SeedingsInTheSameMillisecondDiffer) {
    useClockAt(1000);
    SeedRandom();
    EXPECT_EQ(TheRandomGenerator().state(), 1000u);
    EXPECT_EQ(RandomSeedCounter(), (1000u & 0xFF) + 100);  // 332
    SeedRandom();
    EXPECT_EQ(TheRandomGenerator().state(), 1332u);
    EXPECT_EQ(RandomSeedCounter(), 332u + (1332u & 0xFF) + 100);
    SeedRandom(7u);  // a given seed leaves the counter alone
    EXPECT_EQ(TheRandomGenerator().state(), 7u);
    EXPECT_EQ(RandomSeedCounter(), 484u);
}

TEST_F(RandomTest, RandomIntMapsTheNextValueIntoTheRange) {
    SeedRandom(1u);
    EXPECT_EQ(RandomInt(1, 10), 1 + 41 % 10);
    EXPECT_EQ(RandomInt(1, 10), 1 + 18467 % 10);
    EXPECT_EQ(RandomInt(), 6334);  // 0 .. 2147483647
}

TEST_F(RandomTest, AnEmptyRangeDoesNotAdvanceTheGenerator) {
    SeedRandom(1u);
    EXPECT_EQ(RandomInt(1, 1), 1);
    EXPECT_EQ(RandomInt(-4, -9), 0);  // both clamp to 0
    EXPECT_EQ(TheRandomGenerator().next(), 41);
}

TEST_F(RandomTest, SwappedAndNegativeBoundsStayInTheClampedRange) {
    SeedRandom(12345u);
    std::set<int32_t> swapped, negative;
    for (int i = 0; i < 500; ++i) {
        swapped.insert(RandomInt(5, 2));
        negative.insert(RandomInt(-3, 2));
    }
    EXPECT_EQ(swapped, (std::set<int32_t>{2, 3, 4, 5}));
    EXPECT_EQ(negative, (std::set<int32_t>{0, 1, 2}));
}

}  // namespace
}  // namespace ld
