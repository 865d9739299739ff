// Opening an MP3 file for playback: the open errors as the player reports them, and the
// byte range that holds the audio frames. Every ID3v2 tag at the start (any version, with
// extended header or footer) and a trailing 128-byte "TAG" block lie outside the range,
// so tag bytes (often a whole cover picture) never reach the decoder as audio.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ld::media {

// Open errors; 0 means the file opened.
namespace mp3_error {
constexpr int kNone = 0;
constexpr int kOther = 1;
constexpr int kAccessDenied = 9;
constexpr int kInvalidArgument = 11;
constexpr int kNotFound = 12;
constexpr int kTooManyOpenFiles = 13;
}  // namespace mp3_error

// POSIX errno values to those errors (the Windows build maps its own error codes).
int Mp3OpenErrorFromErrno(int err);

struct AudioRange {
    uint64_t begin = 0;
    uint64_t end = 0;  // exclusive
};

// Whole size of the ID3v2 tag that starts `header` (its first 10 bytes or more): header,
// extended header, frames, padding and footer. 0 when `header` starts no valid tag.
uint64_t Id3v2TagSize(std::string_view header);

// Up to `count` bytes at `offset` of a file `length` bytes long; fewer near its end.
using ReadAt = std::function<std::string(uint64_t offset, size_t count)>;
AudioRange FindAudioRange(uint64_t length, const ReadAt& readAt);

class Mp3File {
public:
    static Mp3File open(const std::string& path);
    Mp3File(Mp3File&& other) noexcept;
    Mp3File& operator=(Mp3File&&) = delete;
    ~Mp3File();

    int error() const { return error_; }
    const AudioRange& range() const { return range_; }
    // The next bytes of the audio range: 0 at its end, -1 when reading failed.
    ssize_t read(char* buffer, size_t size);

private:
    Mp3File() = default;

    int fd_ = -1;
    int error_ = mp3_error::kNone;
    AudioRange range_;
    uint64_t position_ = 0;
};

}  // namespace ld::media
