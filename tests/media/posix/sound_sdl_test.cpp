// The sound output on a real SDL audio device: the "disk" driver writes what the device
// plays to a file, "dummy" discards it, and an unknown driver stands for no device at all.
#include "media/sound_sdl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "media/midi_renderer.h"
#include "media/sound_fixtures.h"

namespace ld::media {
namespace {

using namespace fixtures;

void UseDriver(const char* driver, const std::string& file = {}) {
    setenv("SDL_AUDIODRIVER", driver, 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
}

void WaitUntilQuiet(const SdlSoundOutput& out) {
    while (out.active()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

// What the device wrote: 16-bit stereo frames at the output rate.
std::vector<Sample> Played(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<Sample> pcm(bytes.size() / sizeof(Sample));
    std::memcpy(pcm.data(), bytes.data(), pcm.size() * sizeof(Sample));
    return pcm;
}

TEST(SdlSoundOutput, TheDiskDriverReceivesTheWinnerSound) {
    TempDir dir;
    UseDriver("disk", dir.file("out.raw"));
    const int frames = kOutputRate / 4;
    {
        SdlSoundOutput out;
        ASSERT_TRUE(out.playSound(Wav16(22050, 1, Tone(frames / 2, 1, 22050, 440, 12000)), false));
        ASSERT_TRUE(out.hasDevice());
        WaitUntilQuiet(out);
    }
    const auto pcm = Played(dir.file("out.raw"));
    // A tone is loud but for its zero crossings.
    EXPECT_NEAR(static_cast<double>(LoudFrames(pcm)), frames, frames * 0.1);
}

TEST(SdlSoundOutput, TheDiskDriverReceivesMidi) {
    if (FindSoundFont(DefaultSoundFonts()).empty()) GTEST_SKIP() << "no General MIDI sound font";
    TempDir dir;
    UseDriver("disk", dir.file("out.raw"));
    {
        SdlSoundOutput out;
        ASSERT_TRUE(out.playSound(MidiNote(300), false));
        WaitUntilQuiet(out);
    }
    EXPECT_GT(LoudFrames(Played(dir.file("out.raw"))), static_cast<size_t>(kOutputRate / 10));
}

TEST(SdlSoundOutput, WithoutADeviceEverythingPlaysIntoSilence) {
    TempDir dir;
    UseDriver("no-such-driver");
    SdlSoundOutput out;
    EXPECT_TRUE(out.playSound(Wav16(kOutputRate, 2, Tone(kOutputRate * 10, 2, kOutputRate)), true));
    EXPECT_FALSE(out.hasDevice());
    out.playMusic(-1, {dir.file("missing.mp3")});
    out.stopSound();
    EXPECT_TRUE(out.playSound(MidiNote(), false));
}  // destroyed with a sound still going: must not hang

TEST(SdlSoundOutput, StoppingEndlessSoundsOnALiveDeviceReturns) {
    UseDriver("dummy");
    SdlSoundOutput out;
    ASSERT_TRUE(out.playSound(Wav16(kOutputRate, 2, Tone(1000, 2, kOutputRate)), true));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    out.stopSound();
    EXPECT_FALSE(out.active());
}

}  // namespace
}  // namespace ld::media
