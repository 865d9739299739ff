#include "media/win32/sound_waveout.h"

#include <utility>

namespace ld::media {

namespace {

constexpr size_t kBufferFrames = 1024;  // about 23 ms each
constexpr int kBuffers = 4;

}  // namespace

WaveOutSoundOutput::WaveOutSoundOutput(SoundOptions options, UINT device)
    : engine_(std::move(options)), deviceNumber_(device) {}

WaveOutSoundOutput::~WaveOutSoundOutput() { closeDevice(); }

void WaveOutSoundOutput::openDevice() {
    if (triedDevice_) return;
    triedDevice_ = true;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kOutputChannels;
    format.nSamplesPerSec = kOutputRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = kOutputChannels * sizeof(Sample);
    format.nAvgBytesPerSec = kOutputRate * format.nBlockAlign;
    ready_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!ready_) return;
    if (waveOutOpen(&device_, deviceNumber_, &format, reinterpret_cast<DWORD_PTR>(ready_), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        device_ = nullptr;
        return;
    }
    buffers_.resize(kBuffers);
    for (Buffer& b : buffers_) {
        b.frames.assign(kBufferFrames * kOutputChannels, 0);
        b.header.lpData = reinterpret_cast<LPSTR>(b.frames.data());
        b.header.dwBufferLength = static_cast<DWORD>(b.frames.size() * sizeof(Sample));
        waveOutPrepareHeader(device_, &b.header, sizeof b.header);
        b.header.dwFlags |= WHDR_DONE;  // free to fill
    }
    feeder_ = std::thread([this] { feed(); });
}

// Refills every buffer the device has played, until the output closes.
void WaveOutSoundOutput::feed() {
    while (!stopping_) {
        for (Buffer& b : buffers_) {
            if (!(b.header.dwFlags & WHDR_DONE)) continue;
            engine_.mixer().render(b.frames.data(), kBufferFrames);
            b.header.dwFlags &= ~WHDR_DONE;
            if (waveOutWrite(device_, &b.header, sizeof b.header) != MMSYSERR_NOERROR) {
                b.header.dwFlags |= WHDR_DONE;  // a lost device: try again later
            }
        }
        WaitForSingleObject(ready_, 100);
    }
}

void WaveOutSoundOutput::closeDevice() {
    if (device_) {
        stopping_ = true;
        SetEvent(ready_);
        feeder_.join();
        waveOutReset(device_);  // returns the queued buffers
        for (Buffer& b : buffers_) waveOutUnprepareHeader(device_, &b.header, sizeof b.header);
        waveOutClose(device_);
        device_ = nullptr;
    }
    if (ready_) CloseHandle(ready_);
    ready_ = nullptr;
}

bool WaveOutSoundOutput::playSound(const Bytes& data, bool loop) {
    openDevice();
    return engine_.playSound(data, loop);
}

void WaveOutSoundOutput::stopSound() { engine_.stopSound(); }

void WaveOutSoundOutput::playMusic(int count, const std::vector<Text>& files) {
    openDevice();
    engine_.playMusic(count, files);
}

}  // namespace ld::media
