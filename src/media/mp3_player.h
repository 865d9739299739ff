// The MP3 player: plays a list of files one after another, the whole list `playCount`
// times (0: forever), decoding on a thread of its own into a stream that the mixer plays.
// Destroying the player stops it. Used from the user-interface thread only.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/sound_stream.h"
#include "media/sound_worker.h"

namespace ld::media {

class Mp3Player {
public:
    // `files` are file-system paths.
    Mp3Player(std::vector<std::string> files, int playCount);
    ~Mp3Player();
    Mp3Player(const Mp3Player&) = delete;
    Mp3Player& operator=(const Mp3Player&) = delete;

    // Starts playing at the list's `index`-th file. A player starts once; false when it
    // already started or the index is outside the list.
    bool start(size_t index = 0);

    const std::shared_ptr<SoundStream>& stream() const { return stream_; }
    // The result of the latest file open (mp3_error), 0 before any.
    int lastOpenError() const { return lastOpenError_.load(); }
    // Started, and every frame it will ever produce has been played.
    bool finished() const { return worker_ && stream_->drained(); }

private:
    void produce(SoundStream& out, size_t first);
    // False when the stream was cancelled; `frames` counts what the file delivered.
    bool playFile(const std::string& path, SoundStream& out, uint64_t& frames);

    const std::vector<std::string> files_;
    const int playCount_;
    std::shared_ptr<SoundStream> stream_;
    std::atomic<int> lastOpenError_{0};
    std::unique_ptr<SoundWorker> worker_;  // last: stops before anything it reads goes away
};

}  // namespace ld::media
