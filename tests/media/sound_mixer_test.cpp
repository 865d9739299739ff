// The stream between a decoding thread and the mixer, and the mixing itself.
#include <gtest/gtest.h>

#include "media/mixer.h"
#include "media/sound_worker.h"
#include "sound_fixtures.h"

namespace ld::media {
namespace {

std::shared_ptr<SoundStream> Finished(std::vector<Sample> frames) {
    auto stream = std::make_shared<SoundStream>(frames.size() / 2 + 1);
    stream->write(frames.data(), frames.size() / 2);
    stream->finish();
    return stream;
}

TEST(SoundMixer, AddsMusicAndEffectAndClipsTheSum) {
    SoundMixer mixer;
    mixer.attach(SoundMixer::Slot::kMusic, Finished({30000, -30000, 100, 7}));
    mixer.attach(SoundMixer::Slot::kEffect, Finished({30000, -30000, -50, 0, 9, 9}));
    EXPECT_EQ(fixtures::RenderFrames(mixer, 4),
              (std::vector<Sample>{32767, -32768, 50, 7, 9, 9, 0, 0}));
    EXPECT_FALSE(mixer.active());
}

TEST(SoundMixer, ADeviceThatOutrunsTheDecoderGetsSilenceAndLosesNothing) {
    SoundMixer mixer;
    auto stream = std::make_shared<SoundStream>();
    mixer.attach(SoundMixer::Slot::kMusic, stream);
    std::vector<Sample> out(8, 1);
    mixer.render(out.data(), 4);
    EXPECT_EQ(out, std::vector<Sample>(8, 0));
    const std::vector<Sample> late = {1, 2, 3, 4};
    stream->write(late.data(), 2);
    mixer.render(out.data(), 4);
    EXPECT_EQ(out, (std::vector<Sample>{1, 2, 3, 4, 0, 0, 0, 0}));
    EXPECT_TRUE(mixer.active());  // not finished: more may come
}

TEST(SoundStream, CarriesMoreThanItHoldsInOrder) {
    auto stream = std::make_shared<SoundStream>(100);
    SoundWorker worker(stream, [](SoundStream& out) {
        for (int16_t i = 0; i < 1000; ++i) {
            const Sample frame[2] = {i, static_cast<Sample>(-i)};
            if (!out.write(frame, 1)) return;
        }
    });
    std::vector<Sample> all(2000);
    ASSERT_EQ(stream->readWaiting(all.data(), 1000), 1000u);
    for (int16_t i = 0; i < 1000; ++i) ASSERT_EQ(all[2 * i + 1], -i);
    EXPECT_EQ(stream->readWaiting(all.data(), 1), 0u);
    EXPECT_TRUE(stream->drained());
}

TEST(SoundStream, StoppingAWorkerBlockedOnAFullStreamReturns) {
    auto stream = std::make_shared<SoundStream>(16);
    bool sawCancel = false;
    {
        SoundWorker worker(stream, [&](SoundStream& out) {
            const std::vector<Sample> block(64, 1);
            while (out.write(block.data(), 32)) {
            }
            sawCancel = true;
        });
        Sample first[2];
        ASSERT_EQ(stream->readWaiting(first, 1), 1u);  // the producer runs, and fills up again
    }  // the worker is destroyed while its producer is blocked
    EXPECT_TRUE(sawCancel);
    EXPECT_TRUE(stream->drained());
}

}  // namespace
}  // namespace ld::media
