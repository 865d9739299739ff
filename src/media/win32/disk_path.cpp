#include "media/disk_path.h"

namespace ld {

std::filesystem::path ToFsPath(const std::string& diskPath) {
    return std::u8string(diskPath.begin(), diskPath.end());
}

std::string FromFsPath(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

}  // namespace ld
