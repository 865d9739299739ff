#include "media/preview_disk_cache.h"

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "media/disk_path.h"
#include "media/jpeg_encoder.h"
#include "services/atomic_write.h"

namespace ld {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kKeyTag = "ld-preview 1\n";
constexpr int kQuality = 85;

uint64_t Fnv1a(std::string_view s, uint64_t basis) {
    uint64_t h = basis;
    for (unsigned char c : s) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    // Final mix so that close keys spread over all the bits.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}

std::string Hex(uint64_t v) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

// The comment segment right after the start of image holds the key; a file cut short (a
// crash while another instance wrote it) lacks the end marker.
bool CarriesKey(std::string_view jpeg, std::string_view key) {
    const size_t tagged = kKeyTag.size() + key.size();
    if (jpeg.size() < 6 + tagged + 2 ||
        jpeg.substr(0, 4) != std::string_view("\xFF\xD8\xFF\xFE", 4)) {
        return false;
    }
    const size_t length =
        size_t{static_cast<uint8_t>(jpeg[4])} << 8 | static_cast<uint8_t>(jpeg[5]);
    return length == tagged + 2 && jpeg.substr(6, kKeyTag.size()) == kKeyTag &&
           jpeg.substr(6 + kKeyTag.size(), key.size()) == key &&
           jpeg.ends_with(std::string_view("\xFF\xD9", 2));
}

bool Inside(const fs::path& inner, const fs::path& outer) {
    std::error_code ec;
    const fs::path a = fs::absolute(inner, ec).lexically_normal();
    const fs::path b = fs::absolute(outer, ec).lexically_normal();
    auto ai = a.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
        if (bi->empty()) continue;  // trailing separator
        if (ai == a.end() || *ai != *bi) return false;
    }
    return true;
}

}  // namespace

PreviewDiskCache::PreviewDiskCache(std::string directory) : directory_(std::move(directory)) {}

std::string PreviewDiskCache::KeyFor(const std::string& photoPath, const FileStamp& stamp,
                                     Size bound) {
    std::string key = photoPath;
    key += '\n' + std::to_string(stamp.size) + '\n' + std::to_string(stamp.modifiedNs) + '\n' +
           std::to_string(bound.width) + 'x' + std::to_string(bound.height);
    return key;
}

std::string PreviewDiskCache::FileNameFor(const std::string& key) {
    return Hex(Fnv1a(key, 0xcbf29ce484222325ull)) + Hex(Fnv1a(key, 0x84222325cbf29ce4ull)) + ".jpg";
}

std::optional<std::string> PreviewDiskCache::load(const std::string& key) const {
    if (!enabled()) return std::nullopt;
    std::string data = ReadFileBytes(FromFsPath(ToFsPath(directory_) / FileNameFor(key)));
    if (!CarriesKey(data, key)) return std::nullopt;
    return data;
}

std::string PreviewDiskCache::Encode(const std::string& key, const Image& preview) {
    std::string payload(kKeyTag);
    payload += key;
    JpegEncodeOptions options;
    options.quality = kQuality;
    options.segments.push_back({0xFE, std::move(payload)});
    return EncodeJpeg(preview, options);
}

bool PreviewDiskCache::IsTemporaryName(std::string_view name) {
    // <file name>.tmp<pid>-<counter>
    const size_t tmp = name.rfind(".tmp");
    if (tmp == std::string_view::npos) return false;
    const std::string_view tail = name.substr(tmp + 4);
    const size_t dash = tail.find('-');
    const auto digits = [](std::string_view s) {
        return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dash != std::string_view::npos && digits(tail.substr(0, dash)) &&
           digits(tail.substr(dash + 1));
}

bool PreviewDiskCache::store(const std::string& key, const std::string& jpeg,
                             const std::string& photoPath) const {
    if (!enabled() || jpeg.empty()) return false;
    if (Inside(ToFsPath(directory_), ToFsPath(photoPath).parent_path())) return false;
    std::error_code ec;
    fs::create_directories(ToFsPath(directory_), ec);
    static std::atomic<unsigned> counter{0};
    const std::string final = FromFsPath(ToFsPath(directory_) / FileNameFor(key));
    AtomicWriteOptions options;
    // The start-up sweep of the cache folder knows this name (IsTemporaryName).
    options.temporaryPath =
        final + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    // A preview can always be made again, and one cut short by a power cut fails the key
    // check on load: thousands of flushes on the first start are not worth it.
    options.flushToDisk = false;
    return WriteDiskFile(final, jpeg, options).ok();
}

}  // namespace ld
