// The program's sound output on Windows: the sound engine played through waveOut, fed from
// a thread of its own. The device is opened at the first sound. Without a usable device
// every call still succeeds and plays into silence: no error, no hang.
#pragma once

// clang-format off
#include <windows.h>
#include <mmsystem.h>  // needs windows.h first
// clang-format on

#include <atomic>
#include <thread>
#include <vector>

#include "media/sound_engine.h"

namespace ld::media {

class WaveOutSoundOutput final : public SoundOutput {
public:
    // `device` is a waveOut device number; WAVE_MAPPER lets the system choose.
    explicit WaveOutSoundOutput(SoundOptions options = {}, UINT device = WAVE_MAPPER);
    ~WaveOutSoundOutput() override;
    WaveOutSoundOutput(const WaveOutSoundOutput&) = delete;
    WaveOutSoundOutput& operator=(const WaveOutSoundOutput&) = delete;

    bool playSound(const Bytes& data, bool loop) override;
    void stopSound() override;
    void playMusic(int count, const std::vector<Text>& files) override;

    // A device is open (false before the first sound and when none could be opened).
    bool hasDevice() const { return device_ != nullptr; }
    // Something is still playing.
    bool active() const { return engine_.active(); }
    const SoundEngine& engine() const { return engine_; }

private:
    struct Buffer {
        WAVEHDR header{};
        std::vector<Sample> frames;
    };

    void openDevice();
    void feed();
    void closeDevice();

    SoundEngine engine_;  // outlives the device, whose thread reads its mixer
    UINT deviceNumber_;
    HWAVEOUT device_ = nullptr;
    HANDLE ready_ = nullptr;  // signalled by waveOut when a buffer has played
    std::vector<Buffer> buffers_;
    std::atomic<bool> stopping_{false};
    std::thread feeder_;
    bool triedDevice_ = false;
};

}  // namespace ld::media
