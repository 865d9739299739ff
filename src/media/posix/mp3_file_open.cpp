// Opening and reading an MP3 file with POSIX calls.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "media/mp3_file.h"

namespace ld::media {

int Mp3OpenErrorFromErrno(int err) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return mp3_error::kNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
            return mp3_error::kAccessDenied;
        case EINVAL:
        case ENAMETOOLONG:
        case ELOOP:
            return mp3_error::kInvalidArgument;
        case EMFILE:
        case ENFILE:
            return mp3_error::kTooManyOpenFiles;
        default:
            return mp3_error::kOther;
    }
}

Mp3File Mp3File::open(const std::string& path) {
    Mp3File file;
    file.fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.fd_ < 0) {
        file.error_ = Mp3OpenErrorFromErrno(errno);
        return file;
    }
    struct stat info {};
    if (fstat(file.fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        // A folder cannot be opened as a file; a device or pipe is no MP3 file.
        file.error_ =
            S_ISDIR(info.st_mode) ? mp3_error::kAccessDenied : mp3_error::kInvalidArgument;
        return file;
    }
    const int fd = file.fd_;
    file.range_ =
        FindAudioRange(static_cast<uint64_t>(info.st_size), [fd](uint64_t offset, size_t count) {
            std::string bytes(count, '\0');
            const ssize_t n = pread(fd, bytes.data(), count, static_cast<off_t>(offset));
            bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
            return bytes;
        });
    file.position_ = file.range_.begin;
    return file;
}

Mp3File::Mp3File(Mp3File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      error_(other.error_),
      range_(other.range_),
      position_(other.position_) {}

Mp3File::~Mp3File() {
    if (fd_ >= 0) ::close(fd_);
}

ssize_t Mp3File::read(char* buffer, size_t size) {
    if (error_ != mp3_error::kNone) return -1;
    const uint64_t left = range_.end - position_;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(size, left));
    if (want == 0) return 0;
    ssize_t n;
    do {
        n = pread(fd_, buffer, want, static_cast<off_t>(position_));
    } while (n < 0 && errno == EINTR);
    if (n > 0) position_ += static_cast<uint64_t>(n);
    return n;
}

}  // namespace ld::media
