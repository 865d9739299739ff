// WAV recognition and conversion to output frames.
#include <gtest/gtest.h>

#include "media/wav_parser.h"
#include "media/wav_renderer.h"
#include "sound_fixtures.h"

namespace ld::media {
namespace {

using namespace fixtures;
using namespace std::string_view_literals;

std::vector<Sample> RenderAll(const std::string& file) {
    const auto format = ParseWav(file);
    EXPECT_TRUE(format);
    if (!format) return {};
    WavRenderer wav(file, *format);
    std::vector<Sample> out(wav.totalFrames() * kOutputChannels + 64);
    out.resize(wav.render(out.data(), out.size() / kOutputChannels) * kOutputChannels);
    EXPECT_EQ(out.size(), wav.totalFrames() * kOutputChannels);
    return out;
}

TEST(WavFile, EightAndSixteenBitMonoAndStereoBecomeStereoSixteenBit) {
    // 16-bit stereo at the output rate passes unchanged.
    EXPECT_EQ(RenderAll(Wav16(kOutputRate, 2, {100, -100, 32767, -32768})),
              (std::vector<Sample>{100, -100, 32767, -32768}));
    // Mono goes to both channels.
    EXPECT_EQ(RenderAll(Wav16(kOutputRate, 1, {5, -7})), (std::vector<Sample>{5, 5, -7, -7}));
    // 8-bit samples are unsigned around 128.
    const std::string eightBit =
        WaveFile({Chunk("fmt ", FmtBody(2, kOutputRate, 8)), Chunk("data", "\x80\xFF\x00\x81"sv)});
    EXPECT_EQ(RenderAll(eightBit), (std::vector<Sample>{0, 127 * 256, -128 * 256, 256}));
}

TEST(WavFile, ChunksAreFoundInAnyOrderPastOddSizedOnes) {
    const std::string file = WaveFile({Chunk("LIST", "odd"), Chunk("data", Pcm16({1, 2, 3, 4})),
                                       Chunk("fmt ", FmtBody(2, kOutputRate, 16))});
    const auto format = ParseWav(file);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->frameCount(), 2u);
    EXPECT_EQ(RenderAll(file), (std::vector<Sample>{1, 2, 3, 4}));
}

TEST(WavFile, DataRunningPastTheEndIsCutToWholeFrames) {
    std::string file = Wav16(kOutputRate, 2, {1, 2, 3, 4, 5});  // 2.5 frames
    file.replace(file.size() - 14, 4, "\xF0\xFF\xFF\xFF");      // data size near 4 GiB
    const auto format = ParseWav(file);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->dataSize, 8u);
    EXPECT_LE(format->dataOffset + format->dataSize, file.size());
}

TEST(WavFile, RefusesWhatIsNoPlayablePcmWav) {
    const std::string fmt = Chunk("fmt ", FmtBody(2, 22050, 16));
    const std::string data = Chunk("data", Pcm16({0, 0, 0, 0, 0, 0, 0, 0}));
    std::string cutFormat = WaveFile({Chunk("data", Pcm16({0, 0})), fmt});
    cutFormat.resize(cutFormat.size() - 4);
    const std::string refused[] = {
        WaveFile({fmt, data}).substr(0, 35),  // shorter than 36 bytes
        "RIFX" + WaveFile({fmt, data}).substr(4),
        WaveFile({fmt, data}).replace(8, 4, "AVI "),
        WaveFile({fmt, Chunk("junk", std::string(40, 'x'))}),   // no data chunk
        WaveFile({data, Chunk("junk", std::string(40, 'x'))}),  // no format chunk
        cutFormat,
        WaveFile({Chunk("fmt ", FmtBody(2, 22050, 24)), data}),
        WaveFile({Chunk("fmt ", FmtBody(3, 22050, 16)), data}),
        WaveFile({Chunk("fmt ", FmtBody(2, 22050, 32, 3)), data}),  // float
        WaveFile({Chunk("fmt ", FmtBody(2, 0, 16)), data}),
        // A huge chunk size before the format must not wrap around onto it.
        WaveFile({std::string("junk\xF8\xFF\xFF\xFF", 8), fmt, data}),
    };
    for (const auto& file : refused) {
        EXPECT_FALSE(ParseWav(file)) << ::testing::PrintToString(file.substr(0, 16));
    }
    EXPECT_TRUE(HasMidiSignature("MThd"));
    EXPECT_FALSE(HasMidiSignature("MTh"));
}

TEST(WavFile, OtherRatesAreInterpolatedToTheOutputRate) {
    // 22050 Hz: twice the frames, the new ones half way between their neighbours.
    const auto up = RenderAll(Wav16(kOutputRate / 2, 1, {0, 1000, 2000}));
    EXPECT_EQ(
        up, (std::vector<Sample>{0, 0, 500, 500, 1000, 1000, 1500, 1500, 2000, 2000, 2000, 2000}));
    // 48000 Hz for one second gives one second at the output rate.
    const auto down = RenderAll(Wav16(48000, 2, Tone(48000, 2, 48000)));
    EXPECT_NEAR(static_cast<double>(down.size() / 2), kOutputRate, 1);
}

}  // namespace
}  // namespace ld::media
