#include "export/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ld::exporting {
namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// mkostemp makes the file private (0600); an export is an ordinary file to share.
bool FlushWithUsualMode(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, NewFileMode()) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // makes the rename durable; nothing more to do when it fails
    ::close(fd);
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t done = ::write(fd, data.data(), data.size());
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        data.remove_prefix(static_cast<size_t>(done));
    }
    return true;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& fsPath,
                           const std::function<bool(const std::string& tempPath)>& write) {
    if (fsPath.empty() || fsPath.back() == '/') return false;
    const std::string folder = FolderOf(fsPath);
    // The name the program's other atomic writes use, so start-up tidying knows it.
    std::string temp = folder + "/.ld-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    const bool ok =
        write(temp) && FlushWithUsualMode(temp) && ::rename(temp.c_str(), fsPath.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

bool WriteFileAtomically(const std::string& fsPath, std::string_view data) {
    return ReplaceFileAtomically(fsPath, [data](const std::string& tempPath) {
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0) return false;
        const bool ok = WriteAll(fd, data);
        return ::close(fd) == 0 && ok;
    });
}

}  // namespace ld::exporting
