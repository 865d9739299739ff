// Our own PCX decoder: headers that describe no picture, and data cut short.
#include <gtest/gtest.h>

#include "media/pcx_decoder.h"
#include "media/picture.h"
#include "picture_fixtures.h"

namespace ld {
namespace {

using namespace fixtures;

void Put16(std::string& s, size_t at, int v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8 & 0xFF);
}

TEST(PcxDecoder, BrokenHeadersGiveNoPicture) {
    const std::string good = Pcx8(Quadrants(16, 8));
    ASSERT_FALSE(DecodePcx(good).empty());
    std::string reversed = good;
    Put16(reversed, 8, 0);  // xmax below xmin
    Put16(reversed, 4, 5);
    EXPECT_TRUE(DecodePcx(reversed).empty());
    std::string narrowLines = good;
    Put16(narrowLines, 66, 8);  // 8 bytes cannot hold 16 pixels
    EXPECT_TRUE(DecodePcx(narrowLines).empty());
    std::string twoPlanes = good;
    twoPlanes[65] = 2;
    EXPECT_TRUE(DecodePcx(twoPlanes).empty());
    std::string giant = good;
    Put16(giant, 8, 4999);
    Put16(giant, 10, 4999);
    Put16(giant, 66, 5000);
    EXPECT_TRUE(DecodePcx(giant).empty());  // far more than the data could ever hold
    std::string longLines = Pcx1(Filled(8, 2, {255, 255, 255}));
    Put16(longLines, 10, 65535);
    Put16(longLines, 66, 65534);  // one pixel wide, yet gigabytes of scan lines
    longLines[65] = 4;
    EXPECT_TRUE(DecodePcx(longLines).empty());
    EXPECT_TRUE(DecodePcx(good.substr(0, 128)).empty());
    EXPECT_EQ(MakePicture(giant), 0);
}

TEST(PcxDecoder, TruncatedDataKeepsTheDecodedRowsAndGreysTheRest) {
    const std::string pcx = Pcx8(Quadrants(64, 64));
    const Image img = DecodePcx(pcx.substr(0, 128 + 20));
    ASSERT_EQ(img.size(), (Size{64, 64}));
    // Without the palette the indices show as grey levels; rows never reached are grey.
    EXPECT_TRUE(Near(img, 40, 60, kGrey, 0));
    for (size_t cut = 0; cut < pcx.size(); cut += 5) {
        const Image part = DecodePicture(pcx.substr(0, cut));
        EXPECT_TRUE(part.empty() || part.size() == (Size{64, 64})) << cut;
    }
}

TEST(PcxDecoder, RunsLongerThanTheLineDoNotOverflow) {
    std::string pcx = Pcx1(Filled(8, 2, {255, 255, 255}));
    pcx.resize(128);
    for (int i = 0; i < 10; ++i) pcx += "\xFF\xAA";  // runs of 63 bytes for a 2-byte line
    const Image img = DecodePcx(pcx);
    ASSERT_EQ(img.size(), (Size{8, 2}));
    EXPECT_TRUE(Near(img, 0, 1, {255, 255, 255}, 0));
    EXPECT_TRUE(Near(img, 1, 1, {0, 0, 0}, 0));
}

}  // namespace
}  // namespace ld
