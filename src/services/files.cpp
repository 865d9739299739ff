// Whole files and folder operations. Files rewritten whole go through ReplaceDiskFile
// (atomic_write.h), so a crash or a full disk leaves the old content or the new one.
#include "services/files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

#include "services/atomic_write.h"
#include "services/disk.h"
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
        const int64_t got = disk::Read(from, buffer.data(), buffer.size());
        if (got < 0) return false;
        if (got == 0) return true;
        if (!WriteAll(to, std::string_view(buffer.data(), static_cast<size_t>(got)))) return false;
    }
}

bool CopyDiskFile(const std::string& from, const std::string& to) {
    const int source = disk::Open(from, disk::kRead | disk::kRegularOnly);
    if (source < 0) return false;
    AtomicWriteOptions options;
    options.newFileMode = disk::Permissions(source);  // a new copy gets the original's bits
    const bool ok = ReplaceDiskFile(
                        to, [source](int fd) { return CopyContent(source, fd); }, options)
                        .ok();
    disk::Close(source);
    return ok;
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

bool WriteAll(int fd, std::string_view data, int64_t offset) {
    const size_t allowed = AllowedBytes(data.size());
    size_t done = 0;
    while (done < allowed) {
        const int64_t put = disk::Write(fd, data.data() + done, allowed - done,
                                        offset < 0 ? -1 : offset + static_cast<int64_t>(done));
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
    return disk::MakeFolder(ResolveExistingPath(path));
}

bool CopyFileTo(const Text& source, const Text& destination) {
    if (source.empty() || destination.empty() || InjectedFailure()) return false;
    return CopyDiskFile(ResolveExistingPath(source), ResolveExistingPath(destination));
}

bool DeleteFileAt(const Text& path) {
    if (path.empty() || InjectedFailure()) return false;
    return disk::RemoveFile(ResolveExistingPath(path));
}

bool MoveFileTo(const Text& oldPath, const Text& newPath) {
    if (oldPath.empty() || newPath.empty() || InjectedFailure()) return false;
    std::string from = ResolveExistingPath(oldPath);
    std::string to = ResolveExistingPath(newPath);
    if (!disk::Exists(from) || disk::Exists(to)) return false;
    switch (disk::MoveNoReplace(from, to)) {
        case disk::MoveResult::Moved:
            return true;
        case disk::MoveResult::Failed:
            return false;
        case disk::MoveResult::OtherDevice:  // copy, then remove the original
            return CopyDiskFile(from, to) && disk::RemoveFile(from);
    }
    return false;
}

bool SetFileAttribute(const Text& path, int attributes) {
    return !path.empty() && disk::SetAttributes(ResolveExistingPath(path), attributes);
}

bool IsReadOnly(const Text& path) {
    if (path.empty()) return false;
    const auto info = disk::Examine(ResolveExistingPath(path));
    return info && info->readOnly;
}

std::optional<Bytes> TryReadWholeFile(const Text& path) {
    if (path.empty()) return std::nullopt;
    // Regular files only, so that a pipe under the name cannot hang the program.
    const int fd = disk::Open(ResolveExistingPath(path), disk::kRead | disk::kRegularOnly);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Bytes();
        return std::nullopt;
    }
    std::optional<Bytes> content(std::in_place);
    const int64_t size = disk::Size(fd);
    if (size > 0) content->reserve(static_cast<size_t>(size));
    char buffer[1 << 16];
    for (;;) {
        const int64_t got = disk::Read(fd, buffer, sizeof buffer);
        if (got < 0) content.reset();
        if (got <= 0) break;
        content->append(buffer, static_cast<size_t>(got));
    }
    disk::Close(fd);
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
    const int fd =
        disk::Open(ResolveExistingPath(path), disk::kWrite | disk::kCreate | disk::kAppend);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data) && disk::Flush(fd);
    ok = disk::Close(fd) && ok;
    return ok;
}

}  // namespace ld
