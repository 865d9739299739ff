// The atomic replacement on Linux: mkostemp, fsync, rename, and the folder flushed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "services/atomic_write.h"
#include "services/disk.h"
#include "services/files_internal.h"

namespace ld::files_detail {

namespace {

// umask() can only be read by setting it, and any file that another thread creates in
// between gets the wrong mode; the kernel also shows it in /proc, which changes nothing.
mode_t ReadUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    }
    const mode_t mask = ::umask(022);  // no /proc: read once, never through a mask of 0
    ::umask(mask);
    return mask;
}

mode_t NewFileMode() {
    static const mode_t mask = ReadUmask();  // nothing in the program changes it later
    return 0666 & ~mask;
}

using disk::DescribeError;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // makes the rename durable; the new content is in place either way
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

// Runs the steps of one write in order until one fails, and keeps what failed and why.
class Steps {
public:
    template <typename Step>
    bool run(const char* what, const std::string& path, Step&& step) {
        if (!result_.ok()) return false;
        errno = 0;
        if (!step()) result_.error = std::string(what) + " " + path + ": " + DescribeError(errno);
        return result_.ok();
    }
    bool failed() const { return !result_.ok(); }
    WriteResult result() const { return result_; }

private:
    WriteResult result_;
};

int CreateTemporary(std::string& temp, const std::string& target,
                    const AtomicWriteOptions& options) {
    if (!options.temporaryPath.empty()) {
        temp = options.temporaryPath;
        return ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    const size_t slash = target.rfind('/');
    temp =
        (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + ".ld-XXXXXX";
    return ::mkostemp(temp.data(), O_CLOEXEC);
}

}  // namespace

WriteResult ReplaceThroughTemporary(const std::string& diskPath, const Fill& fill,
                                    const AtomicWriteOptions& options) {
    if (diskPath.empty() || diskPath.back() == '/') return {"no file name in \"" + diskPath + "\""};
    const std::string target = FollowLink(diskPath);
    struct stat old;
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return {"not replacing " + target + ": not a regular file"};
    if (exists && !(old.st_mode & S_IWUSR)) return {"not replacing " + target + ": read-only"};

    std::string temp;
    int fd = CreateTemporary(temp, target, options);
    if (fd < 0)
        return {"creating a temporary file in " + FolderOf(target) + ": " + DescribeError(errno)};
    Steps steps;
    steps.run("writing", temp, [&] { return fill(fd, temp); });
    if (exists && fd >= 0 && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only root may give a file away; anyone else keeps the file as their own.
    }
    const mode_t mode =
        exists ? (old.st_mode & 07777) : options.newFileMode.value_or(NewFileMode());
    steps.run("setting the permissions of", temp, [&] { return ::fchmod(fd, mode) == 0; });
    if (options.flushToDisk) steps.run("flushing", temp, [&] { return ::fsync(fd) == 0; });
    if (fd >= 0) {
        const int closed = ::close(fd);
        steps.run("closing", temp, [&] { return closed == 0; });
    }
    steps.run("renaming the temporary file over", target,
              [&] { return ::rename(temp.c_str(), target.c_str()) == 0; });
    if (steps.failed()) {
        ::unlink(temp.c_str());
        return steps.result();
    }
    if (options.flushToDisk) SyncFolder(FolderOf(target));
    return {};
}

}  // namespace ld::files_detail
