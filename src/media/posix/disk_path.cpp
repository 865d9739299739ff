#include "media/disk_path.h"

namespace ld {

// The bytes as they are: Linux names need not be valid UTF-8.
std::filesystem::path ToFsPath(const std::string& diskPath) { return diskPath; }
std::string FromFsPath(const std::filesystem::path& path) { return path.string(); }

}  // namespace ld
