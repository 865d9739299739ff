// Photo previews for the roll, made ahead on worker threads so that a roll tick never reads
// or decodes a large photo on the UI thread.
//
// A preview is the photo's embedded Exif preview when it has one that decodes; otherwise a
// small JPEG made from the whole photo at a reduced DCT scale, kept in the cache folder so a
// second start does not make it again. Ticks ask for "a ready preview among these
// candidates" and never wait: what is not ready yet is queued and shown on a later tick.
// The stop's full photo is decoded at the size it is shown, on a worker as well.
//
// Thread-safe: every member may be called from any thread; results are immutable.
#pragma once

#include <cstddef>
#include <functional>
#include <future>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "media/image.h"
#include "media/picture.h"
#include "media/preview_disk_cache.h"
#include "media/worker_pool.h"

namespace ld {

struct PhotoPreviewOptions {
    std::string cacheDirectory;             // file-system path of the .cache folder; empty: none
    Size madePreviewBound{256, 256};        // previews made from whole photos fit in this
    size_t decodedBudgetBytes = 64u << 20;  // decoded previews kept beyond their bytes
    int workerThreads = 0;                  // 0: one less than the cores, at least one
    // Turns the photo paths given to the service into file-system paths (on a worker).
    // Empty: the paths are file-system paths already.
    std::function<std::string(const std::string&)> resolvePath;
};

struct ReadyPreview {
    size_t index = 0;     // which candidate it belongs to
    std::string picture;  // picture bytes for the photo box; empty: missing or no picture
    std::shared_ptr<const Image> image;  // the same, decoded and upright; null when empty
};

struct PhotoPreviewStats {
    int embedded = 0;  // previews taken from the photo's Exif block
    int fromDisk = 0;  // made previews found in the cache folder
    int made = 0;      // previews made by decoding a whole photo
    int missing = 0;   // photos that could not be read or decoded
};

class PhotoPreviews {
public:
    explicit PhotoPreviews(PhotoPreviewOptions options = {});
    ~PhotoPreviews();
    PhotoPreviews(const PhotoPreviews&) = delete;
    PhotoPreviews& operator=(const PhotoPreviews&) = delete;

    // Never blocks. The preview of candidates[preferred] when it is ready, otherwise the
    // next ready one after it (wrapping around), otherwise nothing. A preferred candidate
    // that is neither ready nor on its way is queued ahead of the warm-up.
    std::optional<ReadyPreview> pickReady(std::span<const std::string> candidates,
                                          size_t preferred);
    std::optional<ReadyPreview> ready(const std::string& photoPath);

    // Warms up the previews of these photos in the background, in a shuffled order so that
    // the first ones ready are spread over the list. Replaces an earlier warm-up.
    void prefetch(std::span<const std::string> photoPaths);

    // The whole photo decoded at the size it is drawn in `box`, on a worker ahead of the
    // warm-up. The future is fulfilled (with an empty picture at worst) even when the
    // service goes away first.
    std::shared_future<PlacedPicture> decodeFullPhoto(const std::string& photoPath, Size box,
                                                      BoxFit fit);
    std::shared_future<PlacedPicture> decodeForBox(std::string bytes, Size box, BoxFit fit);

    // The photo changed on disk (a check-in replaced it): its preview is made again when next
    // asked for.
    void forget(const std::string& photoPath);

    // Blocks until all queued work is done. For tests and benchmarks.
    void waitIdle();
    PhotoPreviewStats stats() const;
    int workerThreads() const { return pool_.threadCount(); }

private:
    struct Entry {
        bool ready = false;
        std::shared_ptr<const std::string> picture;
        std::shared_ptr<const Image> image;  // null when evicted or no picture
        std::list<std::string>::iterator decodedPosition;
        bool hasDecoded = false;
    };
    enum class Source { Embedded, FromDisk, Made, Missing };
    struct Made {
        std::string picture;
        std::shared_ptr<const Image> image;
        Source source = Source::Missing;
    };

    std::string resolve(const std::string& path) const;
    Made makePreview(const std::string& photoPath);
    Made makeFromWholePhoto(const std::string& fsPath);
    void process(const std::string& photoPath);
    void pump();
    void startPumps();
    void queueUrgent(const std::string& photoPath);
    ReadyPreview readyFrom(const std::string& path, Entry& entry, size_t index,
                           std::unique_lock<std::mutex>& lock);
    void keepDecoded(const std::string& path, Entry& entry, std::shared_ptr<const Image> image);

    const PhotoPreviewOptions options_;
    const PreviewDiskCache disk_;

    mutable std::mutex mutex_;
    std::unordered_map<std::string, Entry> entries_;  // absent: not asked for yet
    std::list<std::string> decodedOrder_;             // most recently shown first
    size_t decodedBytes_ = 0;
    std::vector<std::string> warmUp_;  // popped from the back
    int pumpsRunning_ = 0;
    PhotoPreviewStats stats_;

    WorkerPool pool_;  // last: stops its threads before the members above go away
};

}  // namespace ld
