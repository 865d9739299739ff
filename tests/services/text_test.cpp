// Text and number services: byte positions, double-byte aware scanning, and number
// conversions that do not depend on the process locale.
#include "services/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

namespace ld {
namespace {

// GBK characters whose second byte lies in the ASCII range: 丄 = 81 41 ("A"),
// 乤 = 81 61 ("a"), 乗 = 81 5C ("\").
const Text kUpperA = "\x81\x41";
const Text kLowerA = "\x81\x61";
const Text kBackslashChar = "\x81\x5C";

TEST(TextSlices, CountBytesAndClipToTheText) {
    Text zhongwen = Gbk("中文");
    EXPECT_EQ(TextLength(zhongwen), 4);
    EXPECT_EQ(LeftText(zhongwen, 2), Gbk("中"));
    EXPECT_EQ(LeftText("abc", 0), "");
    EXPECT_EQ(LeftText("abc", -1), "");
    EXPECT_EQ(LeftText("abc", 10), "abc");
    EXPECT_EQ(RightText("abc", 2), "bc");
    EXPECT_EQ(RightText("abc", 10), "abc");
    EXPECT_EQ(RightText("abc", -5), "");
}

TEST(TextSlices, ReplaceSpanClipsStartAndLength) {
    EXPECT_EQ(ReplaceSpan("abcdef", 2, 3, "XY"), "aXYef");
    EXPECT_EQ(ReplaceSpan("abcdef", 5, 100), "abcd");
    EXPECT_EQ(ReplaceSpan("abc", 0, 1, "X"), "Xbc");
    EXPECT_EQ(ReplaceSpan("abc", 10, 1, "X"), "abcX");
    EXPECT_EQ(ReplaceSpan("abc", 2, -1, "X"), "aXbc");
}

TEST(TextSlices, MiddleAndFindBytesAreOneBased) {
    EXPECT_EQ(MiddleBytes("abcdef", 2, 3), "bcd");
    EXPECT_EQ(MiddleBytes("abcdef", 5, 10), "ef");
    EXPECT_EQ(MiddleBytes("abcdef", 7, 1), "");
    EXPECT_EQ(MiddleBytes("abcdef", 0, 2), "ab");
    std::string withZero("a\0b\0b", 5);
    EXPECT_EQ(FindBytes(withZero, std::string("\0b", 2)), 2);
    EXPECT_EQ(FindBytes(withZero, std::string("\0b", 2), 3), 4);
    EXPECT_EQ(FindBytes(withZero, "c"), -1);
    EXPECT_EQ(ToBytes(withZero).size(), 5u);
}

TEST(FindText, FindsFromStartAndReportsMissesAsMinusOne) {
    EXPECT_EQ(FindText("a.b.c", "."), 2);
    EXPECT_EQ(FindText("a.b.c", ".", 3), 4);
    EXPECT_EQ(FindText("a.b.c", ".", 0), 2);
    EXPECT_EQ(FindText("a.b.c", ".", 5), -1);
    EXPECT_EQ(FindText("a.b.c", "x"), -1);
    EXPECT_EQ(FindText("ab", "abc"), -1);
}

TEST(FindText, EmptySoughtIsFoundAtOneOnlyInANonEmptyRange) {
    EXPECT_EQ(FindText("abc", ""), 1);
    EXPECT_EQ(FindText("abc", "", 3), 1);
    EXPECT_EQ(FindText("abc", "", 4), -1);
    EXPECT_EQ(FindText("", ""), -1);
    EXPECT_EQ(FindTextLast("abc", ""), 1);
    EXPECT_EQ(FindTextLast("abc", "", 1), -1);
}

TEST(FindText, NeverMatchesOnTheSecondByteOfACharacter) {
    Text zhongwen = Gbk("中文");  // D6 D0 CE C4
    EXPECT_EQ(FindText(zhongwen, "\xD0"), -1);
    EXPECT_EQ(FindText(zhongwen, "\xD0\xCE"), -1);  // straddles the two characters
    EXPECT_EQ(FindText(zhongwen, "\xCE"), 3);
    EXPECT_EQ(FindText(kUpperA + "A", "A"), 3);
    EXPECT_EQ(FindTextLast(zhongwen, "\xD0"), -1);
    EXPECT_EQ(FindTextLast("x" + kUpperA, "A"), -1);
}

TEST(FindText, IgnoringCaseFoldsOnlySingleByteLetters) {
    EXPECT_EQ(FindText("photo.JPG", ".jpg", 1, true), 6);
    EXPECT_EQ(FindText("photo.JPG", ".jpg", 1, false), -1);
    // 丄 and 乤 differ only by the case of their ASCII-range second byte.
    EXPECT_EQ(FindText(kUpperA, kLowerA, 1, true), -1);
    EXPECT_EQ(FindText("x" + kUpperA + "a", "A", 1, true), 4);
}

TEST(FindTextLast, FindsTheLastMatchStartingBeforeEnd) {
    EXPECT_EQ(FindTextLast("a.b.c", "."), 4);
    EXPECT_EQ(FindTextLast("a.b.c", ".", 4), 2);
    EXPECT_EQ(FindTextLast("a.b.c", ".", 5), 4);
    EXPECT_EQ(FindTextLast("a.b.c", ".", 100), 4);
    EXPECT_EQ(FindTextLast("a.b.c", ".", 2), -1);
    EXPECT_EQ(FindTextLast("aBcAbc", "abc", std::nullopt, true), 4);
    // The last backslash of a path is not the second byte of 乗.
    Text path = "photo\\" + kBackslashChar + ".jpg";
    EXPECT_EQ(FindTextLast(path, "\\"), 6);
}

TEST(ReplaceAll, ReplacesWithoutOverlapFromStartUpToCount) {
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("a,b,c,d", ",", ";", 1, 2), "a;b;c,d");
    EXPECT_EQ(ReplaceAll("a,b,c,d", ",", ";", 3), "a,b;c;d");
    EXPECT_EQ(ReplaceAll("a,b", ",", ";", 1, 0), "a,b");
    EXPECT_EQ(ReplaceAll("a,b", ",", "", -5), "ab");
    EXPECT_EQ(ReplaceAll("a,b", ",", ";", 10), "a,b");
}

TEST(ReplaceAll, IgnoresCaseUnlessAskedNot) {
    EXPECT_EQ(ReplaceAll("Abc abc ABC", "abc", "x"), "x x x");
    EXPECT_EQ(ReplaceAll("Abc abc ABC", "abc", "x", 1, -1, true), "Abc x ABC");
}

TEST(ReplaceAll, LeavesTheBytesOfDoubleByteCharactersAlone) {
    Text zhongwen = Gbk("中文");
    EXPECT_EQ(ReplaceAll(zhongwen, "\xD0", "X"), zhongwen);
    EXPECT_EQ(ReplaceAll(kUpperA + "A", "A", "z"), kUpperA + "z");
    EXPECT_EQ(ReplaceAll(kUpperA, kLowerA, "z"), kUpperA);
    EXPECT_EQ(ReplaceAll(Gbk("张三，张三"), Gbk("张三"), Gbk("李四")), Gbk("李四，李四"));
    // A lead byte at the very end is copied, not lost.
    EXPECT_EQ(ReplaceAll("ab\xD6", "b", ""), "a\xD6");
}

TEST(ReplaceAll, EmptyTextOrSoughtGivesTheTextBack) {
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("", "a", "x"), "");
}

TEST(SplitText, SplitsLinesAndDropsOnlyAnEmptyLastPiece) {
    Text pool = Gbk("张三") + "\r\n" + Gbk("李四") + "\r\n";
    EXPECT_EQ(SplitText(pool, "\r\n"), (std::vector<Text>{Gbk("张三"), Gbk("李四")}));
    EXPECT_EQ(SplitText("a,,b"), (std::vector<Text>{"a", "", "b"}));
    EXPECT_EQ(SplitText(",a"), (std::vector<Text>{"", "a"}));
    EXPECT_EQ(SplitText("a"), (std::vector<Text>{"a"}));
    EXPECT_TRUE(SplitText("").empty());
    EXPECT_EQ(SplitText("a b", ""), (std::vector<Text>{"a b"}));
}

TEST(SplitText, StopsAtMaxParts) {
    EXPECT_EQ(SplitText("a,b,c", ",", 2), (std::vector<Text>{"a", "b"}));
    EXPECT_EQ(SplitText("a,b,c", ",", 5), (std::vector<Text>{"a", "b", "c"}));
    EXPECT_TRUE(SplitText("a,b,c", ",", 0).empty());
}

TEST(SplitText, NeverSplitsInsideADoubleByteCharacter) {
    EXPECT_EQ(SplitText("x" + kUpperA + "Ay", "A"), (std::vector<Text>{"x" + kUpperA, "y"}));
    EXPECT_EQ(SplitText(Gbk("中文"), "\xD0"), (std::vector<Text>{Gbk("中文")}));
}

TEST(ToText, FormatsIntegersLogicalsAndBytes) {
    EXPECT_EQ(ToText(int32_t{-8}), "-8");
    EXPECT_EQ(ToText(int32_t{std::numeric_limits<int32_t>::min()}), "-2147483648");
    EXPECT_EQ(ToText(int64_t{9000000000}), "9000000000");
    EXPECT_EQ(ToText(uint8_t{200}), "200");
    EXPECT_EQ(ToText(true), Gbk("真"));
    EXPECT_EQ(ToText(false), Gbk("假"));
    EXPECT_EQ(Text(kTrueWord), "\xD5\xE6");
    EXPECT_EQ(ToTextBytes(std::string("ab\0cd", 5)), "ab");
}

TEST(ToText, FormatsDoublesLikePercentG) {
    EXPECT_EQ(ToText(3.0), "3");
    EXPECT_EQ(ToText(0.1), "0.1");
    EXPECT_EQ(ToText(1.0 / 3.0), "0.3333333333333");
    EXPECT_EQ(ToText(1e20), "1e+20");
    EXPECT_EQ(ToText(-0.0), "-0");
    EXPECT_EQ(ToText(27.000000000000004), "27");
    EXPECT_EQ(ToTextSingle(0.1f), "0.1");
    EXPECT_EQ(ToTextSingle(1234567.0f), "1.23457e+06");
}

// Qt sets the process locale from the environment; a decimal comma must not leak into
// the configuration file or be required when reading it.
TEST(ToText, NumbersIgnoreTheProcessLocale) {
    std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char* german = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            german = name;
            break;
        }
    }
    if (!german) GTEST_SKIP() << "no German locale installed";
    Text formatted = ToText(2.5);
    Text single = ToTextSingle(2.5f);
    double parsed = ToNumber("2.5");
    double commaParsed = ToNumber("2,5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(formatted, "2.5");
    EXPECT_EQ(single, "2.5");
    EXPECT_EQ(parsed, 2.5);
    EXPECT_EQ(commaParsed, 2.0);
}

TEST(ToNumber, ReadsTheLeadingNumberOrZero) {
    EXPECT_EQ(ToNumber("12abc"), 12.0);
    EXPECT_EQ(ToNumber("  -3.5e2x"), -350.0);
    EXPECT_EQ(ToNumber(""), 0.0);
    EXPECT_EQ(ToNumber("abc"), 0.0);
    EXPECT_EQ(ToNumber("1e10"), 1e10);
    EXPECT_EQ(ToNumber("0x10"), 16.0);
    EXPECT_EQ(ToNumber(std::string("7\0"
                                   "8",
                                   3)),
              7.0);
    EXPECT_TRUE(std::isinf(ToNumber("inf")));
    EXPECT_TRUE(std::isnan(ToNumber("nan")));
    EXPECT_EQ(ToNumber(true), 1.0);
}

TEST(ToNumber, IntegerConversionsSaturateAndTruncate) {
    EXPECT_EQ(ToInt32("1e10"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ToInt32("-1e10"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ToInt32("nan"), 0);
    EXPECT_EQ(ToInt32("-inf"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ToInt32("2147483647.9"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ToInt32("12.9"), 12);
    EXPECT_EQ(ToInt32("-12.9"), -12);
}

TEST(IntegerPart, SnapsUpToANearWholeNumberThenFloors) {
    EXPECT_EQ(IntegerPart(2.9999999999995), 3.0);
    EXPECT_EQ(IntegerPart(0.9999999999999), 1.0);
    EXPECT_EQ(IntegerPart(2.999999999), 2.0);
    EXPECT_EQ(IntegerPart(2.5), 2.0);
    EXPECT_EQ(IntegerPart(-2.5), -3.0);
    EXPECT_EQ(IntegerPart(-2.9999999999999), -3.0);
    EXPECT_EQ(IntegerPart(-2.0000000000001), -2.0);
    EXPECT_EQ(IntegerPart(4.35 * 100), 435.0);  // 434.99999999999994
    EXPECT_EQ(IntegerPartInt32(1e12), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(IntegerPartInt32(std::nan("")), 0);
}

}  // namespace
}  // namespace ld
