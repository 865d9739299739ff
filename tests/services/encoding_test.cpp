// GBK text meets UTF-8 file names and toolkit strings.
#include "services/encoding.h"

#include <gtest/gtest.h>

namespace ld {
namespace {

const std::string kResultsUtf8 = "抽奖结果.txt";
const std::string kResultsGbk = "\xB3\xE9\xBD\xB1\xBD\xE1\xB9\xFB.txt";

TEST(Encoding, GbkRoundTripsThroughUtf8) {
    EXPECT_EQ(Utf8ToGbk(kResultsUtf8), kResultsGbk);
    EXPECT_EQ(GbkToUtf8(kResultsGbk), kResultsUtf8);
    EXPECT_EQ(Utf8ToGbk("photo/a.JPG"), "photo/a.JPG");
    EXPECT_EQ(Utf8ToGbk(""), "");
    // 丄 has an ASCII-range second byte.
    EXPECT_EQ(Utf8ToGbk("丄"), "\x81\x41");
    EXPECT_EQ(GbkToUtf8("\x81\x41"), "丄");
}

TEST(Encoding, CharactersOutsideGbkSurviveAsGb18030) {
    auto gb = Utf8ToGbk("😀");
    ASSERT_TRUE(gb);
    EXPECT_EQ(gb->size(), 4u);
    EXPECT_EQ(GbkToUtf8(*gb), "😀");
}

TEST(Encoding, InvalidUtf8IsRejected) {
    EXPECT_FALSE(IsValidUtf8("\xD5\xC5"));          // GBK 张
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));          // cut short
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_TRUE(IsValidUtf8("张三 abc"));
    EXPECT_FALSE(Utf8ToGbk("\xD5\xC5").has_value());
}

TEST(Encoding, BrokenGbkBecomesReplacementCharacters) {
    EXPECT_EQ(GbkToUtf8("a\x81"), "a\xEF\xBF\xBD");
    EXPECT_EQ(GbkToUtf8("\xFF"
                        "b"),
              "\xEF\xBF\xBD"
              "b");
}

TEST(Encoding, FileNamesFromDiskBecomeGbk) {
    EXPECT_EQ(FileNameToGbk("张三.jpg"), "\xD5\xC5\xC8\xFD.jpg");
    // A name copied from a Windows archive is already GBK and is kept byte for byte.
    EXPECT_EQ(FileNameToGbk("\xD5\xC5\xC8\xFD.jpg"), "\xD5\xC5\xC8\xFD.jpg");
    EXPECT_EQ(GbkToFileName("\xD5\xC5\xC8\xFD.jpg"), "张三.jpg");
}

}  // namespace
}  // namespace ld
