// The test host: scripted dialogs, a recording shell and sound, a fixed screen, a virtual
// clock with timers, and scripted gestures. A TestHost installs itself for its lifetime.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "services/host.h"
#include "ui/gui.h"

namespace ld::test {

struct ShownMessage {
    Text text;
    int style = 0;
    Text caption;
};

struct ShownInput {
    Text prompt, caption, initial;
    bool masked = false;
};

class ScriptedDialogs : public Dialogs {
public:
    // Answers are taken in order; with none scripted a message box answers OK (0) and the
    // other dialogs are cancelled.
    std::deque<int> messageAnswers;
    std::deque<std::optional<Text>> inputAnswers;  // nullopt: Cancel
    std::deque<std::optional<Text>> fileAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;

    std::vector<ShownMessage> messages;
    std::vector<ShownInput> inputs;
    std::vector<Text> fileFilters;
    std::vector<FontChoice> fontsOffered;
    // Runs while a message box is "open" (to test what happens inside a modal loop).
    std::function<void()> whileMessageShown;

    int showMessage(const Text& message, int style, const Text& caption) override;
    bool inputBox(const Text& prompt, const Text& caption, const Text& initial, Text& value,
                  bool masked) override;
    bool openFile(const Text& filter, Text& chosenPath) override;
    // Takes its answer from fileAnswers as well.
    bool saveFile(const Text& filter, const Text& suggestedName, Text& chosenPath) override;
    bool chooseFont(FontChoice& font) override;
    // The values a number form is saved with; nullopt (or none scripted): cancelled.
    std::deque<std::optional<std::vector<int>>> numberFormAnswers;
    std::vector<std::vector<NumberField>> numberFormsShown;
    bool numberForm(const Text& caption, const Text& unit, int min, int max,
                    std::vector<NumberField>& fields) override;
    // Edits a rules form before 保存; nullopt (or none scripted): cancelled.
    using RulesEdit = std::function<void(std::vector<LevelRuleFields>&)>;
    std::deque<std::optional<RulesEdit>> rulesAnswers;
    std::vector<std::vector<LevelRuleFields>> rulesShown;
    bool levelRulesForm(const Text&, const Text&, std::vector<LevelRuleFields>& levels) override {
        rulesShown.push_back(levels);
        if (rulesAnswers.empty() || !rulesAnswers.front()) {
            if (!rulesAnswers.empty()) rulesAnswers.pop_front();
            return false;
        }
        (*rulesAnswers.front())(levels);
        rulesAnswers.pop_front();
        return true;
    }
    // The progress note: each text it showed, with its percent; open until closeProgress.
    std::vector<std::pair<Text, int>> progressShown;
    bool progressOpen = false;
    void showProgress(const Text&, const Text& text, int percent) override {
        progressShown.emplace_back(text, percent);
        progressOpen = true;
    }
    void closeProgress() override { progressOpen = false; }
    std::deque<std::optional<int>> listAnswers;  // chosen index; nullopt (or none): cancelled
    std::vector<std::vector<Text>> listsShown;
    std::optional<int> chooseFromList(const Text&, const Text&, const std::vector<Text>& entries,
                                      int) override {
        listsShown.push_back(entries);
        if (listAnswers.empty()) return std::nullopt;
        auto a = listAnswers.front();
        listAnswers.pop_front();
        return a;
    }
};

class RecordingShell : public Shell {
public:
    struct Call {
        std::string what;  // "shellOpen", "openInShell", "runProgram"
        Text argument;
    };
    std::vector<Call> calls;
    bool succeed = true;
    std::optional<int> exitCode;

    bool shellOpen(int verb, const Text& file) override;
    bool openInShell(const Text& target) override;
    bool runProgram(const Text& commandLine, bool wait, int showMode) override;
    // Records the code and unwinds the handler with ProgramExit.
    [[noreturn]] void exitProgram(int code) override;
};

class RecordingSound : public SoundOutput {
public:
    std::vector<Bytes> sounds;  // what playSound was given
    std::vector<std::vector<Text>> playlists;
    int stops = 0;
    bool musicPlaying = false;

    bool playSound(const Bytes& data, bool loop) override;
    void stopSound() override;
    void playMusic(int count, const std::vector<Text>& files) override;
};

class FixedScreen : public Screen {
public:
    int w = 1920, h = 1080;
    std::vector<Info> extra;  // screens 2, 3, … beside the primary one (w x h)
    int stage = 1;
    int width() const override { return stage == 1 ? w : extra[size_t(stage - 2)].width; }
    int height() const override { return stage == 1 ? h : extra[size_t(stage - 2)].height; }
    std::vector<Info> screens() const override {
        std::vector<Info> all{{"PRIMARY", w, h}};
        all.insert(all.end(), extra.begin(), extra.end());
        return all;
    }
    bool useStageScreen(int number) override {
        if (number < 1 || number > int(extra.size()) + 1) return false;
        stage = number;
        return true;
    }
    int stageScreen() const override { return stage; }
};

// Time moves only when a test advances it; timers fire in due order.
class VirtualLoop : public EventLoop {
public:
    int64_t tickCount() const override { return now_; }
    TimerId startTimer(int intervalMs, std::function<void()> tick) override;
    void stopTimer(TimerId id) override;
    void post(std::function<void()> fn) override;
    void waitProcessing(int ms) override;
    void runUntil(const std::function<bool()>& done) override;

    // Moves the clock forward, firing every due tick in order and the posted work after
    // each callback.
    void advance(int64_t ms);
    // Runs posted work (as the real loop does once the current handler has returned).
    void runPosted();
    bool timerRunning(TimerId id) const { return timers_.count(id) != 0; }
    size_t runningTimers() const { return timers_.size(); }
    // Runs inside the next modal loop (runUntil); it must end the loop.
    std::deque<std::function<void()>> modalScripts;
    int waits = 0;  // how many times waitProcessing was called

private:
    struct Timer {
        int interval;
        int64_t due;
        std::function<void()> tick;
    };
    int64_t now_ = 1000;
    int nextId_ = 1;
    std::map<TimerId, Timer> timers_;
    std::mutex postedMutex_;  // workers post too
    std::deque<std::function<void()>> posted_;
};

class ScriptedGui : public Gui {
public:
    std::vector<Text> loaded, closed;  // window names
    Control* focused = nullptr;
    std::vector<std::pair<Control*, int>> zOrders;
    std::deque<std::optional<int>> menuChoices;  // commands chosen from pop-up menus
    std::vector<std::vector<PopupEntry>> menusShown;
    std::deque<std::pair<int, int>> moveTargets;  // end positions of move loops
    Window* active = nullptr;

    void windowLoaded(Window& window) override;
    void windowClosed(Window& window) override;
    void setFocus(Control& control) override { focused = &control; }
    void setZOrder(Control& control, int layer) override { zOrders.emplace_back(&control, layer); }
    std::optional<int> popupMenu(Window& window, const std::vector<PopupEntry>& menu) override;
    void moveLoop(Control& control) override;
    Window* activeWindow() override { return active; }
    std::optional<CheckinPanelView> checkinPanel;  // while shown
    void showCheckinPanel(Window&, const CheckinPanelView& panel) override { checkinPanel = panel; }
    void hideCheckinPanel(Window&) override { checkinPanel.reset(); }
    std::optional<CheckinScreenView> checkinScreen;  // while shown
    void showCheckinScreen(Window&, const CheckinScreenView& view) override {
        checkinScreen = view;
    }
    void hideCheckinScreen(Window&) override { checkinScreen.reset(); }
    std::optional<int> consoleScreen;  // while the console is open
    ConsoleActions console;
    bool clickerKeys = false;
    void openConsole(int screen, const ConsoleActions& actions) override {
        consoleScreen = screen;
        console = actions;
    }
    void closeConsole() override { consoleScreen.reset(); }
    void setClickerKeys(bool on) override { clickerKeys = on; }
    std::optional<BatchGridView> batchGrid;  // while shown
    int batchGridUpdates = 0;
    void showBatchGrid(Window&, const BatchGridView& grid) override {
        batchGrid = grid;
        ++batchGridUpdates;
    }
    void hideBatchGrid(Window&) override { batchGrid.reset(); }
    std::map<Text, Text> notices;  // by window name
    void setStageNotice(Window& window, const Text& text) override {
        notices[window.name()] = text;
    }
};

class TestHost {
public:
    TestHost();
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    ScriptedDialogs dialogs;
    RecordingShell shell;
    RecordingSound sound;
    FixedScreen screen;
    VirtualLoop loop;
    ScriptedGui gui;
};

// Runs `fn` and returns the exit code if it ended the program (ProgramExit), else nullopt.
std::optional<int> CatchExit(const std::function<void()>& fn);

}  // namespace ld::test
