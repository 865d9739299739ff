// PlaySound and StopSound: the WAV and MIDI player behind the mixer, rendered offline.
#include "media/sound_engine.h"

#include <gtest/gtest.h>

#include "media/midi_renderer.h"
#include "sound_fixtures.h"

namespace ld::media {
namespace {

using namespace fixtures;

SoundOptions WithoutSoundFont() {
    SoundOptions options;
    options.soundFonts = {"/nonexistent/none.sf2"};
    return options;
}

TEST(PlaySound, PlaysAWavToItsEndThenStops) {
    SoundEngine engine;
    const auto tone = Tone(3000, 2, kOutputRate);
    ASSERT_TRUE(engine.playSound(Wav16(kOutputRate, 2, tone), false));
    EXPECT_EQ(RenderToEnd(engine.mixer()), tone);
    EXPECT_FALSE(engine.active());
}

TEST(PlaySound, RefusesOtherDataAndKeepsTheSoundBefore) {
    SoundEngine engine;
    const auto tone = Tone(2000, 2, kOutputRate);
    ASSERT_TRUE(engine.playSound(Wav16(kOutputRate, 2, tone), false));
    const Bytes png("\x89PNG\r\n\x1A\n" + std::string(100, '\0'));
    EXPECT_FALSE(engine.playSound(png, false));
    EXPECT_FALSE(engine.playSound(Bytes("RIFF\0\0\0\0WAVEfmt ", 16), false));
    EXPECT_FALSE(engine.playSound(Bytes(), false));
    EXPECT_EQ(RenderToEnd(engine.mixer()), tone);
}

TEST(PlaySound, ANewSoundStopsThePreviousOne) {
    SoundEngine engine;
    ASSERT_TRUE(
        engine.playSound(Wav16(kOutputRate, 2, Tone(kOutputRate * 5, 2, kOutputRate)), false));
    RenderFrames(engine.mixer(), 100);
    const auto second = Tone(1000, 2, kOutputRate, 1000);
    ASSERT_TRUE(engine.playSound(Wav16(kOutputRate, 2, second), false));
    EXPECT_EQ(RenderToEnd(engine.mixer()), second);
}

TEST(PlaySound, LoopingRepeatsUntilStopped) {
    SoundEngine engine;
    const auto tone = Tone(500, 2, kOutputRate);
    ASSERT_TRUE(engine.playSound(Wav16(kOutputRate, 2, tone), true));
    const auto pcm = RenderFrames(engine.mixer(), 1600);
    EXPECT_TRUE(std::equal(tone.begin(), tone.end(), pcm.begin() + 2 * tone.size()));
    engine.stopSound();
    EXPECT_FALSE(engine.active());
}

TEST(PlaySound, MidiIsRenderedWithTheSoundFont) {
    if (FindSoundFont(DefaultSoundFonts()).empty()) GTEST_SKIP() << "no General MIDI sound font";
    SoundEngine engine;
    ASSERT_TRUE(engine.playSound(MidiNote(500), false));
    const auto pcm = RenderToEnd(engine.mixer());
    const double seconds = static_cast<double>(pcm.size() / 2) / kOutputRate;
    EXPECT_GT(seconds, 0.5);
    EXPECT_LT(seconds, 0.5 + 3.1);  // the note rings out, within bounds
    EXPECT_GT(LoudFrames(pcm), static_cast<size_t>(kOutputRate / 4));
    // A broken file behind the signature plays as silence.
    EXPECT_TRUE(engine.playSound("MThd" + std::string(40, '\x7F'), false));
    EXPECT_EQ(LoudFrames(RenderToEnd(engine.mixer())), 0u);
}

TEST(PlaySound, MidiWithoutASoundFontIsSilentNotAnError) {
    SoundEngine engine(WithoutSoundFont());
    EXPECT_TRUE(engine.playSound(MidiNote(), false));
    EXPECT_TRUE(RenderToEnd(engine.mixer()).empty());
    EXPECT_FALSE(engine.active());
}

TEST(StopSound, EndsTheSoundAndTheMusicTogether) {
    TempDir dir;
    SoundEngine engine;
    engine.playMusic(-1, {dir.file("none.mp3")});
    ASSERT_TRUE(
        engine.playSound(Wav16(kOutputRate, 2, Tone(kOutputRate * 60, 2, kOutputRate)), false));
    RenderFrames(engine.mixer(), 10);
    engine.stopSound();
    EXPECT_EQ(engine.music(), nullptr);
    EXPECT_FALSE(engine.active());
    EXPECT_TRUE(RenderToEnd(engine.mixer()).empty());
}

}  // namespace
}  // namespace ld::media
