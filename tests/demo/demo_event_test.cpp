// The rest of the demo event: its peizhi.a as the program reads it, the prize pictures, the
// background and the music.
#include "app/common/config_keys.h"
#include "demo_fixture.h"
#include "media/mp3_decoder.h"
#include "media/picture.h"
#include "services/encoding.h"
#include "services/files.h"
#include "services/program.h"

namespace ld::test {
namespace {

using DemoEvent = DemoEventTest;

TEST_F(DemoEvent, ConfigurationIsGbkWithCrLfLinesAsTheProgramWritesIt) {
    const std::string raw = ReadFile(folder() / "peizhi.a");
    ASSERT_FALSE(raw.empty());
    EXPECT_EQ(raw.find("[zbt]\r\n"), 0u);
    for (size_t at = raw.find('\n'); at != std::string::npos; at = raw.find('\n', at + 1)) {
        ASSERT_TRUE(at > 0 && raw[at - 1] == '\r') << "a line without CR at byte " << at;
    }
    EXPECT_FALSE(IsValidUtf8(raw)) << "the Chinese keys must be GBK, not UTF-8";
    EXPECT_NE(GbkToUtf8(raw).find("界面大小=窗口"), std::string::npos);
}

TEST_F(DemoEvent, ConfigurationSaysDemoAndHoldsAWholePrizeTable) {
    EXPECT_EQ(ConfigStore::readText(keys::WindowMode()), WindowedWord());
    EXPECT_TRUE(ConfigStore::readLogical(keys::BackgroundMusic()));
    EXPECT_NE(ConfigStore::readText(keys::MainTitle()).find(Gbk("演示")), Text::npos);
    EXPECT_NE(ConfigStore::readText(keys::Subtitle()).find(Gbk("演示")), Text::npos);
    EXPECT_EQ(ConfigStore::readText(keys::LevelName(1)), Gbk("特等奖"));
    EXPECT_EQ(ConfigStore::readInt(keys::LevelCount(1)), 1);
    int winners = 0;
    for (int level = 1; level <= kLevelCount; ++level) {
        SCOPED_TRACE(level);
        EXPECT_FALSE(ConfigStore::readText(keys::LevelName(level)).empty());
        EXPECT_GT(ConfigStore::readInt(keys::LevelCount(level)), 0);
        winners += ConfigStore::readInt(keys::LevelCount(level));
    }
    // Every prize can be drawn without repeats.
    EXPECT_LE(winners, static_cast<int>(roster().size()));
}

TEST_F(DemoEvent, PrizePicturesAndBackgroundArePictures) {
    for (int level = 1; level <= kLevelCount; ++level) {
        SCOPED_TRACE(level);
        const Text path = ProgramDirectory() + Gbk("/奖品图片/") + ToText(level) + ".jpg";
        EXPECT_GT(MakePicture(ReadWholeFile(path)), 0);
    }
    const Bytes background = ReadWholeFile(ProgramDirectory() + Gbk("/底图.jpg"));
    EXPECT_EQ(ReadPictureSize(background), (Size{1920, 1080}));
}

TEST_F(DemoEvent, MusicDecodesToSecondsOfSound) {
    const std::filesystem::path music = folder() / "wav" / "bjyy.mp3";
    if (std::string(LD_DEMO_LAME).empty()) {
        EXPECT_FALSE(std::filesystem::exists(music));
        GTEST_SKIP() << "built without lame: the demo has no music";
    }
    const std::string bytes = ReadFile(music);
    media::Mp3Decoder decoder;
    ASSERT_TRUE(decoder.ok());
    ASSERT_TRUE(decoder.feed(bytes.data(), bytes.size()));
    std::vector<media::Sample> buffer(4096 * media::kOutputChannels);
    size_t frames = 0, loud = 0;
    for (size_t got; (got = decoder.read(buffer.data(), 4096)) > 0;) {
        frames += got;
        for (size_t i = 0; i < got * media::kOutputChannels; ++i)
            loud += std::abs(buffer[i]) > 3000;
    }
    EXPECT_GT(frames, static_cast<size_t>(10 * media::kOutputRate));
    EXPECT_GT(loud, frames / 10);  // a tune, not silence
}

}  // namespace
}  // namespace ld::test
