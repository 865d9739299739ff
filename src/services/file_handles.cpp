// Handle-based file access. Writes through a handle happen in place, at the current
// position, as the callers expect; only whole-file writes go through a temporary file.
#include <algorithm>
#include <cstdio>
#include <map>

#include "services/disk.h"
#include "services/files.h"
#include "services/files_internal.h"

namespace ld {

using namespace files_detail;

namespace {

std::map<int32_t, int> g_openFiles;  // handle -> file descriptor

int DescriptorOf(int32_t handle) {
    auto it = g_openFiles.find(handle);
    return it == g_openFiles.end() ? -1 : it->second;
}

int32_t LowestFreeHandle() {
    int32_t handle = 1;
    for (const auto& [used, fd] : g_openFiles) {
        if (used != handle) break;
        ++handle;
    }
    return handle;
}

// 0 for a mode that does not exist.
unsigned OpenFlags(int32_t mode) {
    switch (mode) {
        case 1:
            return disk::kRead;
        case 2:
            return disk::kWrite;
        case 3:
            return disk::kRead | disk::kWrite;
        case 4:
            return disk::kWrite | disk::kCreate | disk::kTruncate;
        case 5:
            return disk::kWrite | disk::kCreate;
        case 6:
            return disk::kRead | disk::kWrite | disk::kCreate;
        default:
            return 0;
    }
}

int64_t CurrentPosition(int fd) { return disk::Seek(fd, 0, SEEK_CUR); }

}  // namespace

int32_t OpenFile(const Text& path, int32_t mode, int32_t sharing) {
    const unsigned flags = OpenFlags(mode);
    // Sharing is accepted for compatibility; nothing here shares files with other programs.
    if (path.empty() || flags == 0 || sharing < 1 || sharing > 4) return 0;
    std::string diskPath = ResolveExistingPath(path);
    // Root could open a read-only file for writing; the program must not.
    if (flags & disk::kWrite) {
        const auto info = disk::Examine(diskPath);
        if (info && info->readOnly) return 0;
    }
    const int fd = disk::Open(diskPath, flags | disk::kRegularOnly);
    if (fd < 0) return 0;
    int32_t handle = LowestFreeHandle();
    g_openFiles[handle] = fd;
    return handle;
}

void CloseFile(int32_t handle) {
    auto it = g_openFiles.find(handle);
    if (it == g_openFiles.end()) return;
    disk::Close(it->second);
    g_openFiles.erase(it);
}

Bytes ReadBytes(int32_t handle, int32_t count) {
    int fd = DescriptorOf(handle);
    if (fd < 0 || count <= 0) return {};
    // Never allocate more than the file can still give.
    int64_t left = disk::Size(fd) - CurrentPosition(fd);
    size_t wanted = static_cast<size_t>(std::clamp<int64_t>(left, 0, count));
    Bytes data(wanted, '\0');
    size_t done = 0;
    while (done < wanted) {
        const int64_t got = disk::Read(fd, data.data() + done, wanted - done);
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    data.resize(done);
    return data;
}

Text ReadTextFromFile(int32_t handle, int32_t count) {
    int fd = DescriptorOf(handle);
    if (fd < 0) return {};
    if (count < 0) count = static_cast<int32_t>(std::min<int64_t>(disk::Size(fd), INT32_MAX));
    Text text = ReadBytes(handle, count);
    size_t end = text.find_first_of(std::string_view("\0\x1A", 2));
    if (end != Text::npos) {
        // The terminating byte stays unread: the next read starts on it.
        disk::Seek(fd, -static_cast<int64_t>(text.size() - end), SEEK_CUR);
        text.resize(end);
    }
    return text;
}

bool WriteTexts(int32_t handle, std::string_view text) {
    int fd = DescriptorOf(handle);
    return fd >= 0 && WriteAll(fd, text);
}

bool DeleteBytesAt(int32_t handle, int64_t count) {
    int fd = DescriptorOf(handle);
    if (fd < 0 || count < 0) return false;
    int64_t position = CurrentPosition(fd);
    int64_t length = disk::Size(fd);
    if (position < 0 || length < 0) return false;
    if (count == 0 || position >= length) return true;
    count = std::min(count, length - position);

    char block[4096];
    int64_t from = position + count;
    int64_t to = position;
    while (from < length) {
        const int64_t got = disk::Read(fd, block, sizeof block, from);
        if (got <= 0) return false;
        if (!WriteAll(fd, std::string_view(block, static_cast<size_t>(got)), to)) return false;
        from += got;
        to += got;
    }
    return disk::Truncate(fd, std::max(length - count, position));
}

int64_t FileLength(int32_t handle) {
    int fd = DescriptorOf(handle);
    return fd < 0 ? -1 : disk::Size(fd);
}

bool SeekFile(int32_t handle, int64_t position) {
    int fd = DescriptorOf(handle);
    return fd >= 0 && position >= 0 && disk::Seek(fd, position, SEEK_SET) == position;
}

}  // namespace ld
