// JPEG decoding: DCT scale choice, EXIF orientation, colour spaces, damaged data.
#include <gtest/gtest.h>

#include "media/exif_orientation.h"
#include "media/jpeg_decoder.h"
#include "media/picture.h"
#include "picture_fixtures.h"

namespace ld {
namespace {

using namespace fixtures;

TEST(JpegScale, DecodesAtTheSmallestScaleThatStillCoversTheTarget) {
    const std::string jpeg = PlainJpeg(Quadrants(640, 480));
    EXPECT_EQ(DecodePicture(jpeg).size(), (Size{640, 480}));
    EXPECT_EQ(DecodePicture(jpeg, 80, 60).size(), (Size{80, 60}));
    EXPECT_EQ(DecodePicture(jpeg, 81, 60).size(), (Size{160, 120}));
    EXPECT_EQ(DecodePicture(jpeg, 160, 121).size(), (Size{320, 240}));
    EXPECT_EQ(DecodePicture(jpeg, 321, 10).size(), (Size{640, 480}));
    EXPECT_EQ(DecodePicture(jpeg, 2000, 2000).size(), (Size{640, 480}));  // never enlarged
    EXPECT_EQ(ChooseJpegScale({4000, 3000}, {500, 375}), 8);
    EXPECT_EQ(ChooseJpegScale({4000, 3000}, {500, 400}), 4);
    EXPECT_EQ(ChooseJpegScale({4000, 3000}, {0, 400}), 1);
}

TEST(JpegScale, TargetOfASidewaysPhotoIsTakenUpright) {
    PhotoOptions o;
    o.orientation = 6;
    const std::string jpeg = PhotoJpeg(Quadrants(640, 480), o);  // upright 480 x 640
    EXPECT_EQ(DecodePicture(jpeg, 60, 80).size(), (Size{60, 80}));
    EXPECT_EQ(DecodePicture(jpeg, 80, 60).size(), (Size{120, 160}));
    EXPECT_EQ(ReadPictureSize(jpeg), (Size{480, 640}));
}

// Where the stored top-left (red) and top-right (green) corners must end up, from the
// meaning of each orientation value (which side row 0 and column 0 of the stored picture
// become).
struct CornerCase {
    int orientation;
    bool sideways;
    int redX, redY, greenX, greenY;  // 0 = left/top, 1 = right/bottom
};
constexpr CornerCase kCorners[] = {
    {1, false, 0, 0, 1, 0}, {2, false, 1, 0, 0, 0}, {3, false, 1, 1, 0, 1}, {4, false, 0, 1, 1, 1},
    {5, true, 0, 0, 0, 1},  {6, true, 1, 0, 1, 1},  {7, true, 1, 1, 1, 0},  {8, true, 0, 1, 0, 0},
};

TEST(JpegOrientation, EachValueTurnsThePictureUpright) {
    const Image stored = Quadrants(96, 64, kRed, kGreen, kGrey, kGrey);
    for (bool big : {false, true}) {
        for (const CornerCase& c : kCorners) {
            SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << " big " << big);
            PhotoOptions o;
            o.orientation = c.orientation;
            o.bigEndian = big;
            const Image img = DecodePicture(PhotoJpeg(stored, o));
            ASSERT_EQ(img.size(), c.sideways ? (Size{64, 96}) : (Size{96, 64}));
            const auto corner = [&](int cx, int cy) {
                return std::pair{cx ? img.width - 4 : 3, cy ? img.height - 4 : 3};
            };
            const auto [rx, ry] = corner(c.redX, c.redY);
            const auto [gx, gy] = corner(c.greenX, c.greenY);
            EXPECT_TRUE(Near(img, rx, ry, kRed));
            EXPECT_TRUE(Near(img, gx, gy, kGreen));
        }
    }
}

TEST(JpegOrientation, IgnoresMissingOddAndDamagedTags) {
    PhotoOptions o;
    EXPECT_EQ(ReadExifOrientation(PhotoJpeg(Filled(8, 8, kGrey), o)), 1);
    o.orientation = 9;
    EXPECT_EQ(ReadExifOrientation(PhotoJpeg(Filled(8, 8, kGrey), o)), 1);
    o.orientation = 3;
    const std::string payload = ExifPayload(o);
    EXPECT_EQ(ParseExifOrientation(payload), 3);
    // Every cut of the block is read without leaving it.
    for (size_t cut = 0; cut < payload.size(); ++cut) {
        const int value = ParseExifOrientation(std::string(payload.substr(0, cut)));
        EXPECT_TRUE(value == 0 || value == 3) << cut;
    }
    std::string badOffset = payload;
    badOffset[10] = '\x7F';  // IFD0 offset far beyond the block
    EXPECT_EQ(ParseExifOrientation(badOffset), 0);
}

TEST(JpegColour, GreyscaleAndProgressiveDecode) {
    PhotoOptions grey;
    grey.grayscale = true;
    const Image g = DecodePicture(PhotoJpeg(Filled(16, 16, {200, 200, 200}), grey));
    EXPECT_TRUE(Near(g, 8, 8, {200, 200, 200}, 6));
    PhotoOptions progressive;
    progressive.progressive = true;
    const Image p = DecodePicture(PhotoJpeg(Quadrants(64, 48), progressive), 16, 12);
    EXPECT_EQ(p.size(), (Size{16, 12}));
    EXPECT_TRUE(Near(p, 1, 1, kRed));
}

TEST(JpegColour, CmykDecodesWithAndWithoutAdobesInversion) {
    if (CmykJpeg(16, 16, {0, 0, 0, 0}, true).empty()) GTEST_SKIP() << "no CMYK JPEG at hand";
    // Pure cyan ink: no red, full green and blue.
    for (bool adobe : {true, false}) {
        SCOPED_TRACE(adobe);
        const Image c = DecodePicture(CmykJpeg(16, 16, {255, 0, 0, 0}, adobe));
        EXPECT_TRUE(Near(c, 8, 8, {0, 255, 255}, 12));
        const Image k = DecodePicture(CmykJpeg(16, 16, {0, 0, 0, 255}, adobe));
        EXPECT_TRUE(Near(k, 8, 8, {0, 0, 0}, 12));
    }
}

// Truncated at every few bytes and with bytes overwritten: a picture of the promised size
// or nothing, never a crash or a read outside the data (the sanitizer build checks that).
TEST(JpegDamage, TruncatedAndCorruptedDataNeverCrash) {
    for (bool progressive : {false, true}) {
        PhotoOptions o;
        o.progressive = progressive;
        o.orientation = 6;
        o.thumbnail = PlainJpeg(Filled(16, 12, kBlue));
        const std::string jpeg = PhotoJpeg(PhotoLike(120, 80), o);
        for (size_t cut = 0; cut < jpeg.size(); cut += 7) {
            const Image img = DecodePicture(std::string(jpeg.substr(0, cut)));
            EXPECT_TRUE(img.empty() || img.size() == (Size{80, 120})) << cut;
        }
        std::string corrupt = jpeg;
        uint32_t s = 7;
        for (int round = 0; round < 200; ++round) {
            s = s * 1103515245u + 12345u;
            corrupt[s % corrupt.size()] = static_cast<char>(s >> 16);
            const Image img = DecodePicture(corrupt, 40, 30);
            EXPECT_TRUE(img.empty() || (img.width > 0 && img.height > 0));
        }
    }
}

TEST(JpegDamage, ATruncatedPhotoShowsItsTopAndGreyBelow) {
    Image red = PhotoLike(256, 256);  // noise, so that the scan data dwarfs the header
    for (size_t i = 0; i < red.rgba.size(); i += 4) red.rgba[i] = 230;
    const std::string jpeg = PlainJpeg(red, 95);
    const Image img = DecodePicture(std::string(jpeg.substr(0, jpeg.size() / 2)));
    ASSERT_EQ(img.size(), (Size{256, 256}));
    EXPECT_GT(img.pixel(128, 2)[0], 200);
    EXPECT_TRUE(Near(img, 128, 253, kGrey, 10));
}

TEST(JpegDamage, HeaderClaimingAGiantPictureIsRefused) {
    std::string jpeg = PlainJpeg(Filled(8, 8, kGrey));
    const size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = jpeg[sof + 6] = jpeg[sof + 7] = jpeg[sof + 8] = '\xFF';  // 65535 x 65535
    EXPECT_TRUE(DecodePicture(jpeg).empty());
    EXPECT_EQ(MakePicture(jpeg), 0);
}

}  // namespace
}  // namespace ld
