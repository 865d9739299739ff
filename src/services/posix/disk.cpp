// The file calls of disk.h on Linux.
#include "services/disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ld::disk {

namespace {

Info InfoOf(const struct stat& s) {
    return {S_ISDIR(s.st_mode), S_ISREG(s.st_mode), !(s.st_mode & S_IWUSR)};
}

int OpenMode(unsigned flags) {
    int mode = (flags & kRead) && (flags & kWrite) ? O_RDWR
               : (flags & kWrite)                  ? O_WRONLY
                                                   : O_RDONLY;
    if (flags & kCreate) mode |= O_CREAT;
    if (flags & kTruncate) mode |= O_TRUNC;
    if (flags & kAppend) mode |= O_APPEND;
    if (flags & kRegularOnly) mode |= O_NONBLOCK;
    if (flags & kExclusive) mode |= O_EXCL;
    return mode | O_CLOEXEC;
}

}  // namespace

std::optional<Info> Examine(const std::string& path) {
    struct stat s;
    if (path.empty() || ::stat(path.c_str(), &s) != 0) return std::nullopt;
    return InfoOf(s);
}

bool Exists(const std::string& path) {
    struct stat s;
    return !path.empty() && ::lstat(path.c_str(), &s) == 0;
}

int Open(const std::string& path, unsigned flags) {
    const int fd = ::open(path.c_str(), OpenMode(flags), 0666);
    if (fd < 0 || !(flags & kRegularOnly)) return fd;
    struct stat s;
    if (::fstat(fd, &s) != 0 || !S_ISREG(s.st_mode)) {
        ::close(fd);
        errno = EISDIR;  // any kind of non-file will do for the callers
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool Close(int fd) { return ::close(fd) == 0; }

int64_t Read(int fd, char* buffer, size_t size, int64_t offset) {
    for (;;) {
        const ssize_t got =
            offset < 0 ? ::read(fd, buffer, size) : ::pread(fd, buffer, size, offset);
        if (got < 0 && errno == EINTR) continue;
        return got;
    }
}

int64_t Write(int fd, const char* data, size_t size, int64_t offset) {
    for (;;) {
        const ssize_t put = offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, offset);
        if (put < 0 && errno == EINTR) continue;
        return put;
    }
}

int64_t Seek(int fd, int64_t offset, int whence) { return ::lseek(fd, offset, whence); }

int64_t Size(int fd) {
    struct stat s;
    return ::fstat(fd, &s) == 0 ? static_cast<int64_t>(s.st_size) : -1;
}

bool Truncate(int fd, int64_t length) { return ::ftruncate(fd, length) == 0; }
bool Flush(int fd) { return ::fsync(fd) == 0; }

std::optional<unsigned> Permissions(int fd) {
    struct stat s;
    if (::fstat(fd, &s) != 0) return std::nullopt;
    return s.st_mode & 0777;
}

bool MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool RemoveFile(const std::string& path) {
    struct stat s;
    if (::lstat(path.c_str(), &s) != 0 || S_ISDIR(s.st_mode)) return false;
    return ::unlink(path.c_str()) == 0;
}

MoveResult MoveNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return MoveResult::Moved;
    if (errno == EINVAL || errno == ENOSYS) {  // file system without no-replace renames
        return ::rename(from.c_str(), to.c_str()) == 0 ? MoveResult::Moved : MoveResult::Failed;
    }
    return errno == EXDEV ? MoveResult::OtherDevice : MoveResult::Failed;
}

bool SetAttributes(const std::string& path, int attributes) {
    struct stat s;
    if (path.empty() || ::stat(path.c_str(), &s) != 0) return false;
    mode_t mode = s.st_mode & 07777;
    // Only read-only has a counterpart here; hidden, system and archive are accepted as is.
    mode = (attributes & 0x27 & 1) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
    return ::chmod(path.c_str(), mode) == 0;
}

struct FolderReader::State {
    DIR* dir = nullptr;
    std::string folder;
    dirent* entry = nullptr;
    std::string path() const { return folder + "/" + entry->d_name; }
};

FolderReader::FolderReader(const std::string& folder) : state_(std::make_unique<State>()) {
    state_->folder = folder;
    state_->dir = ::opendir(folder.c_str());
}

FolderReader::~FolderReader() {
    if (state_->dir) ::closedir(state_->dir);
}

bool FolderReader::isOpen() const { return state_->dir != nullptr; }

const char* FolderReader::next() {
    if (!state_->dir) return nullptr;
    while ((state_->entry = ::readdir(state_->dir))) {
        const char* name = state_->entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        return name;
    }
    return nullptr;
}

std::optional<Info> FolderReader::info() { return Examine(state_->path()); }

bool FolderReader::isDirectory() {
    // The entry's type saves a stat for plain files and folders.
    const unsigned char type = state_->entry->d_type;
    if (type == DT_DIR) return true;
    if (type != DT_UNKNOWN && type != DT_LNK) return false;
    const auto found = info();
    return found && found->directory;
}

bool FolderReader::isPlainFile() {
    struct stat s;
    return ::lstat(state_->path().c_str(), &s) == 0 && S_ISREG(s.st_mode);
}

std::optional<int64_t> FolderReader::modified() {
    struct stat s;
    if (::lstat(state_->path().c_str(), &s) != 0) return std::nullopt;
    return static_cast<int64_t>(s.st_mtime);
}

std::string DescribeError(int error) {
    if (error == 0) return "failed";
    const char* name = ::strerrorname_np(error);
    const char* text = ::strerrordesc_np(error);  // English whatever the locale
    return std::string(text ? text : "error") + " (" + (name ? name : std::to_string(error)) + ")";
}

}  // namespace ld::disk
