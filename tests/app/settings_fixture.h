// The draw screen under the test host, for the settings commands: menu commands by caption,
// fields by name, the keys of peizhi.a as written, and a tiny picture that decodes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "app/common/config_keys.h"
#include "services/profile.h"
#include "stage_fixture.h"

namespace ld::test {

class SettingsTest : public StageTest {
protected:
    // Loads the draw screen; whatever start-up said is forgotten.
    Window& begin() {
        Window& w = start();
        host.dialogs.messages.clear();
        return w;
    }

    // Runs a pop-up menu command as the menu does.
    void choose(std::string_view utf8Caption) {
        Window& stage = app::Stage();
        Handler selected = stage.menuItem(Gbk(utf8Caption)).selected;
        ASSERT_TRUE(selected) << utf8Caption;
        EventArgs args;
        selected(stage.self(), args);
        host.loop.runPosted();
    }
    bool menuChecked(std::string_view utf8Caption) {
        return app::Stage().menuItem(Gbk(utf8Caption)).checked;
    }

    Text text(std::string_view utf8Name) { return control(utf8Name).text(); }
    void type(std::string_view utf8Name, std::string_view utf8Text) {
        control(utf8Name).setTextValue(Gbk(utf8Text));
    }
    void click(std::string_view utf8Name) { raise(utf8Name, ev::kClicked); }
    // A check box is clicked: its check flips, then its clicked event runs.
    void tick(std::string_view utf8Name, bool checked) {
        control(utf8Name).setBool(prop::kChecked, checked);
        click(utf8Name);
    }

    // A key of peizhi.a as stored; nullopt when the key is absent.
    std::optional<Text> stored(ConfigSection section, std::string_view utf8Key) {
        return storedValue(section, Gbk(utf8Key));
    }
    std::optional<Text> stored(const ConfigKey& key) { return storedValue(key.section, key.name); }
    std::optional<Text> storedValue(ConfigSection section, const Text& key) {
        const Text absent =
            "\x01"
            "absent";
        Text v = ReadConfigText(ConfigStore::path(), SectionName(section), key, absent);
        if (v == absent) return std::nullopt;
        return v;
    }

    const ShownMessage& lastMessage() {
        static const ShownMessage none;
        return host.dialogs.messages.empty() ? none : host.dialogs.messages.back();
    }

    void makeFolder(const std::string& utf8Name) {
        std::filesystem::create_directories(folder.diskPath(utf8Name));
    }
};

// A 1 x 1 grey JPEG: the smallest file that makes a picture.
inline std::string TinyJpeg() {
    static const char hex[] =
        "ffd8ffe000104a46494600010100000100010000ffdb00430050373c463c32504641465a55505f78c88278"
        "6e6e78f5afb991c8ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff"
        "ffffffffc0000b080001000101011100ffc40014000100000000000000000000000000000000ffc4001410"
        "0100000000000000000000000000000000ffda0008010100003f003fffd9";
    std::string bytes;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex + i, 2), nullptr, 16)));
    return bytes;
}

}  // namespace ld::test
