// The draw screen ready for drawing: the prize table, the pool and the selector are laid out
// by the test after start-up has run, photos are made on the spot, and the previews of the
// roll are made by one worker that the test can wait for.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/draw/draw_engine.h"
#include "media/jpeg_encoder.h"
#include "stage_fixture.h"

namespace ld::test {

// A JPEG of one colour, `size` pixels square.
inline std::string SolidJpeg(int size, uint8_t red) {
    Image image(size, size);
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = red;
        image.rgba[i + 3] = 255;
    }
    return EncodeJpeg(image);
}

// A photo as cameras write them: a small preview embedded in a block after the start marker.
inline std::string PhotoWithPreview(uint8_t red) {
    JpegEncodeOptions options;
    options.segments.push_back({0xE1, "LDpv" + SolidJpeg(16, red)});
    Image image(64, 48);
    return EncodeJpeg(image, options);
}

class DrawTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        start();
        PhotoPreviewOptions options = app::RollPreviewOptions();
        options.workerThreads = 1;
        app::UseRollPreviews(std::make_unique<PhotoPreviews>(options));
        app::SeedWinnerPickerForTest(20240601);
        // Start-up fills these from the configuration; the tests lay out their own.
        for (int level = 1; level <= 8; ++level) setLevel(level, "", "");
        control("编辑框_滚动速度").setTextValue("30");
        disableEffects(false);
        allowRepeats(false);
    }
    void TearDown() override {
        app::RollPreviews().waitIdle();
        StageTest::TearDown();
    }

    DrawState& state() { return app::State().draw; }
    // The program ends, or dies (nothing of it runs any more), and starts again in the same
    // folder, answering start-up's questions with `answers`.
    void startAgain(std::initializer_list<int> answers) {
        app::RollPreviews().waitIdle();
        manager.destroyWindow(app::kMainWindow);
        app::InitialiseApplication();
        host.dialogs.messages.clear();
        host.dialogs.messageAnswers = answers;
        start();
    }

    void setLevel(int level, const std::string& name, const std::string& count) {
        control("编辑框_奖项" + std::to_string(level)).setTextValue(Gbk(name));
        control("编辑框_奖项人数" + std::to_string(level)).setTextValue(count);
    }
    // The first, second or third designated winner of a level.
    void designate(int level, int rank, const std::string& name) {
        control("编辑框_中奖人" + std::string(static_cast<size_t>(rank), char('0' + level)))
            .setTextValue(Gbk(name));
    }
    void setPool(std::initializer_list<const char*> names) {
        state().poolText.clear();
        for (const char* name : names) state().poolText += Gbk(name) + "\r\n";
    }
    void allowRepeats(bool on) { control("选择框_是否允许重复抽奖").setBool(prop::kChecked, on); }
    void disableEffects(bool on) { control("选择框_禁用特效").setBool(prop::kChecked, on); }

    // The operator chooses the item of the selector that has this text (UTF-8).
    void choose(const std::string& level) {
        Control& selector = control("组合框1");
        selector.clearItems();
        int chosen = -1;
        for (int n = 1; n <= 8; ++n) {
            Text name = control("编辑框_奖项" + std::to_string(n)).text();
            if (name.empty()) continue;
            int index = selector.addItem(name);
            if (chosen < 0 && name == Gbk(level)) chosen = index;
        }
        selector.chooseItem(chosen);
        raise("组合框1", ev::kItemChosen);
    }

    void click() { raise("超级按钮", ev::kClicked); }
    void enter() { raise("标签1_抽奖大标题", ev::kNotification); }
    // A start and a stop, then the pause after the stop runs out (the celebration, when
    // effects are on, runs inside the stop).
    void drawOne() {
        click();
        click();
        host.loop.advance(200);
    }

    void writePhoto(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(folder.diskPath("photo"));
        folder.write("photo/" + name + ".jpg", bytes);
    }

    Text caption() { return control("超级按钮").text(); }
    Text shownPicture() { return control("图片框_照片").getText(prop::kPicture); }
    std::vector<ShownMessage>& messages() { return host.dialogs.messages; }
    bool lastMessageIs(const std::string& text, int style, const std::string& caption) {
        if (messages().empty()) return false;
        const ShownMessage& m = messages().back();
        return m.text == Gbk(text) && m.style == style && m.caption == Gbk(caption);
    }
    static Text Lines(std::initializer_list<Text> names) {
        Text text;
        for (const Text& name : names) text += name + "\r\n";
        return text;
    }
};

}  // namespace ld::test
