// The stored winner sound: a playable PCM WAVE of the stated size, and not silence.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "app/draw/winner_sound.h"

namespace ld {
namespace {

uint32_t Le(const Bytes& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
    return v;
}

TEST(WinnerSound, IsA16BitStereoPcmWaveOfTheStoredSize) {
    const Bytes& wav = app::WinnerSound();
    ASSERT_EQ(wav.size(), 285228u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(Le(wav, 4, 4), 285220u);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le(wav, 16, 4), 16u);
    EXPECT_EQ(Le(wav, 20, 2), 1u);  // PCM
    EXPECT_EQ(Le(wav, 22, 2), 2u);
    EXPECT_EQ(Le(wav, 24, 4), 44100u);
    EXPECT_EQ(Le(wav, 28, 4), 176400u);
    EXPECT_EQ(Le(wav, 32, 2), 4u);
    EXPECT_EQ(Le(wav, 34, 2), 16u);
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(Le(wav, 40, 4), 285184u);
}

TEST(WinnerSound, IsAChimeThatFadesOut) {
    const Bytes& wav = app::WinnerSound();
    auto rms = [&](double fromSeconds, double toSeconds) {
        const auto first = static_cast<size_t>(fromSeconds * 44100) * 4 + 44;
        const auto last = std::min(static_cast<size_t>(toSeconds * 44100) * 4 + 44, wav.size());
        double sum = 0;
        size_t n = 0;
        for (size_t at = first; at + 1 < last; at += 2, ++n) {
            const auto s = static_cast<int16_t>(Le(wav, at, 2));
            sum += double(s) * s;
        }
        return std::sqrt(sum / double(n));
    };
    EXPECT_GT(rms(0.0, 0.4), 3000);               // loud at the strikes
    EXPECT_LT(rms(1.2, 1.4), rms(0.0, 0.4) / 3);  // decays
    EXPECT_LT(rms(1.6, 1.7), 300);                // and ends quietly, without a click
}

}  // namespace
}  // namespace ld
