#include "media/sound_stream.h"

#include <algorithm>
#include <cstring>

namespace ld::media {

SoundStream::SoundStream(size_t capacityFrames)
    : ring_(std::max<size_t>(capacityFrames, 1) * kOutputChannels),
      capacity_(std::max<size_t>(capacityFrames, 1)) {}

bool SoundStream::write(const Sample* frames, size_t count) {
    std::unique_lock lock(mutex_);
    while (count > 0) {
        spaceOrCancel_.wait(lock, [&] { return cancelled_ || size_ < capacity_; });
        if (cancelled_) return false;
        const size_t tail = (head_ + size_) % capacity_;
        const size_t n = std::min({count, capacity_ - size_, capacity_ - tail});
        std::memcpy(&ring_[tail * kOutputChannels], frames, n * kOutputChannels * sizeof(Sample));
        size_ += n;
        frames += n * kOutputChannels;
        count -= n;
        dataOrEnd_.notify_all();
    }
    return !cancelled_;
}

void SoundStream::finish() {
    std::lock_guard lock(mutex_);
    finished_ = true;
    dataOrEnd_.notify_all();
}

size_t SoundStream::takeLocked(Sample* out, size_t maxFrames) {
    size_t taken = 0;
    while (taken < maxFrames && size_ > 0) {
        const size_t n = std::min({maxFrames - taken, size_, capacity_ - head_});
        std::memcpy(out + taken * kOutputChannels, &ring_[head_ * kOutputChannels],
                    n * kOutputChannels * sizeof(Sample));
        head_ = (head_ + n) % capacity_;
        size_ -= n;
        taken += n;
    }
    if (taken > 0) spaceOrCancel_.notify_all();
    return taken;
}

size_t SoundStream::read(Sample* out, size_t maxFrames) {
    std::lock_guard lock(mutex_);
    return takeLocked(out, maxFrames);
}

size_t SoundStream::readWaiting(Sample* out, size_t frames) {
    std::unique_lock lock(mutex_);
    size_t got = 0;
    while (got < frames) {
        dataOrEnd_.wait(lock, [&] { return size_ > 0 || finished_ || cancelled_; });
        const size_t n = takeLocked(out + got * kOutputChannels, frames - got);
        got += n;
        if (n == 0) break;  // ended and empty
    }
    return got;
}

bool SoundStream::drained() const {
    std::lock_guard lock(mutex_);
    return (finished_ || cancelled_) && size_ == 0;
}

void SoundStream::cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    size_ = 0;
    spaceOrCancel_.notify_all();
    dataOrEnd_.notify_all();
}

bool SoundStream::cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

}  // namespace ld::media
