// Reading picture files with the wide Windows API (disk paths are UTF-8 here).
#include "media/file_bytes.h"

#include <windows.h>

#include <algorithm>

#include "services/win32/wide.h"

namespace ld {

std::string ReadFileBytes(const std::string& path, size_t limit) {
    const HANDLE file =
        CreateFileW(win32::Widen(path).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string data;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size)) {
        data.reserve(std::min<size_t>(limit, static_cast<size_t>(size.QuadPart)));
    }
    char buffer[65536];
    while (data.size() < limit) {
        const DWORD want = static_cast<DWORD>(std::min(sizeof buffer, limit - data.size()));
        DWORD got = 0;
        if (!ReadFile(file, buffer, want, &got, nullptr) || got == 0) break;
        data.append(buffer, got);
    }
    CloseHandle(file);
    return data;
}

std::optional<FileStamp> StatFile(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!GetFileAttributesExW(win32::Widen(path).c_str(), GetFileExInfoStandard, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::nullopt;
    }
    const auto join = [](DWORD high, DWORD low) {
        return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
    };
    // FILETIME counts 100 ns; only equality matters here, so its epoch is kept.
    return FileStamp{
        join(info.nFileSizeHigh, info.nFileSizeLow),
        join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime) * 100};
}

}  // namespace ld
