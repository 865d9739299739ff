// Handle-based file access. Writes through a handle happen in place, at the current
// position, as the callers expect; only whole-file writes go through a temporary file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>

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

int OpenFlags(int32_t mode) {
    switch (mode) {
        case 1:
            return O_RDONLY;
        case 2:
            return O_WRONLY;
        case 3:
            return O_RDWR;
        case 4:
            return O_WRONLY | O_CREAT | O_TRUNC;
        case 5:
            return O_WRONLY | O_CREAT;
        case 6:
            return O_RDWR | O_CREAT;
        default:
            return -1;
    }
}

int64_t CurrentPosition(int fd) { return ::lseek(fd, 0, SEEK_CUR); }

int64_t SizeOf(int fd) {
    struct stat info;
    return ::fstat(fd, &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

}  // namespace

int32_t OpenFile(const Text& path, int32_t mode, int32_t sharing) {
    int flags = OpenFlags(mode);
    // Sharing is accepted for compatibility; nothing here shares files with other programs.
    if (path.empty() || flags < 0 || sharing < 1 || sharing > 4) return 0;
    std::string diskPath = ResolveExistingPath(path);
    struct stat info;
    // Root could open a read-only file for writing; the program must not.
    if ((flags & O_ACCMODE) != O_RDONLY && StatPath(diskPath, info) && !(info.st_mode & S_IWUSR))
        return 0;
    int fd = ::open(diskPath.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return 0;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return 0;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int32_t handle = LowestFreeHandle();
    g_openFiles[handle] = fd;
    return handle;
}

void CloseFile(int32_t handle) {
    auto it = g_openFiles.find(handle);
    if (it == g_openFiles.end()) return;
    ::close(it->second);
    g_openFiles.erase(it);
}

Bytes ReadBytes(int32_t handle, int32_t count) {
    int fd = DescriptorOf(handle);
    if (fd < 0 || count <= 0) return {};
    // Never allocate more than the file can still give.
    int64_t left = SizeOf(fd) - CurrentPosition(fd);
    size_t wanted = static_cast<size_t>(std::clamp<int64_t>(left, 0, count));
    Bytes data(wanted, '\0');
    size_t done = 0;
    while (done < wanted) {
        ssize_t got = ::read(fd, data.data() + done, wanted - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    data.resize(done);
    return data;
}

Text ReadTextFromFile(int32_t handle, int32_t count) {
    int fd = DescriptorOf(handle);
    if (fd < 0) return {};
    if (count < 0) count = static_cast<int32_t>(std::min<int64_t>(SizeOf(fd), INT32_MAX));
    Text text = ReadBytes(handle, count);
    size_t end = text.find_first_of(std::string_view("\0\x1A", 2));
    if (end != Text::npos) {
        // The terminating byte stays unread: the next read starts on it.
        ::lseek(fd, -static_cast<off_t>(text.size() - end), SEEK_CUR);
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
    int64_t length = SizeOf(fd);
    if (position < 0 || length < 0) return false;
    if (count == 0 || position >= length) return true;
    count = std::min(count, length - position);

    char block[4096];
    int64_t from = position + count;
    int64_t to = position;
    while (from < length) {
        ssize_t got = ::pread(fd, block, sizeof block, from);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        if (!WriteAll(fd, std::string_view(block, static_cast<size_t>(got)), to)) return false;
        from += got;
        to += got;
    }
    return ::ftruncate(fd, std::max(length - count, position)) == 0;
}

int64_t FileLength(int32_t handle) {
    int fd = DescriptorOf(handle);
    return fd < 0 ? -1 : SizeOf(fd);
}

bool SeekFile(int32_t handle, int64_t position) {
    int fd = DescriptorOf(handle);
    return fd >= 0 && position >= 0 && ::lseek(fd, position, SEEK_SET) == position;
}

}  // namespace ld
