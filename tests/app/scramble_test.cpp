#include "app/common/scramble.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "services/random.h"
#include "support/test_host.h"

namespace ld {
namespace {

class ScrambleTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRandomSeedCounter(); }
    test::TestHost host;  // a clock that stands still: every run scrambles alike
};

bool AllFromKey(const Text& scrambled) {
    return std::all_of(scrambled.begin(), scrambled.end(),
                       [](char c) { return kScrambleKey.find(c) != std::string_view::npos; });
}

TEST_F(ScrambleTest, KeyHasSixtyTwoDistinctLettersAndDigitsShuffled) {
    ASSERT_EQ(kScrambleKey.size(), 62u);
    std::set<char> distinct(kScrambleKey.begin(), kScrambleKey.end());
    EXPECT_EQ(distinct.size(), 62u);
    EXPECT_TRUE(std::all_of(kScrambleKey.begin(), kScrambleKey.end(),
                            [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }));
    EXPECT_FALSE(std::is_sorted(kScrambleKey.begin(), kScrambleKey.end()));
}

TEST_F(ScrambleTest, RoundTripsEmptyAsciiAndChinese) {
    EXPECT_EQ(ScrambleText(""), "");
    EXPECT_EQ(UnscrambleText(""), "");

    Text ascii = "Pass word 123!";
    Text scrambled = ScrambleText(ascii);
    EXPECT_EQ(scrambled.size(), 2 * ascii.size());
    EXPECT_TRUE(AllFromKey(scrambled));
    EXPECT_EQ(UnscrambleText(scrambled), ascii);

    Text chinese = Gbk("张三丰");  // two bytes per character: four scrambled characters
    Text scrambledChinese = ScrambleText(chinese);
    EXPECT_EQ(scrambledChinese.size(), 12u);
    EXPECT_TRUE(AllFromKey(scrambledChinese));
    EXPECT_EQ(UnscrambleText(scrambledChinese), chinese);
}

TEST_F(ScrambleTest, EveryNonZeroByteRoundTrips) {
    Text all;
    for (int b = 1; b <= 255; ++b) all += static_cast<char>(b);
    Text scrambled = ScrambleText(all);
    EXPECT_TRUE(AllFromKey(scrambled));
    EXPECT_EQ(UnscrambleText(scrambled), all);
}

TEST_F(ScrambleTest, SameTextScramblesDifferentlyEachTime) {
    Text password = Gbk("管理员2024");
    Text first = ScrambleText(password);
    Text second = ScrambleText(password);
    EXPECT_EQ(first.size(), second.size());
    EXPECT_NE(first, second);
    EXPECT_EQ(UnscrambleText(first), password);
    EXPECT_EQ(UnscrambleText(second), password);
}

// A value stored by an earlier run must keep reading back: the key text is part of the
// file format.
TEST_F(ScrambleTest, StoredValueReadsBack) { EXPECT_EQ(UnscrambleText("kpkzCl"), "ab1"); }

TEST_F(ScrambleTest, OddLengthDecodesLastCharacterWithEmptyPartner) {
    // The empty partner is found at the first key position: r = 0, hi = 0, so the byte is
    // the 0-based position of the last character.
    Text scrambled = ScrambleText("xy") + kScrambleKey[0x34];
    EXPECT_EQ(UnscrambleText(scrambled), "xy\x34");
}

TEST_F(ScrambleTest, OutputEndsAtFirstZeroByte) {
    // 'f' is key position 0 with 0 as partner: the byte 0, which ends the text.
    EXPECT_EQ(UnscrambleText("kp" + Text("ff") + "kz"), "a");
}

}  // namespace
}  // namespace ld
