// Helpers shared by the file services (files.cpp, file_handles.cpp, find_files.cpp,
// file_paths.cpp). Not part of the services' interface.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>
#include <string_view>

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

// stat() that follows links; false when the path does not exist or cannot be examined.
bool StatPath(const std::string& diskPath, struct stat& info);

// Writes all of `data` to `fd` (at `offset` when it is not negative, else at the file's
// position), honouring the test's write budget: past it a write fails as on a full disk.
bool WriteAll(int fd, std::string_view data, off_t offset = -1);

// Permission bits of a new file: 0666 less the umask, which is read once and never changed.
mode_t NewFileMode();

// The system's reason for an errno value, in English: "No such file or directory (ENOENT)".
std::string DescribeError(int error);

}  // namespace ld::files_detail
