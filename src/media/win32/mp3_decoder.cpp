// MP3 decoding through ACM with the system's MPEG Layer-3 codec. The codec gives PCM at the
// file's own rate and channel count; mono is spread to both channels and other rates are
// resampled here by linear interpolation, as the WAV renderer does.
#include "media/mp3_decoder.h"

// clang-format off
// windows.h and mmsystem.h first: the codec headers need their types (FOURCC).
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>
// clang-format on

#include <algorithm>
#include <string>
#include <vector>

#include "media/win32/mp3_frame.h"

namespace ld::media {

namespace {

constexpr size_t kChunkBytes = 4096;  // input handed to the codec at a time

// The start of the first frame whose successor also starts where it says (a lone sync word
// inside other data is no frame); npos when none yet.
size_t FindFirstFrame(std::string_view in, Mp3FrameHeader& header) {
    for (size_t i = 0; i + 4 <= in.size(); ++i) {
        if (!ParseMp3Frame(in.substr(i), header)) continue;
        Mp3FrameHeader next;
        const size_t after = i + header.frameBytes;
        if (after + 4 > in.size()) return std::string_view::npos;  // wait for more
        if (ParseMp3Frame(in.substr(after), next) && next.sampleRate == header.sampleRate) {
            return i;
        }
    }
    return std::string_view::npos;
}

// Encoders write a first frame without audio ("Xing" or "Info"), with LAME's count of the
// samples that the encoder added before and after the sound. libmpg123 leaves them out,
// and so does this decoder (the system's codec would play them as silence).
struct Gapless {
    bool infoFrame = false;
    uint64_t skip = 0;             // decoded frames to drop at the start
    uint64_t length = UINT64_MAX;  // decoded frames to keep after those
};

constexpr uint64_t kDecoderDelay = 529;  // what every layer III decoder adds, in samples

Gapless ReadInfoFrame(std::string_view frame, const Mp3FrameHeader& h) {
    Gapless g;
    const size_t sideInfo = h.mpeg1 ? (h.channels == 2 ? 32 : 17) : (h.channels == 2 ? 17 : 9);
    const size_t tag = 4 + sideInfo;
    if (frame.size() < tag + 8 || frame.size() < h.frameBytes) return g;
    const std::string_view id = frame.substr(tag, 4);
    if (id != "Xing" && id != "Info") return g;
    g.infoFrame = true;
    const auto byte = [&](size_t i) {
        return static_cast<uint32_t>(static_cast<uint8_t>(frame[i]));
    };
    const auto word = [&](size_t i) {
        return byte(i) << 24 | byte(i + 1) << 16 | byte(i + 2) << 8 | byte(i + 3);
    };
    const uint32_t flags = word(tag + 4);
    size_t at = tag + 8;
    uint64_t frames = 0;
    if (flags & 1) {
        frames = word(at);
        at += 4;
    }
    at += (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
    if (!(flags & 1) || at + 24 > h.frameBytes || frame.substr(at, 4) != "LAME") return g;
    const uint64_t delay = byte(at + 21) << 4 | byte(at + 22) >> 4;
    const uint64_t padding = (byte(at + 22) & 0xF) << 8 | byte(at + 23);
    const uint64_t total = frames * (h.mpeg1 ? 1152 : 576);
    if (total < delay + padding) return g;
    g.skip = delay + kDecoderDelay;
    g.length = total - delay - padding;
    return g;
}

}  // namespace

struct Mp3Decoder::State {
    std::string input;  // bytes not yet taken by the codec
    HACMSTREAM stream = nullptr;
    int channels = 0;
    std::vector<int16_t> pcm;  // decoded, at the file's rate, not yet resampled
    size_t pcmStart = 0;       // first frame of `pcm` still needed
    uint64_t position = 0;     // in source frames from pcmStart, 32.32 fixed point
    uint64_t step = 0;         // source frames per output frame, 32.32 fixed point
    Gapless gapless;
    uint64_t decodedFrames = 0;  // frames the codec gave so far

    ~State() {
        if (stream) acmStreamClose(stream, 0);
    }

    bool open();
    bool decodeMore();
    void keep(const int16_t* frames, size_t count);
    size_t resample(Sample* out, size_t frames);
};

bool Mp3Decoder::State::open() {
    Mp3FrameHeader h;
    const size_t first = FindFirstFrame(input, h);
    if (first == std::string::npos) {
        // Keep only what could still start a frame; junk never piles up.
        if (input.size() > 65536) input.erase(0, input.size() - 4096);
        return false;
    }
    input.erase(0, first);
    if (input.size() < h.frameBytes) return false;  // the whole first frame is needed
    gapless = ReadInfoFrame(input, h);
    if (gapless.infoFrame) {
        input.erase(0, h.frameBytes);
        Mp3FrameHeader next;
        if (ParseMp3Frame(input, next)) h = next;
    }
    MPEGLAYER3WAVEFORMAT mp3{};
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.wfx.nChannels = static_cast<WORD>(h.channels);
    mp3.wfx.nSamplesPerSec = static_cast<DWORD>(h.sampleRate);
    mp3.wfx.nAvgBytesPerSec = static_cast<DWORD>(h.bitrate / 8);
    mp3.wfx.nBlockAlign = 1;
    mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3.wID = MPEGLAYER3_ID_MPEG;
    mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    mp3.nBlockSize = static_cast<WORD>(h.frameBytes);
    mp3.nFramesPerBlock = 1;
    mp3.nCodecDelay = 1393;
    WAVEFORMATEX pcmFormat{};
    pcmFormat.wFormatTag = WAVE_FORMAT_PCM;
    pcmFormat.nChannels = static_cast<WORD>(h.channels);
    pcmFormat.nSamplesPerSec = static_cast<DWORD>(h.sampleRate);
    pcmFormat.wBitsPerSample = 16;
    pcmFormat.nBlockAlign = static_cast<WORD>(2 * h.channels);
    pcmFormat.nAvgBytesPerSec = pcmFormat.nSamplesPerSec * pcmFormat.nBlockAlign;
    if (acmStreamOpen(&stream, nullptr, &mp3.wfx, &pcmFormat, nullptr, 0, 0,
                      ACM_STREAMOPENF_NONREALTIME) != 0) {
        stream = nullptr;
        input.clear();
        return false;
    }
    channels = h.channels;
    step = (static_cast<uint64_t>(h.sampleRate) << 32) / kOutputRate;
    return true;
}

// Hands the codec the next chunk of input; false when nothing came out and nothing was used.
bool Mp3Decoder::State::decodeMore() {
    if (!stream && !open()) return false;
    if (input.empty()) return false;
    const DWORD srcBytes = static_cast<DWORD>(std::min(input.size(), kChunkBytes));
    DWORD dstBytes = 0;
    if (acmStreamSize(stream, srcBytes, &dstBytes, ACM_STREAMSIZEF_SOURCE) != 0 || dstBytes == 0) {
        dstBytes = 1152 * 2 * 2 * 16;
    }
    std::vector<BYTE> dst(dstBytes);
    ACMSTREAMHEADER header{};
    header.cbStruct = sizeof header;
    header.pbSrc = reinterpret_cast<BYTE*>(input.data());
    header.cbSrcLength = srcBytes;
    header.pbDst = dst.data();
    header.cbDstLength = dstBytes;
    if (acmStreamPrepareHeader(stream, &header, 0) != 0) return false;
    const bool converted = acmStreamConvert(stream, &header, ACM_STREAMCONVERTF_BLOCKALIGN) == 0;
    acmStreamUnprepareHeader(stream, &header, 0);
    if (!converted) {
        input.clear();  // the codec refused the data: nothing more comes of it
        return false;
    }
    input.erase(0, std::min<size_t>(header.cbSrcLengthUsed, input.size()));
    keep(reinterpret_cast<const int16_t*>(dst.data()), header.cbDstLengthUsed / 2 / channels);
    return header.cbSrcLengthUsed > 0 || header.cbDstLengthUsed > 0;
}

// Appends decoded frames, without those the encoder added around the sound.
void Mp3Decoder::State::keep(const int16_t* frames, size_t count) {
    const uint64_t from = decodedFrames, to = decodedFrames + count;
    decodedFrames = to;
    const uint64_t end = gapless.length == UINT64_MAX ? UINT64_MAX : gapless.skip + gapless.length;
    const uint64_t first = std::max(from, gapless.skip), last = std::min(to, end);
    if (first >= last) return;
    const auto n = static_cast<size_t>(channels);
    pcm.insert(pcm.end(), frames + (first - from) * n, frames + (last - from) * n);
}

size_t Mp3Decoder::State::resample(Sample* out, size_t frames) {
    const size_t available = pcm.size() / static_cast<size_t>(channels) - pcmStart;
    const auto sample = [&](size_t frame, int ch) -> int64_t {
        return pcm[(pcmStart + frame) * static_cast<size_t>(channels) +
                   static_cast<size_t>(channels == 2 ? ch : 0)];
    };
    size_t done = 0;
    // The frame after each one is needed to interpolate; it may still be in the codec.
    for (; done < frames; ++done) {
        const size_t index = static_cast<size_t>(position >> 32);
        if (index + 1 >= available) break;
        const int64_t fraction = static_cast<int64_t>(position & 0xFFFFFFFFu);
        for (int ch = 0; ch < kOutputChannels; ++ch) {
            const int64_t a = sample(index, ch), b = sample(index + 1, ch);
            out[done * kOutputChannels + ch] =
                static_cast<Sample>(a + (((b - a) * fraction) >> 32));
        }
        position += step;
    }
    // Drops the frames behind the position, keeping the buffer small.
    const size_t passed = static_cast<size_t>(position >> 32);
    pcmStart += passed;
    position -= static_cast<uint64_t>(passed) << 32;
    if (pcmStart > 65536) {
        pcm.erase(pcm.begin(), pcm.begin() + static_cast<std::ptrdiff_t>(pcmStart * channels));
        pcmStart = 0;
    }
    return done;
}

Mp3Decoder::Mp3Decoder() : state_(new State) {}

Mp3Decoder::~Mp3Decoder() { delete state_; }

bool Mp3Decoder::feed(const char* data, size_t size) {
    state_->input.append(data, size);
    return true;
}

size_t Mp3Decoder::read(Sample* out, size_t frames) {
    size_t filled = 0;
    for (;;) {
        if (state_->channels > 0) {
            filled += state_->resample(out + filled * kOutputChannels, frames - filled);
        }
        if (filled == frames || !state_->decodeMore()) return filled;
    }
}

}  // namespace ld::media
