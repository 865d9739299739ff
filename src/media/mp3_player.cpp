#include "media/mp3_player.h"

#include <utility>

#include "media/mp3_decoder.h"
#include "media/mp3_file.h"

namespace ld::media {

namespace {

constexpr size_t kInputBytes = 16384;
constexpr size_t kOutputFrames = 4096;

// Moves every frame the decoder has ready into the stream; false when cancelled.
bool Drain(Mp3Decoder& decoder, std::vector<Sample>& pcm, SoundStream& out, uint64_t& frames) {
    while (const size_t got = decoder.read(pcm.data(), kOutputFrames)) {
        if (!out.write(pcm.data(), got)) return false;
        frames += got;
    }
    return true;
}

}  // namespace

Mp3Player::Mp3Player(std::vector<std::string> files, int playCount)
    : files_(std::move(files)),
      playCount_(playCount < 0 ? 0 : playCount),
      stream_(std::make_shared<SoundStream>()) {}

Mp3Player::~Mp3Player() { worker_.reset(); }

bool Mp3Player::start(size_t index) {
    if (worker_ || index >= files_.size()) return false;
    worker_ = std::make_unique<SoundWorker>(
        stream_, [this, index](SoundStream& out) { produce(out, index); });
    return true;
}

void Mp3Player::produce(SoundStream& out, size_t first) {
    for (int pass = 0; playCount_ == 0 || pass < playCount_; ++pass) {
        uint64_t frames = 0;
        for (size_t i = pass == 0 ? first : 0; i < files_.size(); ++i) {
            if (!playFile(files_[i], out, frames)) return;
        }
        // A list in which nothing plays would otherwise spin forever on "forever".
        if (frames == 0) return;
    }
}

bool Mp3Player::playFile(const std::string& path, SoundStream& out, uint64_t& frames) {
    Mp3File file = Mp3File::open(path);
    lastOpenError_ = file.error();
    if (file.error() != mp3_error::kNone) return true;  // skipped; the list goes on
    Mp3Decoder decoder;
    std::vector<char> input(kInputBytes);
    std::vector<Sample> pcm(kOutputFrames * kOutputChannels);
    for (;;) {
        const ssize_t n = file.read(input.data(), input.size());
        if (n <= 0) break;
        decoder.feed(input.data(), static_cast<size_t>(n));
        if (!Drain(decoder, pcm, out, frames)) return false;
    }
    return !out.cancelled();
}

}  // namespace ld::media
