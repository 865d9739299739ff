// Disk names as the services spell them (bytes on Linux, UTF-8 on Windows) and the standard
// library's paths, both ways. Free of any system header, so that any test may use it.
#pragma once

#include <filesystem>
#include <string>

namespace ld::test {

#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

// A disk name (bytes on Linux, UTF-8 on Windows) as a path, and back with '/' between folders.
inline std::filesystem::path DiskPath(const std::string& name) {
    if constexpr (kWindows) return std::filesystem::path(std::u8string(name.begin(), name.end()));
    return std::filesystem::path(name);
}
inline std::string DiskName(const std::filesystem::path& path) {
    if constexpr (kWindows) {
        const std::u8string utf8 = path.generic_u8string();
        return std::string(utf8.begin(), utf8.end());
    }
    return path.string();
}

}  // namespace ld::test
