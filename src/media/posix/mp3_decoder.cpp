#include "media/mp3_decoder.h"

#include <mpg123.h>

#include <mutex>

namespace ld::media {

struct Mp3Decoder::State {
    mpg123_handle* handle;
};

namespace {

bool InitLibrary() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = mpg123_init() == MPG123_OK; });
    return ok;
}

// One output format only: libmpg123 resamples and spreads mono to both channels itself.
bool ConfigureOutput(mpg123_handle* mh) {
    long flags = 0;
    double unused = 0;
    mpg123_getparam(mh, MPG123_FLAGS, &flags, &unused);
    return mpg123_param(mh, MPG123_FLAGS, flags | MPG123_QUIET | MPG123_FORCE_STEREO, 0) ==
               MPG123_OK &&
           mpg123_format_none(mh) == MPG123_OK &&
           mpg123_format(mh, kOutputRate, MPG123_STEREO, MPG123_ENC_SIGNED_16) == MPG123_OK;
}

}  // namespace

Mp3Decoder::Mp3Decoder() {
    if (!InitLibrary()) return;
    int error = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &error);
    if (!mh) return;
    if (!ConfigureOutput(mh) || mpg123_open_feed(mh) != MPG123_OK) {
        mpg123_delete(mh);
        return;
    }
    state_ = new State{mh};
}

Mp3Decoder::~Mp3Decoder() {
    if (!state_) return;
    mpg123_delete(state_->handle);
    delete state_;
}

bool Mp3Decoder::feed(const char* data, size_t size) {
    if (!state_) return false;
    return mpg123_feed(state_->handle, reinterpret_cast<const unsigned char*>(data), size) ==
           MPG123_OK;
}

size_t Mp3Decoder::read(Sample* out, size_t frames) {
    if (!state_) return 0;
    constexpr size_t kFrameBytes = kOutputChannels * sizeof(Sample);
    auto* buffer = reinterpret_cast<unsigned char*>(out);
    size_t filled = 0;
    while (filled < frames * kFrameBytes) {
        size_t done = 0;
        const int result =
            mpg123_read(state_->handle, buffer + filled, frames * kFrameBytes - filled, &done);
        filled += done;
        if (result == MPG123_NEW_FORMAT || (result == MPG123_OK && done > 0)) continue;
        break;  // needs more input, or an error that more input may get past
    }
    return filled / kFrameBytes;
}

}  // namespace ld::media
