// Made photo previews kept on disk (the program's .cache folder), so a second start does not
// decode every large photo again. Each file is a small JPEG named by a hash of the photo's
// path, size and modification time; the full key is stored inside the file and checked on
// load, so a hash collision or a stale file is never shown for another photo.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "media/file_bytes.h"
#include "media/image.h"

namespace ld {

class PreviewDiskCache {
public:
    // An empty directory disables the cache.
    explicit PreviewDiskCache(std::string directory);

    bool enabled() const { return !directory_.empty(); }
    const std::string& directory() const { return directory_; }

    // What identifies one version of a photo's preview.
    static std::string KeyFor(const std::string& photoPath, const FileStamp& stamp, Size bound);
    // 32 hex digits and ".jpg": made of the key's hash only, so no photo name reaches it.
    static std::string FileNameFor(const std::string& key);
    // The name under which store() writes before its rename: never a preview to load.
    static bool IsTemporaryName(std::string_view name);

    // The preview as the JPEG bytes that are stored, the key inside; empty when it fails.
    static std::string Encode(const std::string& key, const Image& preview);
    // The stored preview (JPEG bytes) of the key, when present and made for that key.
    std::optional<std::string> load(const std::string& key) const;
    // Writes encoded preview bytes under the key (temporary file, then rename). Nothing is
    // written when the cache folder lies in the photo's own folder.
    bool store(const std::string& key, const std::string& encoded,
               const std::string& photoPath) const;

private:
    std::string directory_;
};

}  // namespace ld
