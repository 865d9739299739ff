// Recognition by content and decoding of every picture kind a picture property accepts.
#include "media/picture.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "picture_fixtures.h"

namespace ld {
namespace {

using namespace fixtures;

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

TEST(PictureRecognition, KnowsEachKindByItsFirstSixBytes) {
    EXPECT_EQ(RecognisePicture(Bytes({0xFF, 0xD8, 0, 0, 0, 0})), PictureKind::Jpeg);
    EXPECT_EQ(RecognisePicture(Bytes({'B', 'M', 0, 0, 0, 0})), PictureKind::Bmp);
    EXPECT_EQ(RecognisePicture(Bytes({0, 0, 1, 0, 1, 0})), PictureKind::Icon);
    EXPECT_EQ(RecognisePicture(Bytes({0, 0, 2, 0, 0, 1})), PictureKind::Cursor);
    EXPECT_EQ(RecognisePicture("GIF87a"), PictureKind::Gif);
    EXPECT_EQ(RecognisePicture("GIF89a"), PictureKind::Gif);
    for (int version = 0; version <= 5; ++version) {
        EXPECT_EQ(RecognisePicture(Bytes({0x0A, version, 1, 8, 0, 0})), PictureKind::Pcx8);
    }
    EXPECT_EQ(RecognisePicture(Bytes({0x0A, 3, 1, 1, 0, 0})), PictureKind::Pcx1);
}

TEST(PictureRecognition, RefusesNearMissesShortDataAndPng) {
    EXPECT_EQ(RecognisePicture(Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0})), PictureKind::None);  // 5 bytes
    EXPECT_EQ(RecognisePicture(""), PictureKind::None);
    EXPECT_EQ(RecognisePicture(Bytes({0, 0, 1, 0, 0, 0})), PictureKind::None);  // no images
    EXPECT_EQ(RecognisePicture(Bytes({0, 0, 2, 0, 0, 0})), PictureKind::None);
    EXPECT_EQ(RecognisePicture(Bytes({0, 0, 3, 0, 1, 0})), PictureKind::None);
    EXPECT_EQ(RecognisePicture("GIF88a"), PictureKind::None);
    EXPECT_EQ(RecognisePicture(Bytes({0x0A, 6, 1, 8, 0, 0})), PictureKind::None);  // version
    EXPECT_EQ(RecognisePicture(Bytes({0x0A, 5, 0, 8, 0, 0})), PictureKind::None);  // encoding
    EXPECT_EQ(RecognisePicture(Bytes({0x0A, 5, 1, 1, 0, 0})), PictureKind::None);  // 1 bit, v5
    EXPECT_EQ(RecognisePicture(Bytes({0x0A, 3, 1, 4, 0, 0})), PictureKind::None);  // 4 bits
    const std::string png = Png(Quadrants(8, 8));
    EXPECT_EQ(RecognisePicture(png), PictureKind::None);
    EXPECT_TRUE(DecodePicture(png).empty());
    EXPECT_EQ(MakePicture(png), 0);
    EXPECT_EQ(MakePicture(""), 0);
}

// Every kind decodes upright with its colours where they were drawn.
TEST(PictureDecoding, EachKindShowsItsPixels) {
    const Image source = Quadrants(32, 24);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"jpeg", PlainJpeg(source)},     {"bmp", Bmp24(source)}, {"icon", IconFile(source, 1)},
        {"cursor", IconFile(source, 2)}, {"gif", Gif(source)},   {"pcx8", Pcx8(source)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Image img = DecodePicture(c.bytes);
        ASSERT_EQ(img.size(), (Size{32, 24}));
        EXPECT_TRUE(Near(img, 2, 2, kRed));
        EXPECT_TRUE(Near(img, 29, 2, kGreen));
        EXPECT_TRUE(Near(img, 2, 21, kBlue));
        EXPECT_TRUE(Near(img, 29, 21, kYellow));
        EXPECT_GT(MakePicture(c.bytes), 0);
    }
}

TEST(PictureDecoding, AnAnimatedGifShowsItsFirstFrame) {
    std::string gif = Gif(Quadrants(32, 24));
    const std::string second = Gif(Filled(32, 24, kRed));  // index 0 is red in both palettes
    gif.pop_back();                                        // the trailer
    gif += second.substr(second.find('\x2C', 13 + 256 * 3));
    const Image img = DecodePicture(gif);
    ASSERT_EQ(img.size(), (Size{32, 24}));
    EXPECT_TRUE(Near(img, 29, 2, kGreen));
}

TEST(PictureDecoding, OneBitPcxIsBlackAndWhite) {
    const Image img = DecodePicture(
        Pcx1(Quadrants(20, 10, {0, 0, 0}, {255, 255, 255}, {255, 255, 255}, {0, 0, 0})));
    ASSERT_EQ(img.size(), (Size{20, 10}));
    EXPECT_TRUE(Near(img, 0, 0, {0, 0, 0}, 0));
    EXPECT_TRUE(Near(img, 19, 0, {255, 255, 255}, 0));
    EXPECT_TRUE(Near(img, 0, 9, {255, 255, 255}, 0));
    EXPECT_TRUE(Near(img, 19, 9, {0, 0, 0}, 0));
}

TEST(PictureDecoding, ContentDecidesNotTheFileName) {
    const auto dir = std::filesystem::temp_directory_path() / "ld_picture_name_test";
    std::filesystem::create_directories(dir);
    const std::string jpegAsPng = (dir / "photo.png").string();
    const std::string pngAsJpg = (dir / "photo.jpg").string();
    ASSERT_TRUE(WriteFile(jpegAsPng, PlainJpeg(Quadrants(16, 16))));
    ASSERT_TRUE(WriteFile(pngAsJpg, Png(Quadrants(16, 16))));
    EXPECT_GT(MakePictureFromFile(jpegAsPng), 0);
    EXPECT_EQ(MakePictureFromFile(pngAsJpg), 0);
    EXPECT_EQ(MakePictureFromFile((dir / "missing.jpg").string()), 0);
    std::filesystem::remove_all(dir);
}

// A few bytes can declare a picture of hundreds of megabytes: refused before any pixel is
// allocated.
TEST(PictureDecoding, HugeDeclaredSizesAreRefusedBeforeDecoding) {
    const auto declare = [](std::string file, size_t at, int width, int height, bool bigEndian) {
        for (const auto& [offset, value] : {std::pair{at, width}, std::pair{at + 2, height}}) {
            file[offset + (bigEndian ? 1 : 0)] = static_cast<char>(value & 0xFF);
            file[offset + (bigEndian ? 0 : 1)] = static_cast<char>(value >> 8);
        }
        return file;
    };
    const Image small = Filled(16, 16, kRed);
    std::string gif = declare(Gif(small), 6, 4096, 4096, false);
    const size_t frame = gif.find(std::string("\x2C\0\0\0\0", 5));  // the first frame
    ASSERT_NE(frame, std::string::npos);
    gif = declare(gif, frame + 5, 4096, 4096, false);
    EXPECT_TRUE(DecodePicture(gif).empty());
    EXPECT_EQ(ReadPictureSize(gif), (Size{0, 0}));
    EXPECT_TRUE(DecodePicture(declare(Pcx8(small), 8, 8191, 8191, false)).empty());
    const std::string bmp = declare(declare(Bmp24(small), 18, 5000, 0, false), 22, 5000, 0, false);
    EXPECT_TRUE(DecodePicture(bmp).empty());

    std::string jpeg = PlainJpeg(small);
    const size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg = declare(jpeg, sof + 5, 40000, 40000, true);  // height first in a JPEG: square
    EXPECT_TRUE(DecodePicture(jpeg).empty()) << "1.6 gigapixels at full size";
}

TEST(PictureDecoding, HandlesArePositiveAndDistinct) {
    const std::string jpeg = PlainJpeg(Filled(8, 8, kGrey));
    const int32_t a = MakePicture(jpeg), b = MakePicture(jpeg);
    EXPECT_GT(a, 0);
    EXPECT_GT(b, 0);
    EXPECT_NE(a, b);
}

TEST(PictureForBox, PlacesAndScalesForEachDisplayMode) {
    const std::string jpeg = PlainJpeg(Quadrants(400, 300));
    const PlacedPicture stretched = DecodePictureForBox(jpeg, {200, 200}, BoxFit::Stretch);
    EXPECT_EQ(stretched.image.size(), (Size{200, 200}));
    const PlacedPicture shrunk = DecodePictureForBox(jpeg, {200, 200}, BoxFit::ShrinkToFit);
    EXPECT_EQ(shrunk.image.size(), (Size{200, 150}));
    EXPECT_EQ(shrunk.y, 25);
    EXPECT_TRUE(Near(shrunk.image, 10, 10, kRed));
    EXPECT_TRUE(Near(shrunk.image, 190, 140, kYellow));
    const PlacedPicture small = DecodePictureForBox(jpeg, {800, 800}, BoxFit::ShrinkToFit);
    EXPECT_EQ(small.image.size(), (Size{400, 300}));  // never enlarged
    EXPECT_EQ(small.x, 200);
    EXPECT_TRUE(DecodePictureForBox(Png(Quadrants(8, 8)), {8, 8}, BoxFit::Stretch).image.empty());
    EXPECT_TRUE(DecodePictureForBox(jpeg, {0, 10}, BoxFit::Stretch).image.empty());
}

// What overhangs the box is cut off before scaling: only the box's pixels are made.
TEST(PictureForBox, OverhangingPartsAreCutOff) {
    const std::string jpeg = PlainJpeg(Quadrants(400, 300));
    const PlacedPicture natural = DecodePictureForBox(jpeg, {300, 200}, BoxFit::Natural);
    EXPECT_EQ(natural.image.size(), (Size{300, 200}));  // the top-left part
    EXPECT_TRUE(Near(natural.image, 5, 5, kRed));
    EXPECT_TRUE(Near(natural.image, 295, 195, kYellow));
    const PlacedPicture cover = DecodePictureForBox(jpeg, {200, 200}, BoxFit::Cover);
    EXPECT_EQ(cover.image.size(), (Size{200, 200}));  // 267 x 200, centred, sides cut
    EXPECT_EQ(cover.x, 0);
    EXPECT_TRUE(Near(cover.image, 3, 3, kRed));
    EXPECT_TRUE(Near(cover.image, 196, 196, kYellow));
    // A needle-thin picture covering a screen stays a screenful.
    const PlacedPicture needle =
        DecodePictureForBox(Pcx8(Filled(1, 3000, kBlue)), {1920, 1080}, BoxFit::Cover);
    EXPECT_EQ(needle.image.size(), (Size{1920, 1080}));
    EXPECT_TRUE(Near(needle.image, 960, 540, kBlue, 0));
}

}  // namespace
}  // namespace ld
