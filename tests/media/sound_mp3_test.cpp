// Opening and playing MP3 files: the tags around the audio, the open errors, the player's
// play count and PlayMusic's playlist rules.
#include <gtest/gtest.h>

#include <random>

#include "media/mp3_file.h"
#include "media/mp3_player.h"
#include "media/sound_engine.h"
#include "sound_fixtures.h"

namespace ld::media {
namespace {

using namespace fixtures;
using namespace std::string_literals;

std::string RandomBytes(size_t n) {
    std::mt19937 random(42);
    std::string out(n, '\0');
    for (auto& c : out) c = static_cast<char>(random());
    return out;
}

TEST(Id3Tag, SizeCoversHeaderBodyAndFooterOfEveryVersion) {
    EXPECT_EQ(Id3v2TagSize(Id3v2(2, std::string(300, '\0'))), 310u);
    EXPECT_EQ(Id3v2TagSize(Id3v2(3, std::string(200, '\0'), 0x40)), 210u);  // extended header
    EXPECT_EQ(Id3v2TagSize(Id3v2(4, std::string(200, '\0'), 0x10)), 220u);  // footer
    EXPECT_EQ(Id3v2TagSize(Id3v2(3, std::string(0x12345, 'x'))), 0x12345u + 10);
    // Only the low 7 bits of each size byte count, whatever the high bit and byte 4 hold.
    EXPECT_EQ(Id3v2TagSize(std::string("ID3\x03\0\0\0\0\x02\x80", 10)), 266u);
    EXPECT_EQ(Id3v2TagSize(Id3v2(3, "x").replace(4, 1, "\xFF")), 11u);
    for (std::string bad : {Id3v2(5, "x"), std::string("ID3\x03\0\0\0\0", 8)}) {
        EXPECT_EQ(Id3v2TagSize(bad), 0u);
    }
}

TEST(Id3Tag, AudioRangeLeavesOutTagsAndNeverPassesTheEnd) {
    const auto range = [](const std::string& file) {
        return FindAudioRange(file.size(),
                              [&](uint64_t at, size_t n) { return file.substr(at, n); });
    };
    const std::string audio(1000, 'a');
    const std::string stacked = Id3v2(3, "xx") + Id3v2(4, "yyy", 0x10) + audio + Id3v1("t");
    EXPECT_EQ(range(stacked).begin, 12u + 23u);
    EXPECT_EQ(range(stacked).end, stacked.size() - 128);
    // A tag claiming more than the file holds leaves nothing, not its bytes, to play.
    const std::string liar = Id3v2(3, "").replace(6, 4, "\x7F\x7F\x7F\x7F") + audio;
    EXPECT_EQ(range(liar).begin, range(liar).end);
    EXPECT_EQ(range(Id3v1("only")).end, 0u);
}

TEST(Mp3File, OpenErrors) {
    TempDir dir;
    EXPECT_EQ(Mp3File::open(dir.file("missing.mp3")).error(), mp3_error::kNotFound);
    EXPECT_EQ(Mp3File::open("").error(), mp3_error::kNotFound);
    EXPECT_EQ(Mp3File::open(dir.file("")).error(), mp3_error::kAccessDenied);  // a folder
    EXPECT_EQ(Mp3File::open(std::string(5000, 'n')).error(), mp3_error::kInvalidArgument);
}

class Mp3Playback : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new TempDir;
        mp3_ = EncodeMp3(*dir_, Wav16(kOutputRate, 2, Tone(kOutputRate / 2, 2, kOutputRate)),
                         "-b 128");
    }
    static void TearDownTestSuite() { delete dir_; }
    void SetUp() override {
        if (mp3_.empty()) GTEST_SKIP() << "no MP3 encoding of the test sound (lame) at hand";
    }

    static std::vector<Sample> Decode(const std::string& file, int count = 1) {
        Mp3Player player({dir_->write("play.mp3", file)}, count);
        EXPECT_TRUE(player.start());
        SoundMixer mixer;
        mixer.attach(SoundMixer::Slot::kMusic, player.stream());
        return RenderToEnd(mixer);
    }

    static inline TempDir* dir_ = nullptr;
    static inline std::string mp3_;
};

TEST_F(Mp3Playback, DecodesTheWholeSoundAtTheOutputRate) {
    const auto plain = Decode(mp3_);
    EXPECT_NEAR(static_cast<double>(plain.size() / 2), kOutputRate / 2, 1152);
    EXPECT_GT(LoudFrames(plain, 2000), plain.size() / 4);
}

TEST_F(Mp3Playback, TagsNeverReachTheDecoder) {
    const auto plain = Decode(mp3_);
    const std::string picture = Id3Frame(4, "APIC", "\0image/jpeg\0\x03\0"s + RandomBytes(40000));
    const std::string tagged[] = {
        Id3v2(2, Id3Frame(2, "TT2", "\0Song"s)) + mp3_,
        Id3v2(3, Id3Frame(3, "TIT2", "\0Song"s)) + mp3_,
        Id3v2(3, std::string("\0\0\0\x06\0\0\0\0\0\0", 10) + Id3Frame(3, "TIT2", "\0S"s), 0x40) +
            mp3_,
        Id3v2(4, picture + std::string(500, '\0'), 0x10) + mp3_,
        // A "cover" that is itself MPEG audio would be heard if the tag were decoded.
        Id3v2(4, Id3Frame(4, "APIC", "\0image/png\0\x03\0"s + mp3_)) + mp3_,
        mp3_ + Id3v1("Song"),
    };
    for (const auto& file : tagged) {
        SCOPED_TRACE(::testing::PrintToString(file.substr(0, 6)));
        EXPECT_EQ(Decode(file), plain);
    }
}

TEST_F(Mp3Playback, PlayCountRepeatsTheListAndZeroIsForever) {
    const size_t once = Decode(mp3_).size();
    EXPECT_EQ(Decode(mp3_, 2).size(), 2 * once);
    Mp3Player forever({dir_->write("forever.mp3", mp3_)}, 0);
    forever.start();
    SoundMixer mixer;
    mixer.attach(SoundMixer::Slot::kMusic, forever.stream());
    RenderFrames(mixer, once * 2);     // three times through...
    EXPECT_FALSE(forever.finished());  // ...and still going
}

TEST_F(Mp3Playback, AListOfUnplayableFilesEndsEvenForever) {
    Mp3Player player({dir_->file("missing.mp3"), dir_->write("junk.mp3", RandomBytes(999))}, 0);
    player.start();
    SoundMixer mixer;
    mixer.attach(SoundMixer::Slot::kMusic, player.stream());
    RenderToEnd(mixer);
    EXPECT_TRUE(player.finished());
}

TEST_F(Mp3Playback, PlayMusicCountsSkipsEmptyNamesAndReplacesThePlaylist) {
    const std::string path = dir_->write("music.mp3", mp3_);
    const size_t once = Decode(mp3_).size();
    SoundEngine engine;
    engine.playMusic(1, {"", path, ""});
    EXPECT_EQ(RenderToEnd(engine.mixer()).size(), once);

    engine.playMusic(-1, {path});
    engine.playMusic(2, {path});  // removes the endless one, or this would never end
    EXPECT_EQ(RenderToEnd(engine.mixer()).size(), 2 * once);

    engine.playMusic(-1, {path});
    engine.playMusic(0, {path});  // nothing at all, but the one before is gone
    EXPECT_EQ(engine.music(), nullptr);
    engine.playMusic(-1, {"", ""});
    EXPECT_EQ(engine.music(), nullptr);

    engine.playMusic(1, {dir_->file("missing.mp3")});
    RenderToEnd(engine.mixer());
    EXPECT_EQ(engine.music()->lastOpenError(), mp3_error::kNotFound);
}

}  // namespace
}  // namespace ld::media
