// Opening and reading an MP3 file with the wide Windows API. The handle is kept as a C
// runtime descriptor, so the class is the same on both platforms.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <utility>

#include "media/mp3_file.h"
#include "services/win32/wide.h"

namespace ld::media {

namespace {

int Mp3OpenErrorFromWindows(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            return mp3_error::kNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return mp3_error::kAccessDenied;
        case ERROR_INVALID_NAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_PARAMETER:
            return mp3_error::kInvalidArgument;
        case ERROR_TOO_MANY_OPEN_FILES:
            return mp3_error::kTooManyOpenFiles;
        default:
            return mp3_error::kOther;
    }
}

// A folder or file name longer than any file system allows.
bool HasOverlongName(std::wstring_view path) {
    size_t run = 0;
    for (wchar_t c : path) {
        run = (c == L'\\' || c == L'/') ? 0 : run + 1;
        if (run > 255) return true;
    }
    return false;
}

HANDLE HandleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// Reads at `offset` without moving the file position, as pread does.
ssize_t ReadAtOffset(int fd, char* buffer, size_t size, uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
    if (!ReadFile(HandleOf(fd), buffer, want, &got, &at)) {
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    }
    return static_cast<ssize_t>(got);
}

}  // namespace

Mp3File Mp3File::open(const std::string& path) {
    Mp3File file;
    if (path.empty()) {
        file.error_ = mp3_error::kNotFound;
        return file;
    }
    const std::wstring wide = win32::Widen(path);
    if (HasOverlongName(wide)) {
        file.error_ = mp3_error::kInvalidArgument;  // as ENAMETOOLONG on Linux
        return file;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        file.error_ = mp3_error::kAccessDenied;  // a folder cannot be opened as a file
        return file;
    }
    const HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        file.error_ = Mp3OpenErrorFromWindows(GetLastError());
        return file;
    }
    LARGE_INTEGER size{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size)) {
        CloseHandle(h);
        file.error_ = mp3_error::kInvalidArgument;  // a device or pipe is no MP3 file
        return file;
    }
    file.fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (file.fd_ < 0) {
        CloseHandle(h);
        file.error_ = mp3_error::kTooManyOpenFiles;
        return file;
    }
    const int fd = file.fd_;
    file.range_ =
        FindAudioRange(static_cast<uint64_t>(size.QuadPart), [fd](uint64_t offset, size_t count) {
            std::string bytes(count, '\0');
            const ssize_t n = ReadAtOffset(fd, bytes.data(), count, offset);
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
    if (fd_ >= 0) _close(fd_);
}

ssize_t Mp3File::read(char* buffer, size_t size) {
    if (error_ != mp3_error::kNone) return -1;
    const uint64_t left = range_.end - position_;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(size, left));
    if (want == 0) return 0;
    const ssize_t n = ReadAtOffset(fd_, buffer, want, position_);
    if (n > 0) position_ += static_cast<uint64_t>(n);
    return n;
}

}  // namespace ld::media
