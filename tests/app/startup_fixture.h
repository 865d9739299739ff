// The draw screen under the test host for start-up, exit and reset: a configuration written
// as text, photos by name, keys read back as stored, and a picture that decodes.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "app/common/config_keys.h"
#include "media/jpeg_encoder.h"
#include "services/profile.h"
#include "stage_fixture.h"

namespace ld::test {

class StartupTest : public StageTest {
protected:
    // peizhi.a from UTF-8 INI text (lines ended by CR LF), stored as GBK.
    void configure(std::string_view utf8Ini) { folder.write("peizhi.a", Gbk(utf8Ini)); }
    // A key of peizhi.a as stored; nullopt when absent.
    std::optional<Text> stored(const ConfigKey& key) {
        const Text absent = "\x01";
        Text v = ReadConfigText(ConfigStore::path(), SectionName(key.section), key.name, absent);
        if (v == absent) return std::nullopt;
        return v;
    }
    void makeFolder(const std::string& utf8Name) {
        std::filesystem::create_directories(folder.diskPath(utf8Name));
    }
    void photos(std::initializer_list<const char*> utf8Names) {
        makeFolder("photo");
        for (const char* name : utf8Names) folder.write(std::string("photo/") + name, "jpeg");
    }
    Text text(std::string_view utf8Name) { return control(utf8Name).text(); }
    bool checked(std::string_view utf8Name) { return control(utf8Name).getBool(prop::kChecked); }
    bool menuChecked(std::string_view utf8Caption) {
        return app::Stage().menuItem(Gbk(utf8Caption)).checked;
    }
    // Runs a pop-up menu command as the menu does.
    void choose(std::string_view utf8Caption) {
        Window& stage = app::Stage();
        EventArgs args;
        stage.menuItem(Gbk(utf8Caption)).selected(stage.self(), args);
    }
    // The close button: the may-be-closed event and its answer.
    bool requestClose() {
        EventArgs args;
        app::Stage().self().raise(ev::kMayClose, args);
        return args.allow;
    }
    // Starts the program again in the same folder, as the next run would.
    Window& restart() {
        manager.destroyWindow(app::kMainWindow);
        app::InitialiseApplication();
        host.dialogs.messages.clear();
        return start();
    }
    const ShownMessage& message(size_t index) { return host.dialogs.messages.at(index); }

    static std::string Picture() {
        Image image(4, 4);
        for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = i % 4 == 3 ? 255 : 90;
        return EncodeJpeg(image);
    }
};

}  // namespace ld::test
