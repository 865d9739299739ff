// Whole files and folder operations. Files rewritten whole go through a temporary file in
// the same folder that is flushed and renamed over the old one, so a crash or a full disk
// leaves the old content or the new one, never a truncated file.
#include "services/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "services/files_internal.h"

namespace ld {

using namespace files_detail;

namespace {

int64_t g_writeBudget = -1;     // bytes left before writes fail; < 0: unlimited
int g_operationsToFailure = 0;  // operations left until the injected failure; 0: none
bool g_failLaterOperations = false;

// Counts one file operation against the test's injected failure.
bool InjectedFailure() {
    if (g_operationsToFailure <= 0) return false;
    if (--g_operationsToFailure > 0) return false;
    if (g_failLaterOperations) g_operationsToFailure = 1;  // and so on, every time
    return true;
}

mode_t NewFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncDirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string directory =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // makes the rename durable; nothing to do when it fails
    ::close(fd);
}

// A symbolic link stays a link: the file it points to is the one replaced.
std::string FollowLink(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return path;
    std::string resolved(real);
    std::free(real);
    return resolved;
}

// Replaces the file at `diskPath` with what `produce` writes. An existing file keeps its
// permission bits and owner; it must be a regular file with its owner write bit set.
bool ReplaceAtomically(const std::string& diskPath, mode_t newFileMode,
                       const std::function<bool(int)>& produce) {
    std::string target = FollowLink(diskPath);
    struct stat old;
    bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || !(old.st_mode & S_IWUSR))) return false;

    size_t slash = target.rfind('/');
    std::string temp =
        (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + ".ld-XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = produce(fd);
    if (exists && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only root may give a file away; anyone else keeps the file as their own.
    }
    ok = ok && ::fchmod(fd, exists ? (old.st_mode & 07777) : newFileMode) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncDirectoryOf(target);
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
    bool ok = ::fstat(source, &info) == 0 && S_ISREG(info.st_mode) &&
              ReplaceAtomically(to, info.st_mode & 0777,
                                [source](int fd) { return CopyContent(source, fd); });
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
static size_t AllowedBytes(size_t wanted) {
    if (g_writeBudget < 0) return wanted;
    size_t allowed = std::min(wanted, static_cast<size_t>(g_writeBudget));
    g_writeBudget -= static_cast<int64_t>(allowed);
    return allowed;
}

bool WriteAll(int fd, std::string_view data) {
    size_t allowed = AllowedBytes(data.size());
    size_t done = 0;
    while (done < allowed) {
        ssize_t put = ::write(fd, data.data() + done, allowed - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return allowed == data.size();
}

bool WriteAllAt(int fd, std::string_view data, off_t offset) {
    size_t allowed = AllowedBytes(data.size());
    size_t done = 0;
    while (done < allowed) {
        ssize_t put =
            ::pwrite(fd, data.data() + done, allowed - done, offset + static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return allowed == data.size();
}

}  // namespace files_detail

void SetWriteFailureAfterBytesForTest(int64_t bytes) { g_writeBudget = bytes; }

void SetFileOperationFailureForTest(int nth, bool andLater) {
    g_operationsToFailure = nth;
    g_failLaterOperations = andLater;
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
    if (path.empty() || InjectedFailure()) return false;
    return ReplaceAtomically(ResolveExistingPath(path), NewFileMode(),
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
