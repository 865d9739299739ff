// The sound output on waveOut: without a device everything plays into silence; on the
// system's device sounds play to their end and endless ones stop (scripts/windows-tests.sh
// gives Wine a device that plays into nothing).
#include "media/win32/sound_waveout.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "media/sound_fixtures.h"

namespace ld::media {
namespace {

using namespace fixtures;

constexpr UINT kNoSuchDevice = 9999;

void WaitUntilQuiet(const WaveOutSoundOutput& out) {
    while (out.active()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

TEST(WaveOutSoundOutput, WithoutADeviceEverythingPlaysIntoSilence) {
    TempDir dir;
    WaveOutSoundOutput out({}, kNoSuchDevice);
    EXPECT_TRUE(out.playSound(Wav16(kOutputRate, 2, Tone(kOutputRate * 10, 2, kOutputRate)), true));
    EXPECT_FALSE(out.hasDevice());
    out.playMusic(-1, {dir.file("missing.mp3")});
    out.stopSound();
    EXPECT_TRUE(out.playSound(MidiNote(), false));
}  // destroyed with a sound still going: must not hang

TEST(WaveOutSoundOutput, OnTheDeviceASoundPlaysToItsEndAndEndlessOnesStop) {
    WaveOutSoundOutput out;
    ASSERT_TRUE(out.playSound(Wav16(22050, 1, Tone(22050 / 8, 1, 22050)), false));
    if (!out.hasDevice()) GTEST_SKIP() << "no waveOut device";
    WaitUntilQuiet(out);  // the device pulled every frame
    ASSERT_TRUE(out.playSound(Wav16(kOutputRate, 2, Tone(1000, 2, kOutputRate)), true));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    out.stopSound();
    EXPECT_FALSE(out.active());
}

}  // namespace
}  // namespace ld::media
