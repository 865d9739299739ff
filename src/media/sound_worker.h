// One decoding thread that fills a stream. Destroying the worker cancels the stream and
// joins the thread: a producer blocked on a full stream returns at once, a busy one at
// its next write, so stopping never waits for a sound to play out.
#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "media/sound_stream.h"

namespace ld::media {

class SoundWorker {
public:
    // `produce` writes frames until it is done or a write reports the stream cancelled.
    using Producer = std::function<void(SoundStream&)>;

    SoundWorker(std::shared_ptr<SoundStream> stream, Producer produce);
    ~SoundWorker();
    SoundWorker(const SoundWorker&) = delete;
    SoundWorker& operator=(const SoundWorker&) = delete;

    const std::shared_ptr<SoundStream>& stream() const { return stream_; }

private:
    std::shared_ptr<SoundStream> stream_;
    std::thread thread_;
};

}  // namespace ld::media
