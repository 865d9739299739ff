// Everything the program needs from the outside world, behind small interfaces. The Qt
// host implements them for real; the test host (tests/support) scripts and records them.
// Code outside platform/ reaches the world only through `host()`.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "services/text.h"

namespace ld {

// Message box styles and answers, with the values of the Windows message box.
namespace msg {
constexpr int kOk = 0, kOkCancel = 1, kYesNoCancel = 3, kYesNo = 4;
constexpr int kIconStop = 0x10, kIconQuestion = 0x20, kIconWarning = 0x30, kIconInfo = 0x40;
constexpr int kAnswerOk = 0, kAnswerCancel = 1, kAnswerYes = 5, kAnswerNo = 6;
}  // namespace msg

struct FontChoice {
    Text face;          // GBK
    double points = 0;  // size in points
    bool bold = false, italic = false, underline = false, strikeOut = false;
    uint32_t color = 0;  // 0x00BBGGRR
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Modal message box; returns the answer code (msg::kAnswer*).
    virtual int showMessage(const Text& message, int style, const Text& caption) = 0;
    // Modal input box; true and `value` set on OK, false and `value` untouched on Cancel.
    virtual bool inputBox(const Text& prompt, const Text& caption, const Text& initial, Text& value,
                          bool masked) = 0;
    // File-open dialog; `filter` in the "description|pattern" form. The chosen path is
    // GBK (converted from the file system's name).
    virtual bool openFile(const Text& filter, Text& chosenPath) = 0;
    // File-save dialog with a suggested file name; the chosen path is GBK.
    virtual bool saveFile(const Text& filter, const Text& suggestedName, Text& chosenPath) = 0;
    // Font dialog that also offers the text colour; `font` holds the current choice.
    virtual bool chooseFont(FontChoice& font) = 0;
    // A small modal form of whole numbers: one row per field, its label, then `unit` and a
    // number box within [min, max] (a "%1" in `unit` stands for the box: what follows it is
    // shown after the box); buttons 保存 and 取消. True with the values set on 保存,
    // false with them untouched on 取消.
    struct NumberField {
        Text label;
        int value = 0;
    };
    virtual bool numberForm(const Text& caption, const Text& unit, int min, int max,
                            std::vector<NumberField>& fields) {
        return false;
    }
    // A modal list of entries to choose one from, `current` marked; the index chosen, or
    // nullopt on 取消.
    virtual std::optional<int> chooseFromList(const Text& caption, const Text& prompt,
                                              const std::vector<Text>& entries, int current) {
        return std::nullopt;
    }
    // The 奖项规则 window: per level, the groups with a check box each (none checked: the
    // level is open to everybody) and a list of names to type or paste. True with the
    // fields changed on 保存, false with them untouched on 取消 (and where no such window
    // exists).
    struct LevelRuleFields {
        Text level;
        std::vector<Text> groups;
        std::vector<bool> checked;  // one per group
        Text excluded;              // names separated by "、", "," or line ends
    };
    virtual bool levelRulesForm(const Text& caption, const Text& note,
                                std::vector<LevelRuleFields>& levels) {
        return false;
    }
    // A note that is not modal, for work that takes a while: `text` and a bar at `percent`
    // (0 to 100). It takes no activation, so the stage and its keys go on as before. Called
    // again it is updated in place; closeProgress removes it.
    virtual void showProgress(const Text& caption, const Text& text, int percent) {}
    virtual void closeProgress() {}
};

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a document with the desktop's default handler; false when that failed.
    virtual bool shellOpen(int verb, const Text& file) = 0;
    // Opens a folder window (or an address) with the desktop's handler.
    virtual bool openInShell(const Text& target) = 0;
    // Starts a program detached; `commandLine` is a GBK path plus arguments.
    virtual bool runProgram(const Text& commandLine, bool wait, int showMode) = 0;
    // Ends the program. Never returns into the caller.
    [[noreturn]] virtual void exitProgram(int code) = 0;
};

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual bool playSound(const Bytes& data, bool loop) = 0;
    virtual void stopSound() = 0;
    // count <= -1 forever, 0 nothing (the previous playlist is still removed).
    virtual void playMusic(int count, const std::vector<Text>& files) = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    // The stage's screen: the program's coordinates, its full-screen mode and the
    // celebration all refer to it.
    virtual int width() const = 0;
    virtual int height() const = 0;

    // The connected screens, numbered from 1: the primary screen first, then the others.
    struct Info {
        Text name;
        int width = 0, height = 0;
    };
    virtual std::vector<Info> screens() const { return {{Text(), width(), height()}}; }
    // Puts the stage on screen `number` (1 = primary); false, changing nothing, when there
    // is no such screen.
    virtual bool useStageScreen(int number) { return number == 1; }
    virtual int stageScreen() const { return 1; }
};

// The event loop with its clock and timers. All callbacks run on the UI thread.
class EventLoop {
public:
    using TimerId = int;
    virtual ~EventLoop() = default;
    // Monotonic milliseconds.
    virtual int64_t tickCount() const = 0;
    // Repeating timer; interval > 0. Returns an id for stopTimer.
    virtual TimerId startTimer(int intervalMs, std::function<void()> tick) = 0;
    virtual void stopTimer(TimerId id) = 0;
    // Runs `fn` after the current handler returns.
    virtual void post(std::function<void()> fn) = 0;
    // Keeps the user interface alive for at least `ms` milliseconds (timers and input are
    // handled inside), sleeping between events.
    virtual void waitProcessing(int ms) = 0;
    // Nested loop until `done` returns true (modal windows).
    virtual void runUntil(const std::function<bool()>& done) = 0;
};

struct Host {
    Dialogs* dialogs = nullptr;
    Shell* shell = nullptr;
    SoundOutput* sound = nullptr;
    Screen* screen = nullptr;
    EventLoop* loop = nullptr;
};

// The host in force; set once by main() or by a test fixture.
Host& host();
void setHost(const Host& h);

// Thrown by the test host's exitProgram and by the fatal runtime error under test, so
// that neither returns into the handler that called it. Nothing else crosses layers.
struct ProgramExit {
    int code = 0;
};

}  // namespace ld
