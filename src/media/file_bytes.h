// Reading picture files by their file-system path (callers resolve the program's GBK names
// first, with ResolveExistingPath).
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace ld {

// Up to `limit` bytes from the start of the file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path,
                          size_t limit = std::numeric_limits<size_t>::max());

// What identifies a version of a file: a photo replaced under the same name differs here.
struct FileStamp {
    int64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StatFile(const std::string& path);

}  // namespace ld
