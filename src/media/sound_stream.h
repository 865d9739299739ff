// A bounded queue of output frames between one producer (a decoding thread) and the
// mixer. The producer blocks while the queue is full; the mixer's read never blocks (the
// device plays silence when a producer falls behind). Cancelling wakes a blocked producer
// at once, which is what keeps stopping from ever hanging.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

#include "media/sound_format.h"

namespace ld::media {

class SoundStream {
public:
    static constexpr size_t kDefaultCapacityFrames = 16384;  // about 0.37 s

    explicit SoundStream(size_t capacityFrames = kDefaultCapacityFrames);
    SoundStream(const SoundStream&) = delete;
    SoundStream& operator=(const SoundStream&) = delete;

    // Producer side. Blocks while the queue is full; false once the stream is cancelled.
    bool write(const Sample* frames, size_t count);
    // No more frames will come.
    void finish();

    // Consumer side: up to `maxFrames` frames that are ready now.
    size_t read(Sample* out, size_t maxFrames);
    // Waits until `frames` frames came or the stream ended; for offline rendering.
    size_t readWaiting(Sample* out, size_t frames);
    // Ended (finished or cancelled) and nothing left to read.
    bool drained() const;

    // Either side: ends the stream and drops what is queued.
    void cancel();
    bool cancelled() const;

private:
    size_t takeLocked(Sample* out, size_t maxFrames);

    mutable std::mutex mutex_;
    std::condition_variable spaceOrCancel_;  // the producer waits on it
    std::condition_variable dataOrEnd_;      // readWaiting waits on it
    std::vector<Sample> ring_;
    size_t capacity_;  // frames
    size_t head_ = 0;  // first queued frame
    size_t size_ = 0;  // queued frames
    bool finished_ = false;
    bool cancelled_ = false;
};

}  // namespace ld::media
