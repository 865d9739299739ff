#include "app/common/config_keys.h"

#include <cassert>
#include <string>

namespace ld {

namespace {

const char* const kLevelWords[kLevelCount] = {"特等奖", "一等奖", "二等奖", "三等奖",
                                              "四等奖", "五等奖", "六等奖", "七等奖"};
const char* const kFontPrefixes[] = {"主标题", "副标题", "中奖人", "恭喜"};

struct PositionKeys {
    const char* stem;  // the key is stem + 左边 / stem + 顶边
    bool gateIsLeft;
};
// Only the main title is gated by its left key; every other pair by its top key.
const PositionKeys kPositions[] = {
    {"标签1", true},
    {"标签2", false},
    {"标签_中奖人", false},
    {"透明标签_恭喜", false},
    {"组合框1", false},
    {"透明标签_抽取进度", false},
    {"透明标签_奖项等级", false},
    {"图片框_奖品", false},
    {"图片框_照片", false},
    {"超级按钮", false},
};
constexpr int kFontCount = 4;
constexpr int kPositionCount = 10;

ConfigKey Key(ConfigSection section, const std::string& utf8Name, ValueForm form) {
    return ConfigKey{section, Gbk(utf8Name), form, {}, DefaultUse::None};
}

struct KeyTable {
    std::array<ConfigKey, kLevelCount> levelCount, levelName, pictureMarker, counter, perDraw,
        groups, excluded;
    std::array<std::array<ConfigKey, kDesignatedPerLevel>, kLevelCount> designated;
    ConfigKey rollSpeed, allowRepeat, photoWidth, photoHeight, noEffects, music, windowMode,
        hideButton, mainTitle, subtitle, password, prizeHeight, prizeWidth;
    ConfigKey stageScreen, clickers;  // outside `all`, as the per-draw counts
    std::array<std::array<ConfigKey, 3>, kFontCount> fontKeys;
    std::array<std::array<ConfigKey, 2>, kPositionCount> positionKeys;

    std::array<KeyGroup, kFontCount> fonts;
    std::array<KeyGroup, kPositionCount> positions;
    KeyGroup photoSize, prizeSize;
    std::vector<const ConfigKey*> all;

    KeyTable();
    // The table refers to its own members.
    KeyTable(const KeyTable&) = delete;
    KeyTable& operator=(const KeyTable&) = delete;

private:
    void fillLevels();
    void fillSettings();
    void fillFontsAndPositions();
    void collect();
};

KeyTable::KeyTable() {
    fillLevels();
    fillSettings();
    fillFontsAndPositions();
    collect();
}

void KeyTable::fillLevels() {
    using S = ConfigSection;
    using F = ValueForm;
    for (int i = 0; i < kLevelCount; ++i) {
        std::string word = kLevelWords[i];
        std::string digit = std::to_string(i + 1);
        levelCount[i] = Key(S::Zbt, word + "人数", F::Typed);
        perDraw[i] = Key(S::Zbt, word + "每次人数", F::Integer);
        groups[i] = Key(S::Zbt, word + "参与部门", F::Plain);
        excluded[i] = Key(S::Zbt, word + "不参与", F::Plain);
        levelName[i] = Key(S::Zbt, word, F::Typed);
        pictureMarker[i] = Key(S::Zbt, "奖项" + digit + "图片", F::Plain);
        counter[i] = Key(S::Jindu, "计数" + digit, F::Integer);
        // a … h first winners, i … p second, q … x third.
        for (int rank = 0; rank < kDesignatedPerLevel; ++rank) {
            std::string letter(1, static_cast<char>('a' + rank * kLevelCount + i));
            designated[i][rank] = Key(S::Zbt, letter, F::Scrambled);
        }
    }
}

void KeyTable::fillSettings() {
    stageScreen = Key(ConfigSection::Zbt, "舞台屏幕", ValueForm::Integer);
    clickers = Key(ConfigSection::Zbt, "翻页笔", ValueForm::Logical);
    using S = ConfigSection;
    using F = ValueForm;
    rollSpeed = Key(S::Zbt, "滚动速度", F::Typed);
    rollSpeed.defaultValue = "30";
    rollSpeed.defaultUse = DefaultUse::WhenEmpty;
    allowRepeat = Key(S::Zbt, "是否允许重复", F::Logical);
    photoWidth = Key(S::Zbt, "照片图片宽", F::Typed);
    photoHeight = Key(S::Zbt, "照片图片高", F::Typed);
    noEffects = Key(S::Zbt, "禁用特效", F::Logical);
    music = Key(S::Zbt, "背景音乐", F::Logical);
    windowMode = Key(S::Zbt, "界面大小", F::Plain);
    hideButton = Key(S::Zbt, "不显示按钮", F::Logical);
    mainTitle = Key(S::Zbt, "zbt", F::Plain);
    subtitle = Key(S::Zbt, "fbt", F::Plain);
    for (ConfigKey* title : {&mainTitle, &subtitle}) {
        title->defaultValue = TitleDefault();
        title->defaultUse = DefaultUse::WhenAbsent;
    }
    password = Key(S::Zbt, "password", F::Scrambled);
    prizeHeight = Key(S::Zweizhi, "奖品图片高", F::Integer);
    prizeWidth = Key(S::Zweizhi, "奖品图片宽", F::Integer);
    photoSize = KeyGroup{{&photoWidth, &photoHeight}, &photoWidth};
    prizeSize = KeyGroup{{&prizeHeight, &prizeWidth}, &prizeHeight};
}

void KeyTable::fillFontsAndPositions() {
    using S = ConfigSection;
    using F = ValueForm;
    for (int i = 0; i < kFontCount; ++i) {
        std::string prefix = kFontPrefixes[i];
        auto& k = fontKeys[i];
        k[0] = Key(S::Yanse, prefix + "字体", F::Plain);
        k[1] = Key(S::Yanse, prefix + "字体大小", F::Integer);
        k[2] = Key(S::Yanse, prefix + "字体颜色", F::Colour);
        fonts[i] = KeyGroup{{&k[0], &k[1], &k[2]}, &k[2]};
    }
    for (int i = 0; i < kPositionCount; ++i) {
        std::string stem = kPositions[i].stem;
        auto& k = positionKeys[i];
        k[0] = Key(S::Zweizhi, stem + "左边", F::Integer);
        k[1] = Key(S::Zweizhi, stem + "顶边", F::Integer);
        positions[i] = KeyGroup{{&k[0], &k[1]}, kPositions[i].gateIsLeft ? &k[0] : &k[1]};
    }
}

void KeyTable::collect() {
    for (int i = 0; i < kLevelCount; ++i) {
        all.insert(all.end(), {&levelCount[i], &levelName[i], &pictureMarker[i], &counter[i]});
        for (auto& key : designated[i]) all.push_back(&key);
    }
    for (const ConfigKey* key :
         {&rollSpeed, &allowRepeat, &photoWidth, &photoHeight, &noEffects, &music, &windowMode,
          &hideButton, &mainTitle, &subtitle, &password, &prizeHeight, &prizeWidth}) {
        all.push_back(key);
    }
    for (auto& group : fontKeys)
        for (auto& key : group) all.push_back(&key);
    for (auto& pair : positionKeys)
        for (auto& key : pair) all.push_back(&key);
}

const KeyTable& Table() {
    static const KeyTable table;
    return table;
}

size_t LevelIndex(int level) {
    assert(level >= 1 && level <= kLevelCount);
    return static_cast<size_t>(level - 1);
}

}  // namespace

Text SectionName(ConfigSection section) {
    switch (section) {
        case ConfigSection::Zbt:
            return "zbt";
        case ConfigSection::Yanse:
            return "yanse";
        case ConfigSection::Zweizhi:
            return "zweizhi";
        case ConfigSection::Jindu:
            return "jindu";
    }
    return {};
}

Text WindowedWord() { return Gbk("窗口"); }
Text FullScreenWord() { return Gbk("全屏"); }
Text TitleDefault() { return Gbk("某某公司现场抽奖仪式"); }

namespace keys {

const ConfigKey& LevelCount(int level) { return Table().levelCount[LevelIndex(level)]; }
const ConfigKey& StageScreen() { return Table().stageScreen; }
const ConfigKey& Clickers() { return Table().clickers; }
const ConfigKey& PerDrawCount(int level) { return Table().perDraw[LevelIndex(level)]; }
const ConfigKey& LevelGroups(int level) { return Table().groups[LevelIndex(level)]; }
const ConfigKey& LevelExcluded(int level) { return Table().excluded[LevelIndex(level)]; }
const ConfigKey& LevelName(int level) { return Table().levelName[LevelIndex(level)]; }
const ConfigKey& LevelPictureMarker(int level) { return Table().pictureMarker[LevelIndex(level)]; }
const ConfigKey& DesignatedWinner(int level, int rank) {
    assert(rank >= 1 && rank <= kDesignatedPerLevel);
    return Table().designated[LevelIndex(level)][static_cast<size_t>(rank - 1)];
}
const ConfigKey& Counter(int level) { return Table().counter[LevelIndex(level)]; }
const ConfigKey& RollSpeed() { return Table().rollSpeed; }
const ConfigKey& AllowRepeat() { return Table().allowRepeat; }
const ConfigKey& PhotoWidth() { return Table().photoWidth; }
const ConfigKey& PhotoHeight() { return Table().photoHeight; }
const ConfigKey& NoEffects() { return Table().noEffects; }
const ConfigKey& BackgroundMusic() { return Table().music; }
const ConfigKey& WindowMode() { return Table().windowMode; }
const ConfigKey& HideButton() { return Table().hideButton; }
const ConfigKey& MainTitle() { return Table().mainTitle; }
const ConfigKey& Subtitle() { return Table().subtitle; }
const ConfigKey& Password() { return Table().password; }
const ConfigKey& PrizeHeight() { return Table().prizeHeight; }
const ConfigKey& PrizeWidth() { return Table().prizeWidth; }

const KeyGroup& Font(FontElement element) { return Table().fonts[static_cast<size_t>(element)]; }
const KeyGroup& Position(PlacedElement element) {
    return Table().positions[static_cast<size_t>(element)];
}
const KeyGroup& PhotoSize() { return Table().photoSize; }
const KeyGroup& PrizeSize() { return Table().prizeSize; }

const std::vector<const ConfigKey*>& All() { return Table().all; }

}  // namespace keys

}  // namespace ld
