// The demo's photos as the program sees them: listed by name, found again by that name,
// previews where the phone left one, and upright whatever way the pixels are stored.
#include <set>

#include "app/common/draw_files.h"
#include "app/startup/photo_listing.h"
#include "demo_fixture.h"
#include "media/photo_preview.h"
#include "media/picture.h"
#include "services/files.h"

namespace ld::test {
namespace {

using demo::Participant;

std::vector<Text> PoolNames(const Text& pool) {
    std::vector<Text> names;
    for (size_t start = 0; start < pool.size();) {
        const size_t end = pool.find("\r\n", start);
        if (end == Text::npos) break;
        names.push_back(pool.substr(start, end - start));
        start = end + 2;
    }
    return names;
}

bool NearColour(const Image& image, double fx, double fy, int r, int g, int b) {
    const uint8_t* p =
        image.pixel(static_cast<int>(image.width * fx), static_cast<int>(image.height * fy));
    return std::abs(p[0] - r) < 24 && std::abs(p[1] - g) < 24 && std::abs(p[2] - b) < 24;
}

// Upright means portrait-shaped, the name plate along the bottom and nowhere else.
void ExpectUpright(const Image& image) {
    ASSERT_FALSE(image.empty());
    EXPECT_LT(image.width, image.height);
    const double x = demo::kPlateLeft + 0.04, y = (demo::kPlateTop + demo::kPlateBottom) / 2;
    EXPECT_TRUE(NearColour(image, x, y, demo::kPlateRed, demo::kPlateGreen, demo::kPlateBlue));
    EXPECT_FALSE(NearColour(image, x, 1 - y, demo::kPlateRed, demo::kPlateGreen, demo::kPlateBlue));
}

Text PhotoPath(const Participant& person) {
    const std::optional<Text> path = PhotoPathOf(Gbk(person.name));
    return path.value_or(Text());
}

using DemoPhotos = DemoEventTest;

TEST_F(DemoPhotos, ProgramListsEveryParticipantOnceByName) {
    app::PhotoListing listing;
    const std::vector<Text> listed = PoolNames(listing.takePool());
    const std::multiset<Text> got(listed.begin(), listed.end());
    std::multiset<Text> expected;
    int upperCase = 0;
    for (const Participant& person : roster()) {
        expected.insert(Gbk(person.name));
        if (person.extension == ".JPG") ++upperCase;
    }
    EXPECT_EQ(roster().size(), 60u);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(std::set<Text>(listed.begin(), listed.end()).size(), listed.size());
    // Names reach the program in GBK, not as the UTF-8 of the file system.
    EXPECT_TRUE(got.count(Gbk("张伟")) && got.count(Gbk("欧阳明")));
    EXPECT_GT(upperCase, 0);
    EXPECT_TRUE(std::filesystem::exists(folder() / "photo" / "王芳.JPG"));
}

TEST_F(DemoPhotos, RollFindsTheEmbeddedPreviewWhereThePhoneLeftOne) {
    int without = 0;
    for (const Participant& person : roster()) {
        SCOPED_TRACE(person.name + person.extension);
        const PhotoPreview preview = LoadPhotoPreview(ResolveExistingPath(PhotoPath(person)));
        ASSERT_FALSE(preview.picture.empty());
        EXPECT_EQ(preview.embedded, person.preview);
        if (!person.preview) {
            ++without;
            continue;
        }
        const Image small = DecodePicture(preview.picture);
        EXPECT_EQ(small.size(), (Size{demo::kPreviewWidth, demo::kPreviewHeight}));
        ExpectUpright(small);
    }
    EXPECT_GE(without, 1);
    EXPECT_LE(without, 2);
}

TEST_F(DemoPhotos, PhotosArePhoneSizedAndComeOutUpright) {
    int turned = 0;
    for (const Participant& person : roster()) {
        SCOPED_TRACE(person.name + person.extension);
        const Bytes photo = ReadWholeFile(PhotoPath(person));
        ASSERT_EQ(RecognisePicture(photo), PictureKind::Jpeg);
        EXPECT_EQ(ReadPictureSize(photo), (Size{demo::kPhotoWidth, demo::kPhotoHeight}));
        if (person.orientation == 1 && person.index % 10 != 0) continue;  // a sample suffices
        turned += person.orientation != 1;
        // Decoded at a reduced scale, as the photo box shows it.
        ExpectUpright(DecodePicture(photo, demo::kPhotoWidth / 4, demo::kPhotoHeight / 4));
    }
    EXPECT_GE(turned, 3);
}

}  // namespace
}  // namespace ld::test
