// The keys of peizhi.a, as one table that every reader and writer shares, and the small
// typed store over the configuration services. The file is read and written one key at a
// time, with its path built anew for every call, so nothing is cached here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "services/text.h"

namespace ld {

enum class ConfigSection { Zbt, Yanse, Zweizhi, Jindu };

enum class ValueForm {
    Integer,    // decimal integer text made by ToText, read back by its leading number
    Typed,      // what the operator typed, unvalidated (numbers read back like Integer)
    Plain,      // a text set by a command (titles, window mode, picture markers)
    Logical,    // "真" or "假"; only "真" reads as true
    Colour,     // 0x00BBGGRR as unsigned decimal text
    Scrambled,  // made by ScrambleText
};

// When the default of a key takes effect.
enum class DefaultUse {
    None,
    WhenAbsent,  // passed to the read: a key present but empty stays empty (the titles)
    WhenEmpty,   // the screen keeps its own value when the key reads empty (roll speed)
};

struct ConfigKey {
    ConfigSection section;
    Text name;  // GBK
    ValueForm form;
    Text defaultValue;  // GBK
    DefaultUse defaultUse = DefaultUse::None;
};

// A group of keys describing one screen element. At start-up the group is applied only
// when its gate key reads non-empty; the other keys then count even when empty. The keys
// are in the order in which their commands write them.
struct KeyGroup {
    std::vector<const ConfigKey*> keys;
    const ConfigKey* gate = nullptr;
};

// The four elements with a stored font, in the order start-up applies them.
enum class FontElement { MainTitle, Subtitle, Winner, Congratulation };
// The ten elements with a stored position, in the order start-up applies them.
enum class PlacedElement {
    MainTitle,
    Subtitle,
    Winner,
    Congratulation,
    LevelSelector,
    Progress,
    LevelCaption,
    PrizePicture,
    Photo,
    StartButton,
};
constexpr int kLevelCount = 8;
constexpr int kDesignatedPerLevel = 3;

Text SectionName(ConfigSection section);

namespace keys {
// Levels are 1..8, ranks 1..3 (first, second, third designated winner).
const ConfigKey& LevelCount(int level);                  // 特等奖人数 … 七等奖人数
const ConfigKey& LevelName(int level);                   // 特等奖 … 七等奖
// 特等奖每次人数 … 七等奖每次人数: winners per stop. Not in All(): only the batch window
// writes them, and the prize-table save and the reset leave them out.
const ConfigKey& PerDrawCount(int level);
// 特等奖参与部门 … and 特等奖不参与 …: who may win the level (see level_rules.h). Outside
// All() as well, written only by the 奖项规则 window.
const ConfigKey& LevelGroups(int level);
const ConfigKey& LevelExcluded(int level);
// The operator's desk, outside All() as well: 舞台屏幕 (the stage's screen, 1 = primary)
// and 翻页笔 (presenter clicker keys, 真 = on).
const ConfigKey& StageScreen();
const ConfigKey& Clickers();
const ConfigKey& LevelPictureMarker(int level);          // 奖项1图片 … 奖项8图片
const ConfigKey& DesignatedWinner(int level, int rank);  // a … x
const ConfigKey& Counter(int level);                     // jindu 计数1 … 计数8
const ConfigKey& RollSpeed();                            // 滚动速度
const ConfigKey& AllowRepeat();                          // 是否允许重复
const ConfigKey& PhotoWidth();                           // 照片图片宽
const ConfigKey& PhotoHeight();                          // 照片图片高
const ConfigKey& NoEffects();                            // 禁用特效
const ConfigKey& BackgroundMusic();                      // 背景音乐
const ConfigKey& WindowMode();                           // 界面大小
const ConfigKey& HideButton();                           // 不显示按钮
const ConfigKey& MainTitle();                            // zbt
const ConfigKey& Subtitle();                             // fbt
const ConfigKey& Password();                             // password
const ConfigKey& PrizeHeight();                          // 奖品图片高
const ConfigKey& PrizeWidth();                           // 奖品图片宽

// Keys of a group: font = face, size, colour (gate colour); position = left, top.
const KeyGroup& Font(FontElement element);
const KeyGroup& Position(PlacedElement element);
const KeyGroup& PhotoSize();  // width (gate), height
const KeyGroup& PrizeSize();  // height (gate), width

// Every key of the table, each once.
const std::vector<const ConfigKey*>& All();
}  // namespace keys

// The stored value words.
Text WindowedWord();    // 窗口
Text FullScreenWord();  // 全屏
Text TitleDefault();    // 某某公司现场抽奖仪式

struct StoredFont {
    Text face;
    int32_t size = 0;    // points, truncated
    int32_t colour = 0;  // 0x00BBGGRR
};

struct StoredPosition {
    int32_t left = 0;
    int32_t top = 0;
};

// peizhi.a in the program directory. Writes report success so that a command can tell
// the operator when a setting did not reach the disk.
class ConfigStore {
public:
    static Text path();  // ProgramDirectory() + "/peizhi.a", built per call

    // Applies the key's default as its DefaultUse says.
    static Text readText(const ConfigKey& key);
    static bool readLogical(const ConfigKey& key);  // true only for "真"
    static double readNumber(const ConfigKey& key);
    static int32_t readInt(const ConfigKey& key);     // truncated, saturated
    static Text readScrambled(const ConfigKey& key);  // the plain text
    // The values of the group's keys, in its order; nullopt when the gate reads empty.
    static std::optional<std::vector<Text>> readGroup(const KeyGroup& group);
    static std::optional<StoredFont> readFont(FontElement element);
    static std::optional<StoredPosition> readPosition(PlacedElement element);

    static bool write(const ConfigKey& key, const Text& value);
    static bool writeLogical(const ConfigKey& key, bool value);
    static bool writeInt(const ConfigKey& key, int32_t value);
    static bool writeScrambled(const ConfigKey& key, const Text& plain);
    // One write per key, in the group's order; every key is written even after a failure.
    static bool writeGroup(const KeyGroup& group, const std::vector<Text>& values);
};

}  // namespace ld
