// The atomic replacement on Windows: a temporary file beside the target, FlushFileBuffers,
// then MoveFileExW over the target with write-through. The new file takes over the old one's
// hidden, system and archive attributes, so replacing a file never shows a hidden one.
#include <windows.h>

#include <cerrno>

#include "services/atomic_write.h"
#include "services/disk.h"
#include "services/files_internal.h"
#include "services/os.h"
#include "services/win32/wide.h"

namespace ld::files_detail {

namespace {

using win32::Widen;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// ".ld-" and six random letters or digits, the name the start-up sweep knows.
std::string TemporaryName() {
    static const char kAlphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char random[6];
    os::RandomBytes(random, sizeof random);
    std::string name = ".ld-";
    for (unsigned char r : random) name += kAlphabet[r % 62];
    return name;
}

int CreateTemporary(std::string& temp, const std::string& target,
                    const AtomicWriteOptions& options) {
    const unsigned flags = disk::kWrite | disk::kCreate | disk::kExclusive;
    if (!options.temporaryPath.empty()) {
        temp = options.temporaryPath;
        return disk::Open(temp, flags);
    }
    const size_t slash = target.find_last_of("/\\");
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder + TemporaryName();
        const int fd = disk::Open(temp, flags);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Runs the steps of one write in order until one fails, and keeps what failed and why.
class Steps {
public:
    // `step` leaves its reason in errno when it fails.
    template <typename Step>
    bool run(const char* what, const std::string& path, Step&& step) {
        if (!result_.ok()) return false;
        errno = 0;
        if (!step())
            result_.error = std::string(what) + " " + path + ": " + disk::DescribeError(errno);
        return result_.ok();
    }
    // The same for a Windows call, which leaves its reason in GetLastError().
    template <typename Step>
    bool runSystem(const char* what, const std::string& path, Step&& step) {
        return run(what, path, [&] {
            if (step()) return true;
            errno = win32::ErrnoOf(::GetLastError());
            return false;
        });
    }
    bool failed() const { return !result_.ok(); }
    WriteResult result() const { return result_; }

private:
    WriteResult result_;
};

}  // namespace

WriteResult ReplaceThroughTemporary(const std::string& target, const Fill& fill,
                                    const AtomicWriteOptions& options) {
    if (target.empty() || target.back() == '/' || target.back() == '\\')
        return {"no file name in \"" + target + "\""};
    const DWORD old = ::GetFileAttributesW(Widen(target).c_str());
    const bool exists = old != INVALID_FILE_ATTRIBUTES;
    if (exists && (old & FILE_ATTRIBUTE_DIRECTORY))
        return {"not replacing " + target + ": not a regular file"};
    if (exists && (old & FILE_ATTRIBUTE_READONLY))
        return {"not replacing " + target + ": read-only"};

    std::string temp;
    int fd = CreateTemporary(temp, target, options);
    if (fd < 0)
        return {"creating a temporary file in " + FolderOf(target) + ": " +
                disk::DescribeError(errno)};
    Steps steps;
    steps.run("writing", temp, [&] { return fill(fd, temp); });
    if (options.flushToDisk) steps.run("flushing", temp, [&] { return disk::Flush(fd); });
    if (fd >= 0) {
        const bool closed = disk::Close(fd);
        steps.run("closing", temp, [&] { return closed; });
    }
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    if (exists && (old & kept)) {
        steps.runSystem("setting the attributes of", temp,
                        [&] { return ::SetFileAttributesW(Widen(temp).c_str(), old & kept); });
    }
    const DWORD how =
        MOVEFILE_REPLACE_EXISTING | (options.flushToDisk ? MOVEFILE_WRITE_THROUGH : 0);
    steps.runSystem("renaming the temporary file over", target,
                    [&] { return ::MoveFileExW(Widen(temp).c_str(), Widen(target).c_str(), how); });
    if (steps.failed()) {
        ::SetFileAttributesW(Widen(temp).c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(Widen(temp).c_str());
        return steps.result();
    }
    return {};
}

}  // namespace ld::files_detail
