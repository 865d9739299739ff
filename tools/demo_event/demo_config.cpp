#include "demo_config.h"

#include "app/common/config_keys.h"
#include "roster.h"
#include "services/encoding.h"
#include "services/profile.h"

namespace ld::demo {

namespace {

class ConfigWriter {
public:
    explicit ConfigWriter(const std::string& folder) : path_(FileNameToGbk(folder) + "/peizhi.a") {}
    void put(const ConfigKey& key, const Text& value) {
        ok_ = WriteConfigText(path_, SectionName(key.section), key.name, value) && ok_;
    }
    void put(const ConfigKey& key, int value) { put(key, std::to_string(value)); }
    void put(const ConfigKey& key, bool value) { put(key, Gbk(value ? "真" : "假")); }
    bool ok() const { return ok_; }

private:
    Text path_;
    bool ok_ = true;
};

}  // namespace

bool WriteDemoConfig(const std::string& folder) {
    ConfigWriter config(folder);
    config.put(keys::MainTitle(), Gbk("年会幸运大抽奖（演示）"));
    config.put(keys::Subtitle(), Gbk("—— 演示活动：人名与照片均为虚构，由程序生成 ——"));
    for (int level = 1; level <= kLevelCount; ++level) {
        config.put(keys::LevelCount(level), kDemoLevels[level - 1].winners);
        config.put(keys::LevelName(level), Gbk(kDemoLevels[level - 1].name));
    }
    config.put(keys::RollSpeed(), 30);
    config.put(keys::AllowRepeat(), false);
    // Portrait photos: a box of their shape shows them large.
    config.put(keys::PhotoWidth(), 360);
    config.put(keys::PhotoHeight(), 480);
    config.put(keys::BackgroundMusic(), true);
    config.put(keys::NoEffects(), false);
    config.put(keys::HideButton(), false);
    // A window, so the demo can be looked at beside other windows and closed as usual.
    config.put(keys::WindowMode(), WindowedWord());
    return config.ok();
}

}  // namespace ld::demo
