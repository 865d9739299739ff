// The roll's preview service: previews made on workers, picked without waiting, kept in the
// cache folder for the next start, and the stop's full photo decoded at its box size.
#include "media/photo_previews.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "media/preview_disk_cache.h"
#include "picture_fixtures.h"

namespace ld {
namespace {

using namespace fixtures;
namespace fs = std::filesystem;

class PhotoPreviewsTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("ld_previews_" +
                 std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "photo");
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string photo(const std::string& name, const std::string& data) {
        const std::string path = (root_ / "photo" / name).string();
        EXPECT_TRUE(WriteFile(path, data));
        return path;
    }
    PhotoPreviewOptions options(fs::path cache = {}) const {
        PhotoPreviewOptions o;
        o.cacheDirectory = (cache.empty() ? root_ / ".cache" : cache).string();
        o.madePreviewBound = {64, 64};
        return o;
    }
    static size_t FilesIn(const fs::path& dir) {
        if (!fs::exists(dir)) return 0;
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
    }
    fs::path root_;
};

TEST_F(PhotoPreviewsTest, NothingIsReadyAtFirstThenTheWorkerDeliversIt) {
    PhotoOptions o;
    o.thumbnail = PlainJpeg(Quadrants(40, 30));
    const std::string path = photo("a.jpg", PhotoJpeg(Filled(400, 300, kGrey), o));
    PhotoPreviews previews(options());
    EXPECT_FALSE(previews.ready(path).has_value());  // queued, never waited for
    previews.waitIdle();
    const std::optional<ReadyPreview> ready = previews.ready(path);
    ASSERT_TRUE(ready.has_value());
    ASSERT_TRUE(ready->image);
    EXPECT_EQ(ready->image->size(), (Size{40, 30}));
    EXPECT_TRUE(Near(*ready->image, 2, 2, kRed));
    EXPECT_EQ(DecodePicture(ready->picture).size(), (Size{40, 30}));
    EXPECT_EQ(previews.stats().embedded, 1);
    EXPECT_EQ(FilesIn(root_ / ".cache"), 0u);  // embedded previews need no copy
}

TEST_F(PhotoPreviewsTest, PhotosWithoutPreviewAreMadeOnceAndKeptOutsideThePhotoFolder) {
    PhotoOptions sideways;
    sideways.orientation = 6;
    std::vector<std::string> paths = {
        photo("big.jpg", PhotoJpeg(Quadrants(800, 600, kRed, kGreen, kGrey, kGrey), sideways)),
        photo("other.jpg", PlainJpeg(PhotoLike(640, 480))),
    };
    {
        PhotoPreviews first(options());
        first.prefetch(paths);
        first.waitIdle();
        EXPECT_EQ(first.stats().made, 2);
        const std::optional<ReadyPreview> big = first.ready(paths[0]);
        ASSERT_TRUE(big && big->image);
        EXPECT_EQ(big->image->size(), (Size{48, 64}));  // upright, within the bound
        EXPECT_TRUE(Near(*big->image, 44, 3, kRed));    // turned: stored top-left at top-right
        EXPECT_EQ(DecodePicture(big->picture).size(), (Size{48, 64}));
    }
    EXPECT_EQ(FilesIn(root_ / "photo"), 2u);
    EXPECT_EQ(FilesIn(root_ / ".cache"), 2u);
    for (const auto& f : fs::directory_iterator(root_ / ".cache")) {
        EXPECT_EQ(f.path().filename().string().size(), 36u);  // a hash, never a photo name
    }
    PhotoPreviews second(options());
    second.prefetch(paths);
    second.waitIdle();
    EXPECT_EQ(second.stats().fromDisk, 2);
    EXPECT_EQ(second.stats().made, 0);
}

TEST_F(PhotoPreviewsTest, AChangedPhotoIsMadeAgain) {
    const std::string path = photo("p.jpg", PlainJpeg(Filled(320, 240, kRed)));
    {
        PhotoPreviews first(options());
        first.prefetch(std::vector{path});
        first.waitIdle();
    }
    photo("p.jpg", PlainJpeg(Filled(320, 200, kBlue)));
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
    PhotoPreviews second(options());
    second.prefetch(std::vector{path});
    second.waitIdle();
    EXPECT_EQ(second.stats().made, 1);
    EXPECT_TRUE(Near(*second.ready(path)->image, 5, 5, kBlue));
}

TEST_F(PhotoPreviewsTest, ACacheFolderInsideThePhotoFolderIsNeverWritten) {
    const std::string path = photo("p.jpg", PlainJpeg(PhotoLike(320, 240)));
    PhotoPreviews previews(options(root_ / "photo" / ".cache"));
    previews.prefetch(std::vector{path});
    previews.waitIdle();
    EXPECT_TRUE(previews.ready(path).has_value());
    EXPECT_FALSE(fs::exists(root_ / "photo" / ".cache"));
}

TEST_F(PhotoPreviewsTest, AStoredPreviewOfAnotherKeyIsNotShown) {
    PreviewDiskCache cache((root_ / ".cache").string());
    const std::string key = PreviewDiskCache::KeyFor("a.jpg", {10, 20}, {64, 64});
    const std::string other = PreviewDiskCache::KeyFor("b.jpg", {10, 20}, {64, 64});
    ASSERT_TRUE(cache.store(key, PreviewDiskCache::Encode(key, Filled(8, 8, kRed)), "x/a.jpg"));
    EXPECT_TRUE(cache.load(key).has_value());
    // Another key written under this key's file name (a collision) is refused on load.
    fs::copy_file(root_ / ".cache" / PreviewDiskCache::FileNameFor(key),
                  root_ / ".cache" / PreviewDiskCache::FileNameFor(other));
    EXPECT_FALSE(cache.load(other).has_value());
    const std::string stored = *cache.load(key);
    WriteFile((root_ / ".cache" / PreviewDiskCache::FileNameFor(key)).string(),
              stored.substr(0, stored.size() - 10));  // cut short
    EXPECT_FALSE(cache.load(key).has_value());
}

TEST_F(PhotoPreviewsTest, ACacheFolderWithAChineseNameIsWrittenUnderThatName) {
    // Disk paths are UTF-8 on Windows, not the system's code page.
    PreviewDiskCache cache(root_.string() + "/\xE9\xA2\x84\xE8\xA7\x88");  // 预览
    const std::string key = PreviewDiskCache::KeyFor("a.jpg", {10, 20}, {64, 64});
    ASSERT_TRUE(cache.store(key, PreviewDiskCache::Encode(key, Filled(8, 8, kRed)), "x/a.jpg"));
    EXPECT_TRUE(fs::exists(root_ / u8"\u9884\u89C8" / PreviewDiskCache::FileNameFor(key)));
    EXPECT_TRUE(cache.load(key).has_value());
}

TEST_F(PhotoPreviewsTest, PickReadyOnlyEverReturnsACandidate) {
    PhotoOptions o;
    o.thumbnail = PlainJpeg(Filled(16, 12, kGreen));
    std::vector<std::string> all;
    for (int i = 0; i < 6; ++i)
        all.push_back(photo(std::to_string(i) + ".jpg", PhotoJpeg(Filled(64, 48, kGrey), o)));
    PhotoPreviews previews(options());
    previews.prefetch(std::span(all).first(3));
    previews.waitIdle();
    const std::vector<std::string> later(all.begin() + 3, all.end());
    EXPECT_FALSE(previews.pickReady(later, 1).has_value());  // none of these is ready yet
    // Photo 5 was never asked for (the call above queued photo 4, which may be ready by now).
    const std::optional<ReadyPreview> mixed = previews.pickReady(all, 5);
    ASSERT_TRUE(mixed.has_value());
    EXPECT_EQ(mixed->index, 0u);  // the next ready one after the preferred, wrapping around
    previews.waitIdle();
    EXPECT_EQ(previews.pickReady(all, 5)->index, 5u);  // the preferred one was queued
    EXPECT_FALSE(previews.pickReady({}, 0).has_value());
}

TEST_F(PhotoPreviewsTest, MissingAndUndecodablePhotosAreReadyAsEmptyPictures) {
    const std::string png = photo("x.jpg", Png(Quadrants(8, 8)));
    const std::string missing = (root_ / "photo" / "gone.jpg").string();
    PhotoPreviews previews(options());
    previews.prefetch(std::vector{png, missing});
    previews.waitIdle();
    for (const std::string& p : {png, missing}) {
        const std::optional<ReadyPreview> r = previews.ready(p);
        ASSERT_TRUE(r.has_value());
        EXPECT_TRUE(r->picture.empty());
        EXPECT_FALSE(r->image);
    }
    EXPECT_EQ(previews.stats().missing, 2);
}

TEST_F(PhotoPreviewsTest, EvictedImagesComeBackFromTheirBytes) {
    PhotoOptions o;
    o.thumbnail = PlainJpeg(Filled(40, 30, kBlue));
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i)
        paths.push_back(photo(std::to_string(i) + ".jpg", PhotoJpeg(Filled(80, 60, kGrey), o)));
    PhotoPreviewOptions small = options();
    small.decodedBudgetBytes = 40 * 30 * 4;  // room for one decoded preview
    PhotoPreviews previews(small);
    previews.prefetch(paths);
    previews.waitIdle();
    for (const std::string& p : paths) {
        const std::optional<ReadyPreview> r = previews.ready(p);
        ASSERT_TRUE(r && r->image);
        EXPECT_TRUE(Near(*r->image, 20, 15, kBlue));
    }
}

TEST_F(PhotoPreviewsTest, TheStopsFullPhotoIsDecodedAtItsBoxSize) {
    PhotoOptions o;
    o.orientation = 8;
    const std::string path = photo("w.jpg", PhotoJpeg(Quadrants(1600, 1200), o));
    PhotoPreviews previews(options());
    const std::shared_future<PlacedPicture> full =
        previews.decodeFullPhoto(path, {500, 400}, BoxFit::ShrinkToFit);
    const PlacedPicture& placed = full.get();
    EXPECT_EQ(placed.image.size(), (Size{300, 400}));
    EXPECT_EQ(placed.x, 100);
    EXPECT_TRUE(Near(placed.image, 5, 395, kRed));  // stored top-left now bottom-left
    const std::string bytes = PlainJpeg(Quadrants(64, 64));
    EXPECT_EQ(previews.decodeForBox(bytes, {32, 32}, BoxFit::Stretch).get().image.size(),
              (Size{32, 32}));
}

TEST_F(PhotoPreviewsTest, PendingDecodesAreAnsweredWhenTheServiceGoesAway) {
    const std::string path = photo("q.jpg", PlainJpeg(PhotoLike(800, 600)));
    std::vector<std::shared_future<PlacedPicture>> futures;
    {
        PhotoPreviewOptions one = options();
        one.workerThreads = 1;
        PhotoPreviews previews(one);
        for (int i = 0; i < 20; ++i) {
            futures.push_back(previews.decodeFullPhoto(path, {100, 100}, BoxFit::Stretch));
        }
    }
    for (auto& f : futures) {
        ASSERT_EQ(f.wait_for(std::chrono::seconds(0)), std::future_status::ready);
        const Size s = f.get().image.size();
        EXPECT_TRUE(s == (Size{100, 100}) || s == (Size{0, 0}));
    }
}

// Ticks on one thread, warm-ups and stops on others; the sanitizer builds watch it.
TEST_F(PhotoPreviewsTest, ConcurrentUseIsSafe) {
    PhotoOptions o;
    o.thumbnail = PlainJpeg(Filled(16, 12, kGreen));
    std::vector<std::string> paths;
    for (int i = 0; i < 24; ++i) {
        paths.push_back(photo(std::to_string(i) + ".jpg", i % 2
                                                              ? PhotoJpeg(Filled(96, 64, kGrey), o)
                                                              : PlainJpeg(PhotoLike(96, 64, i))));
    }
    PhotoPreviewOptions opts = options();
    opts.workerThreads = 3;
    opts.decodedBudgetBytes = 64 * 48 * 4 * 3;
    PhotoPreviews previews(opts);
    std::thread warmer([&] {
        for (int round = 0; round < 5; ++round) {
            previews.prefetch(paths);
            previews.decodeFullPhoto(paths[round], {50, 40}, BoxFit::ShrinkToFit);
        }
    });
    for (int tick = 0; tick < 3000; ++tick) {
        if (auto r = previews.pickReady(paths, static_cast<size_t>(tick) * 7)) {
            ASSERT_LT(r->index, paths.size());
            ASSERT_TRUE(r->image);
        }
    }
    warmer.join();
    previews.waitIdle();
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::optional<ReadyPreview> r = previews.pickReady(paths, i);
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->index, i);  // every photo made exactly once and kept
    }
    const PhotoPreviewStats s = previews.stats();
    EXPECT_EQ(s.embedded + s.made + s.fromDisk, static_cast<int>(paths.size()));
}

}  // namespace
}  // namespace ld
