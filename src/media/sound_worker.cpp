#include "media/sound_worker.h"

#include <utility>

namespace ld::media {

SoundWorker::SoundWorker(std::shared_ptr<SoundStream> stream, Producer produce)
    : stream_(std::move(stream)) {
    thread_ = std::thread([stream = stream_, produce = std::move(produce)] {
        try {
            produce(*stream);
        } catch (...) {
            // A decoder that failed (out of memory, say) ends its sound, not the program.
        }
        stream->finish();
    });
}

SoundWorker::~SoundWorker() {
    stream_->cancel();
    if (thread_.joinable()) thread_.join();
}

}  // namespace ld::media
