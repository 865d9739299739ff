// Whole files and folder operations. Files rewritten whole go through ReplaceDiskFile
// (atomic_write.h), so a crash or a full disk leaves the old content or the new one.
#include "services/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

#include "services/atomic_write.h"
#include "services/files_internal.h"

namespace ld {

using namespace files_detail;

namespace {

// Test hooks; atomic because file operations also run on worker and server threads.
std::atomic<int64_t> g_writeBudget{-1};  // bytes left before writes fail; < 0: unlimited
std::mutex g_injectionMutex;
int g_operationsToFailure = 0;  // operations left until the injected failure; 0: none
bool g_failLaterOperations = false;
std::atomic<bool> g_injecting{false};  // a failure is set: only then is the mutex taken

// Counts one file operation against the test's injected failure.
bool InjectedFailure() {
    if (!g_injecting.load()) return false;
    std::lock_guard lock(g_injectionMutex);
    if (g_operationsToFailure <= 0) return false;
    if (--g_operationsToFailure > 0) return false;
    if (g_failLaterOperations) g_operationsToFailure = 1;  // and so on, every time
    return true;
}

bool CopyContent(int from, int to) {
    std::string buffer(1 << 16, '\0');
    for (;;) {
        ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        if (!WriteAll(to, std::string_view(buffer.data(), static_cast<size_t>(got)))) return false;
    }
}

bool CopyDiskFile(const std::string& from, const std::string& to) {
    int source = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) return false;
    struct stat info;
    AtomicWriteOptions options;
    bool ok = ::fstat(source, &info) == 0 && S_ISREG(info.st_mode);
    options.newFileMode = info.st_mode & 0777;  // a new copy gets the original's bits
    ok = ok && ReplaceDiskFile(
                   to, [source](int fd) { return CopyContent(source, fd); }, options);
    ::close(source);
    return ok;
}

bool ExistsOnDisk(const std::string& diskPath) {
    struct stat info;
    return !diskPath.empty() && ::lstat(diskPath.c_str(), &info) == 0;
}

}  // namespace

namespace files_detail {

// Spends the test's write budget; returns how many of `wanted` bytes may still be written.
// Writes run on several threads (exports, previews, check-in), so the budget is atomic.
static size_t AllowedBytes(size_t wanted) {
    int64_t budget = g_writeBudget.load();
    for (;;) {
        if (budget < 0) return wanted;
        const size_t allowed = std::min(wanted, static_cast<size_t>(budget));
        if (g_writeBudget.compare_exchange_weak(budget, budget - static_cast<int64_t>(allowed)))
            return allowed;
    }
}

bool WriteAll(int fd, std::string_view data, off_t offset) {
    const size_t allowed = AllowedBytes(data.size());
    size_t done = 0;
    while (done < allowed) {
        const ssize_t put = offset < 0 ? ::write(fd, data.data() + done, allowed - done)
                                       : ::pwrite(fd, data.data() + done, allowed - done,
                                                  offset + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    if (allowed == data.size()) return true;
    errno = ENOSPC;  // the test's budget is spent: as if the disk were full
    return false;
}

}  // namespace files_detail

void SetWriteFailureAfterBytesForTest(int64_t bytes) { g_writeBudget = bytes; }

void SetFileOperationFailureForTest(int nth, bool andLater) {
    std::lock_guard lock(g_injectionMutex);
    g_operationsToFailure = nth;
    g_failLaterOperations = andLater;
    g_injecting = nth > 0;
}

bool CreateFolder(const Text& path) {
    if (path.empty() || InjectedFailure()) return false;
    return ::mkdir(ResolveExistingPath(path).c_str(), 0777) == 0;
}

bool CopyFileTo(const Text& source, const Text& destination) {
    if (source.empty() || destination.empty() || InjectedFailure()) return false;
    return CopyDiskFile(ResolveExistingPath(source), ResolveExistingPath(destination));
}

bool DeleteFileAt(const Text& path) {
    if (path.empty() || InjectedFailure()) return false;
    std::string diskPath = ResolveExistingPath(path);
    struct stat info;
    if (::lstat(diskPath.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
    return ::unlink(diskPath.c_str()) == 0;
}

bool MoveFileTo(const Text& oldPath, const Text& newPath) {
    if (oldPath.empty() || newPath.empty() || InjectedFailure()) return false;
    std::string from = ResolveExistingPath(oldPath);
    std::string to = ResolveExistingPath(newPath);
    if (!ExistsOnDisk(from) || ExistsOnDisk(to)) return false;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) {  // file system without no-replace renames
        return ::rename(from.c_str(), to.c_str()) == 0;
    }
    if (errno != EXDEV) return false;
    // Another file system: copy, then remove the original.
    return CopyDiskFile(from, to) && ::unlink(from.c_str()) == 0;
}

bool SetFileAttribute(const Text& path, int attributes) {
    if (path.empty()) return false;
    std::string diskPath = ResolveExistingPath(path);
    struct stat info;
    if (!StatPath(diskPath, info)) return false;
    mode_t mode = info.st_mode & 07777;
    // Only read-only has a counterpart here; hidden, system and archive are accepted as is.
    mode = (attributes & 0x27 & 1) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
    return ::chmod(diskPath.c_str(), mode) == 0;
}

bool IsReadOnly(const Text& path) {
    struct stat info;
    return !path.empty() && StatPath(ResolveExistingPath(path), info) && !(info.st_mode & S_IWUSR);
}

std::optional<Bytes> TryReadWholeFile(const Text& path) {
    if (path.empty()) return std::nullopt;
    // Non-blocking, so that a pipe under the name cannot hang the program.
    int fd = ::open(ResolveExistingPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Bytes();
        return std::nullopt;
    }
    struct stat info;
    std::optional<Bytes> content;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        content.emplace();
        content->reserve(static_cast<size_t>(info.st_size));
        char buffer[1 << 16];
        for (;;) {
            ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) content.reset();
            if (got <= 0) break;
            content->append(buffer, static_cast<size_t>(got));
        }
    }
    ::close(fd);
    return content;
}

Bytes ReadWholeFile(const Text& path) { return TryReadWholeFile(path).value_or(Bytes()); }

bool WriteWholeFile(const Text& path, std::string_view data) {
    return WriteWholeFile(path, data, {});
}

bool WriteWholeFile(const Text& path, std::string_view data1, std::string_view data2) {
    return TryWriteWholeFile(path, data1, data2).ok();
}

WriteResult TryWriteWholeFile(const Text& path, std::string_view data1, std::string_view data2) {
    if (path.empty()) return {"no file name"};
    if (InjectedFailure()) return {"failure injected by a test"};
    return ReplaceDiskFile(ResolveExistingPath(path),
                           [&](int fd) { return WriteAll(fd, data1) && WriteAll(fd, data2); });
}

bool AppendToFile(const Text& path, std::string_view data) {
    if (path.empty() || InjectedFailure()) return false;
    const int fd = ::open(ResolveExistingPath(path).c_str(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, NewFileMode());
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    return ok;
}

}  // namespace ld
