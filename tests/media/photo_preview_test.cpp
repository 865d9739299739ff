// The roll's preview of a photo: the embedded Exif preview, turned like its photo, or the
// whole file.
#include "media/photo_preview.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "media/jpeg_decoder.h"
#include "media/picture.h"
#include "picture_fixtures.h"

namespace ld {
namespace {

using namespace fixtures;
namespace fs = std::filesystem;

class PhotoPreviewTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("ld_preview_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string write(const std::string& name, const std::string& data) {
        const std::string path = (dir_ / name).string();
        EXPECT_TRUE(WriteFile(path, data));
        return path;
    }
    fs::path dir_;
};

TEST_F(PhotoPreviewTest, FindsTheEmbeddedPreview) {
    PhotoOptions o;
    o.thumbnail = PlainJpeg(Quadrants(40, 30));
    const std::string photo = PhotoJpeg(Filled(400, 300, kGrey), o);
    const PhotoPreview preview = LoadPhotoPreview(write("a.jpg", photo));
    EXPECT_TRUE(preview.embedded);
    const Image img = DecodePicture(preview.picture);
    ASSERT_EQ(img.size(), (Size{40, 30}));
    EXPECT_TRUE(Near(img, 2, 2, kRed));
    EXPECT_LT(preview.picture.size(), photo.size());
}

TEST_F(PhotoPreviewTest, PreviewIsTurnedLikeItsPhoto) {
    for (int orientation : {3, 6, 8}) {
        SCOPED_TRACE(orientation);
        PhotoOptions o;
        o.orientation = orientation;
        o.bigEndian = orientation == 8;
        o.thumbnail = PlainJpeg(Quadrants(48, 32, kRed, kGreen, kGrey, kGrey));
        const std::string photo = PhotoJpeg(Quadrants(480, 320, kRed, kGreen, kGrey, kGrey), o);
        const Image stop = DecodePicture(photo, 48, 48);
        const Image roll = DecodePicture(LoadPhotoPreview(write("o.jpg", photo)).picture);
        ASSERT_EQ(roll.size(), orientation == 3 ? (Size{48, 32}) : (Size{32, 48}));
        // The red corner is in the same place in the roll and at the stop.
        for (auto [fx, fy] : {std::pair{0.1, 0.1}, {0.9, 0.1}, {0.1, 0.9}, {0.9, 0.9}}) {
            const bool rollRed = Near(roll, int(fx * roll.width), int(fy * roll.height), kRed);
            const bool stopRed = Near(stop, int(fx * stop.width), int(fy * stop.height), kRed);
            EXPECT_EQ(rollRed, stopRed) << fx << "," << fy;
        }
    }
}

TEST_F(PhotoPreviewTest, WithoutAPreviewTheWholeFileIsShown) {
    const std::string photo = PhotoJpeg(PhotoLike(400, 300), {});
    const PhotoPreview preview = LoadPhotoPreview(write("b.jpg", photo));
    EXPECT_FALSE(preview.embedded);
    EXPECT_EQ(preview.picture, photo);
}

TEST_F(PhotoPreviewTest, APreviewBeyondTheFirst56000BytesIsNotLookedFor) {
    PhotoOptions o;
    o.thumbnail = PlainJpeg(Quadrants(40, 30));
    // A large comment first pushes the Exif block past the searched bytes.
    std::string photo = PhotoJpeg(PhotoLike(300, 200), o);
    const std::string comment = "\xFF\xFE\xFF\xF0" + std::string(0xFFF0 - 2, 'c');
    photo.insert(2, comment);
    const PhotoPreview preview = LoadPhotoPreview(write("c.jpg", photo));
    EXPECT_FALSE(preview.embedded);
    EXPECT_EQ(preview.picture.size(), photo.size());
}

TEST_F(PhotoPreviewTest, ASpanThatIsNoPictureFallsBackToTheWholePhoto) {
    // Start and end markers inside a comment: not a stream libjpeg can read.
    std::string photo = PlainJpeg(Quadrants(64, 48));
    photo.insert(2, std::string("\xFF\xFE\x00\x08\xFF\xD8\x12\xFF\xD9\x00", 10));
    EXPECT_FALSE(ExtractEmbeddedPreview(photo).has_value());
    const PhotoPreview preview = LoadPhotoPreview(write("d.jpg", photo));
    EXPECT_FALSE(preview.embedded);
    EXPECT_EQ(DecodePicture(preview.picture, 32, 24).size(), (Size{32, 24}));
}

TEST_F(PhotoPreviewTest, MissingEmptyAndTinyFilesGiveNothingToShow) {
    EXPECT_TRUE(LoadPhotoPreview((dir_ / "none.jpg").string()).picture.empty());
    EXPECT_TRUE(LoadPhotoPreview(write("empty.jpg", "")).picture.empty());
    EXPECT_EQ(LoadPhotoPreview(write("tiny.jpg", "\xFF\xD8")).picture, "\xFF\xD8");
    EXPECT_TRUE(LoadPhotoPreview(dir_.string()).picture.empty());  // a folder
}

TEST_F(PhotoPreviewTest, SearchStartsAfterTheFilesOwnStartMarker) {
    // A stream whose second start marker begins at the fourth byte still counts.
    std::string thumb = PlainJpeg(Filled(16, 16, kBlue));
    std::string data = std::string("\xFF\xD8\x00", 3) + thumb;
    const std::optional<std::string> found = ExtractEmbeddedPreview(data);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, thumb);
    EXPECT_FALSE(ExtractEmbeddedPreview(thumb.substr(0, 3)).has_value());
}

}  // namespace
}  // namespace ld
