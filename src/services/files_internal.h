// Helpers shared by the file services (files.cpp, file_handles.cpp, find_files.cpp,
// file_paths.cpp). Not part of the services' interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "services/atomic_write.h"
#include "services/text.h"

namespace ld::files_detail {

// Length of the character starting at `i`: a byte of 0x80 or above starts a two-byte
// character (cut short at the end of the text).
inline size_t CharLength(std::string_view s, size_t i) {
    if (static_cast<unsigned char>(s[i]) < 0x80) return 1;
    return i + 1 < s.size() ? 2 : 1;
}

inline bool HasWildcard(std::string_view s) {
    return s.find_first_of("*?") != std::string_view::npos;
}

// Splits a GBK path at its last '/' ('/' is never the second byte of a GBK character).
// "photo/a.jpg" gives ("photo", "a.jpg"); "/a" gives ("", "a") with a directory (the root);
// "a" gives ("", "a") without one.
struct SplitPath {
    std::string directory;
    std::string name;
    bool hasDirectory = false;
};
SplitPath SplitAtLastSlash(std::string_view path);

// Joins a resolved directory (possibly empty = current directory) and an entry name.
std::string JoinDiskPath(const std::string& directory, bool hasDirectory, std::string_view name);

// Name matching for listings: '*' and '?' (one character), the part after the last '.'
// compared without regard to ASCII case, everything else exactly. "*.*" matches any name.
bool NameMatches(std::string_view pattern, std::string_view name);

// Writes all of `data` to `fd` (at `offset` when it is not negative, else at the file's
// position), honouring the test's write budget: past it a write fails as on a full disk.
bool WriteAll(int fd, std::string_view data, int64_t offset = -1);

// The atomic replacement of atomic_write.h, one per platform (posix/ and win32/
// atomic_replace.cpp). `fill` gets the temporary file's open descriptor, which it may close
// and reopen (set to -1 when that failed).
using Fill = std::function<bool(int& fd, const std::string& tempPath)>;
WriteResult ReplaceThroughTemporary(const std::string& diskPath, const Fill& fill,
                                    const AtomicWriteOptions& options);

}  // namespace ld::files_detail
