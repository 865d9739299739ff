#include "media/photo_previews.h"

#include <algorithm>
#include <exception>
#include <random>

#include "media/file_bytes.h"
#include "media/photo_preview.h"

namespace ld {
namespace {

// Fulfils the promise exactly once: with the result, or with an empty picture when the job
// is dropped unrun (the service is going away), so nobody waits forever.
class PromiseGuard {
public:
    ~PromiseGuard() {
        if (!done_) promise_.set_value({});
    }
    std::shared_future<PlacedPicture> future() { return promise_.get_future().share(); }
    void fulfil(PlacedPicture picture) {
        promise_.set_value(std::move(picture));
        done_ = true;
    }

private:
    std::promise<PlacedPicture> promise_;
    bool done_ = false;
};

}  // namespace

PhotoPreviews::PhotoPreviews(PhotoPreviewOptions options)
    : options_(std::move(options)), disk_(options_.cacheDirectory), pool_(options_.workerThreads) {}

PhotoPreviews::~PhotoPreviews() = default;

std::string PhotoPreviews::resolve(const std::string& path) const {
    return options_.resolvePath ? options_.resolvePath(path) : path;
}

std::optional<ReadyPreview> PhotoPreviews::ready(const std::string& photoPath) {
    return pickReady(std::span<const std::string>(&photoPath, 1), 0);
}

std::optional<ReadyPreview> PhotoPreviews::pickReady(std::span<const std::string> candidates,
                                                     size_t preferred) {
    const size_t n = candidates.size();
    if (n == 0) return std::nullopt;
    preferred %= n;
    std::unique_lock lock(mutex_);
    for (size_t i = 0; i < n; ++i) {
        const size_t index = (preferred + i) % n;
        const auto found = entries_.find(candidates[index]);
        if (found == entries_.end()) {
            if (i == 0) queueUrgent(candidates[index]);
            continue;
        }
        if (found->second.ready) return readyFrom(found->first, found->second, index, lock);
    }
    return std::nullopt;
}

// Called with the lock held; may drop it while decoding bytes whose image was evicted.
ReadyPreview PhotoPreviews::readyFrom(const std::string& path, Entry& entry, size_t index,
                                      std::unique_lock<std::mutex>& lock) {
    std::shared_ptr<const std::string> picture = entry.picture;
    if (picture && !picture->empty() && !entry.image) {
        lock.unlock();  // a small preview, but workers need not wait for it
        auto decoded = std::make_shared<const Image>(
            DecodePictureForBox(*picture, options_.madePreviewBound, BoxFit::ShrinkToFit).image);
        lock.lock();
        if (!entry.image) keepDecoded(path, entry, std::move(decoded));
    } else if (entry.hasDecoded) {
        decodedOrder_.splice(decodedOrder_.begin(), decodedOrder_, entry.decodedPosition);
    }
    ReadyPreview result;
    result.index = index;
    result.image = entry.image;
    lock.unlock();
    if (picture) result.picture = *picture;
    return result;
}

// Keeps a decoded preview within the memory budget, dropping the least recently shown ones
// (their bytes stay, so they decode again quickly when asked for).
void PhotoPreviews::keepDecoded(const std::string& path, Entry& entry,
                                std::shared_ptr<const Image> image) {
    if (!image || image->empty()) return;
    entry.image = std::move(image);
    decodedOrder_.push_front(path);
    entry.decodedPosition = decodedOrder_.begin();
    entry.hasDecoded = true;
    decodedBytes_ += entry.image->rgba.size();
    while (decodedBytes_ > options_.decodedBudgetBytes && decodedOrder_.size() > 1) {
        Entry& oldest = entries_.at(decodedOrder_.back());
        decodedBytes_ -= oldest.image->rgba.size();
        oldest.image.reset();
        oldest.hasDecoded = false;
        decodedOrder_.pop_back();
    }
}

void PhotoPreviews::forget(const std::string& photoPath) {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(photoPath);
    if (it == entries_.end() || !it->second.ready) return;  // on its way: it reads the new file
    if (it->second.hasDecoded) {
        decodedBytes_ -= it->second.image->rgba.size();
        decodedOrder_.erase(it->second.decodedPosition);
    }
    entries_.erase(it);
}

void PhotoPreviews::queueUrgent(const std::string& photoPath) {
    entries_[photoPath];  // on its way: neither queued again nor taken by the warm-up
    pool_.submitUrgent([this, photoPath] { process(photoPath); });
}

void PhotoPreviews::prefetch(std::span<const std::string> photoPaths) {
    std::vector<std::string> list(photoPaths.begin(), photoPaths.end());
    static thread_local std::minstd_rand shuffler{std::random_device{}()};
    std::shuffle(list.begin(), list.end(), shuffler);
    std::lock_guard lock(mutex_);
    std::erase_if(list, [this](const std::string& p) { return entries_.contains(p); });
    warmUp_ = std::move(list);
    startPumps();
}

// One pump per worker walks the warm-up list, one photo per job, so urgent requests get a
// worker between two photos.
void PhotoPreviews::startPumps() {
    while (pumpsRunning_ < pool_.threadCount() && !warmUp_.empty()) {
        ++pumpsRunning_;
        pool_.submitBackground([this] { pump(); });
    }
}

void PhotoPreviews::pump() {
    std::optional<std::string> next;
    {
        std::lock_guard lock(mutex_);
        while (!next && !warmUp_.empty()) {
            std::string path = std::move(warmUp_.back());
            warmUp_.pop_back();
            if (entries_.try_emplace(path).second) next = std::move(path);
        }
        if (!next) {
            --pumpsRunning_;
            return;
        }
    }
    process(*next);
    pool_.submitBackground([this] { pump(); });
}

void PhotoPreviews::process(const std::string& photoPath) {
    Made made;
    try {
        made = makePreview(photoPath);
    } catch (const std::exception&) {
        made = {};  // out of memory on a monster photo: shown as no picture, the roll goes on
    }
    std::lock_guard lock(mutex_);
    Entry& entry = entries_[photoPath];
    if (entry.ready) return;
    entry.ready = true;
    entry.picture = std::make_shared<const std::string>(std::move(made.picture));
    keepDecoded(photoPath, entry, std::move(made.image));
    switch (made.source) {
        case Source::Embedded:
            ++stats_.embedded;
            break;
        case Source::FromDisk:
            ++stats_.fromDisk;
            break;
        case Source::Made:
            ++stats_.made;
            break;
        case Source::Missing:
            ++stats_.missing;
            break;
    }
}

PhotoPreviews::Made PhotoPreviews::makePreview(const std::string& photoPath) {
    const std::string fsPath = resolve(photoPath);
    std::string head = ReadFileBytes(fsPath, kPreviewSearchBytes);
    if (std::optional<std::string> embedded = ExtractEmbeddedPreview(head)) {
        Image image =
            DecodePictureForBox(*embedded, options_.madePreviewBound, BoxFit::ShrinkToFit).image;
        if (!image.empty()) {
            return {std::move(*embedded), std::make_shared<const Image>(std::move(image)),
                    Source::Embedded};
        }
    }
    if (head.empty()) return {};
    return makeFromWholePhoto(fsPath);
}

// A photo without a usable embedded preview: the cache folder, else decode the whole photo
// at a reduced scale and store the result there.
PhotoPreviews::Made PhotoPreviews::makeFromWholePhoto(const std::string& fsPath) {
    const std::optional<FileStamp> stamp = StatFile(fsPath);
    if (!stamp) return {};
    const Size bound = options_.madePreviewBound;
    const std::string key = PreviewDiskCache::KeyFor(fsPath, *stamp, bound);
    if (std::optional<std::string> stored = disk_.load(key)) {
        Image image = DecodePictureForBox(*stored, bound, BoxFit::ShrinkToFit).image;
        if (!image.empty()) {
            return {std::move(*stored), std::make_shared<const Image>(std::move(image)),
                    Source::FromDisk};
        }
    }
    Image image = DecodePictureForBox(ReadFileBytes(fsPath), bound, BoxFit::ShrinkToFit).image;
    if (image.empty()) return {};
    std::string encoded = PreviewDiskCache::Encode(key, image);
    disk_.store(key, encoded, fsPath);
    return {std::move(encoded), std::make_shared<const Image>(std::move(image)), Source::Made};
}

std::shared_future<PlacedPicture> PhotoPreviews::decodeFullPhoto(const std::string& photoPath,
                                                                 Size box, BoxFit fit) {
    auto guard = std::make_shared<PromiseGuard>();
    std::shared_future<PlacedPicture> future = guard->future();
    pool_.submitUrgent([this, guard, photoPath, box, fit] {
        guard->fulfil(DecodePictureForBox(ReadFileBytes(resolve(photoPath)), box, fit));
    });
    return future;
}

std::shared_future<PlacedPicture> PhotoPreviews::decodeForBox(std::string bytes, Size box,
                                                              BoxFit fit) {
    auto guard = std::make_shared<PromiseGuard>();
    std::shared_future<PlacedPicture> future = guard->future();
    auto shared = std::make_shared<const std::string>(std::move(bytes));
    pool_.submitUrgent(
        [guard, shared, box, fit] { guard->fulfil(DecodePictureForBox(*shared, box, fit)); });
    return future;
}

void PhotoPreviews::waitIdle() { pool_.waitIdle(); }

PhotoPreviewStats PhotoPreviews::stats() const {
    std::lock_guard lock(mutex_);
    return stats_;
}

}  // namespace ld
