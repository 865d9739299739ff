#include "app/common/config_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "program_folder.h"
#include "services/files.h"
#include "services/profile.h"

namespace ld {
namespace {

TEST(ConfigKeyTable, EveryKeyIsUniqueWithinItsSection) {
    std::set<std::pair<ConfigSection, Text>> seen;
    for (const ConfigKey* key : keys::All()) {
        EXPECT_TRUE(seen.emplace(key->section, key->name).second) << key->name;
    }
    // 8 counts, names, markers, counters; 24 winners; 13 single settings; 4 × 3 font
    // keys; 10 × 2 position keys.
    EXPECT_EQ(seen.size(), 8u * 4 + 24 + 13 + 12 + 20);
}

TEST(ConfigKeyTable, LevelKeysAndDesignatedWinnerLetters) {
    EXPECT_EQ(keys::LevelCount(1).name, Gbk("特等奖人数"));
    EXPECT_EQ(keys::LevelName(8).name, Gbk("七等奖"));
    EXPECT_EQ(keys::LevelPictureMarker(3).name, Gbk("奖项3图片"));
    EXPECT_EQ(keys::Counter(8).name, Gbk("计数8"));
    EXPECT_EQ(keys::Counter(8).section, ConfigSection::Jindu);
    EXPECT_EQ(keys::DesignatedWinner(1, 1).name, "a");
    EXPECT_EQ(keys::DesignatedWinner(8, 1).name, "h");
    EXPECT_EQ(keys::DesignatedWinner(1, 2).name, "i");
    EXPECT_EQ(keys::DesignatedWinner(8, 3).name, "x");
    EXPECT_EQ(keys::DesignatedWinner(5, 3).form, ValueForm::Scrambled);
}

class ConfigStoreTest : public ::testing::Test {
protected:
    void put(const ConfigKey& key, const Text& value) {
        ASSERT_TRUE(ConfigStore::write(key, value));
    }
    test::ProgramFolder folder;
};

TEST_F(ConfigStoreTest, MissingFileGivesDefaults) {
    EXPECT_FALSE(folder.exists("peizhi.a"));
    EXPECT_EQ(ConfigStore::readText(keys::MainTitle()), Gbk("某某公司现场抽奖仪式"));
    EXPECT_EQ(ConfigStore::readText(keys::Subtitle()), Gbk("某某公司现场抽奖仪式"));
    EXPECT_EQ(ConfigStore::readText(keys::RollSpeed()), "30");
    EXPECT_EQ(ConfigStore::readText(keys::LevelName(1)), "");
    EXPECT_FALSE(ConfigStore::readLogical(keys::AllowRepeat()));
    EXPECT_EQ(ConfigStore::readInt(keys::Counter(1)), 0);
}

TEST_F(ConfigStoreTest, TitleStoredEmptyStaysEmptyButEmptyRollSpeedReadsThirty) {
    put(keys::MainTitle(), "");
    put(keys::RollSpeed(), "");
    EXPECT_EQ(ConfigStore::readText(keys::MainTitle()), "");
    EXPECT_EQ(ConfigStore::readText(keys::RollSpeed()), "30");
    put(keys::RollSpeed(), "15");
    EXPECT_EQ(ConfigStore::readInt(keys::RollSpeed()), 15);
}

TEST_F(ConfigStoreTest, OnlyTheWordTrueReadsTrue) {
    put(keys::AllowRepeat(), "true");
    EXPECT_FALSE(ConfigStore::readLogical(keys::AllowRepeat()));
    ASSERT_TRUE(ConfigStore::writeLogical(keys::AllowRepeat(), true));
    EXPECT_EQ(ConfigStore::readText(keys::AllowRepeat()), Gbk("真"));
    EXPECT_TRUE(ConfigStore::readLogical(keys::AllowRepeat()));
    ASSERT_TRUE(ConfigStore::writeLogical(keys::AllowRepeat(), false));
    EXPECT_FALSE(ConfigStore::readLogical(keys::AllowRepeat()));
}

TEST_F(ConfigStoreTest, WindowModeAloneInFile) {
    folder.write("peizhi.a", "[zbt]\r\n" + Gbk("界面大小") + "=" + Gbk("窗口") + "\r\n");
    EXPECT_EQ(ConfigStore::readText(keys::WindowMode()), WindowedWord());
    EXPECT_FALSE(ConfigStore::readLogical(keys::HideButton()));
    EXPECT_EQ(ConfigStore::readText(keys::RollSpeed()), "30");
    EXPECT_EQ(ConfigStore::readText(keys::MainTitle()), TitleDefault());
}

TEST_F(ConfigStoreTest, FontGroupNeedsItsColour) {
    put(*keys::Font(FontElement::MainTitle).keys[0], Gbk("隶书"));
    put(*keys::Font(FontElement::MainTitle).keys[1], "30");
    EXPECT_FALSE(ConfigStore::readFont(FontElement::MainTitle));

    put(*keys::Font(FontElement::MainTitle).keys[2], "255");
    auto font = ConfigStore::readFont(FontElement::MainTitle);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->face, Gbk("隶书"));
    EXPECT_EQ(font->size, 30);
    EXPECT_EQ(font->colour, 255);
    EXPECT_FALSE(ConfigStore::readFont(FontElement::Subtitle));
}

TEST_F(ConfigStoreTest, PositionPairsFollowTheirOwnGate) {
    const KeyGroup& mainTitle = keys::Position(PlacedElement::MainTitle);
    const KeyGroup& subtitle = keys::Position(PlacedElement::Subtitle);
    put(*mainTitle.keys[1], "120");  // 标签1顶边 without 标签1左边
    put(*subtitle.keys[0], "40");    // 标签2左边 without 标签2顶边
    EXPECT_FALSE(ConfigStore::readPosition(PlacedElement::MainTitle));
    EXPECT_FALSE(ConfigStore::readPosition(PlacedElement::Subtitle));

    put(*mainTitle.keys[0], "-8");
    auto position = ConfigStore::readPosition(PlacedElement::MainTitle);
    ASSERT_TRUE(position);
    EXPECT_EQ(position->left, -8);
    EXPECT_EQ(position->top, 120);
}

TEST_F(ConfigStoreTest, PhotoSizeNeedsItsWidthAndThenTakesEmptyHeight) {
    put(keys::PhotoHeight(), "500");
    EXPECT_FALSE(ConfigStore::readGroup(keys::PhotoSize()));
    put(keys::PhotoHeight(), "");
    put(keys::PhotoWidth(), "640");
    auto size = ConfigStore::readGroup(keys::PhotoSize());
    ASSERT_TRUE(size);
    EXPECT_EQ(*size, (std::vector<Text>{"640", ""}));  // applied even when empty
}

TEST_F(ConfigStoreTest, GroupWritesKeyByKeyInItsOrder) {
    ASSERT_TRUE(ConfigStore::writeGroup(keys::PrizeSize(), {"120", "80"}));
    Text file = ReadWholeFile(ConfigStore::path());
    EXPECT_LT(file.find(Gbk("奖品图片高=120")), file.find(Gbk("奖品图片宽=80")));
    EXPECT_NE(file.find("[zweizhi]"), Text::npos);
}

TEST_F(ConfigStoreTest, ScrambledKeysNeverHoldThePlainText) {
    ASSERT_TRUE(ConfigStore::writeScrambled(keys::Password(), Gbk("口令")));
    EXPECT_EQ(ReadWholeFile(ConfigStore::path()).find(Gbk("口令")), Text::npos);
    EXPECT_EQ(ConfigStore::readText(keys::Password()).size(), 8u);
    EXPECT_EQ(ConfigStore::readScrambled(keys::Password()), Gbk("口令"));
}

TEST_F(ConfigStoreTest, FailedWriteIsReported) {
    SetWriteFailureAfterBytesForTest(0);
    EXPECT_FALSE(ConfigStore::write(keys::NoEffects(), Gbk("真")));
    EXPECT_FALSE(ConfigStore::writeGroup(keys::PrizeSize(), {"1", "2"}));
    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_FALSE(ConfigStore::readLogical(keys::NoEffects()));
}

}  // namespace
}  // namespace ld
