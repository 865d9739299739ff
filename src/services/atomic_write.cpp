#include "services/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "services/files_internal.h"

namespace ld {

namespace files_detail {

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

}  // namespace

mode_t NewFileMode() {
    static const mode_t mask = ReadUmask();  // nothing in the program changes it later
    return 0666 & ~mask;
}

std::string DescribeError(int error) {
    if (error == 0) return "failed";
    const char* name = ::strerrorname_np(error);
    const char* text = ::strerrordesc_np(error);  // English whatever the locale
    return std::string(text ? text : "error") + " (" + (name ? name : std::to_string(error)) + ")";
}

}  // namespace files_detail

using namespace files_detail;

namespace {

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

// `fill` gets the open descriptor, which it may close and reopen (set to -1 when it failed).
using Fill = std::function<bool(int& fd, const std::string& tempPath)>;

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

WriteResult Replace(const std::string& diskPath, const Fill& fill,
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

}  // namespace

WriteResult ReplaceDiskFile(const std::string& diskPath, const std::function<bool(int fd)>& fill,
                            const AtomicWriteOptions& options) {
    return Replace(
        diskPath, [&](int& fd, const std::string&) { return fill(fd); }, options);
}

WriteResult ReplaceDiskFileByName(const std::string& diskPath,
                                  const std::function<bool(const std::string& tempPath)>& fill,
                                  const AtomicWriteOptions& options) {
    return Replace(
        diskPath,
        [&](int& fd, const std::string& tempPath) {
            ::close(fd);  // the writer opens the file itself
            fd = -1;
            if (!fill(tempPath)) return false;
            fd = ::open(tempPath.c_str(), O_RDONLY | O_CLOEXEC);  // to set its mode and flush
            return fd >= 0;
        },
        options);
}

WriteResult WriteDiskFile(const std::string& diskPath, std::string_view data,
                          const AtomicWriteOptions& options) {
    return ReplaceDiskFile(
        diskPath, [data](int fd) { return WriteAll(fd, data); }, options);
}

}  // namespace ld
