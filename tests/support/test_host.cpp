#include "support/test_host.h"

#include <algorithm>
#include <stdexcept>

namespace ld::test {

int ScriptedDialogs::showMessage(const Text& message, int style, const Text& caption) {
    messages.push_back({message, style, caption});
    if (whileMessageShown) {
        auto fn = std::move(whileMessageShown);
        whileMessageShown = nullptr;
        fn();
    }
    if (messageAnswers.empty()) return msg::kAnswerOk;
    int a = messageAnswers.front();
    messageAnswers.pop_front();
    return a;
}

bool ScriptedDialogs::inputBox(const Text& prompt, const Text& caption, const Text& initial,
                               Text& value, bool masked) {
    inputs.push_back({prompt, caption, initial, masked});
    if (inputAnswers.empty()) return false;
    auto a = inputAnswers.front();
    inputAnswers.pop_front();
    if (!a) return false;
    value = *a;
    return true;
}

bool ScriptedDialogs::openFile(const Text& filter, Text& chosenPath) {
    fileFilters.push_back(filter);
    if (fileAnswers.empty()) return false;
    auto a = fileAnswers.front();
    fileAnswers.pop_front();
    if (!a) return false;
    chosenPath = *a;
    return true;
}

bool ScriptedDialogs::saveFile(const Text& filter, const Text&, Text& chosenPath) {
    return openFile(filter, chosenPath);
}

bool ScriptedDialogs::chooseFont(FontChoice& font) {
    fontsOffered.push_back(font);
    if (fontAnswers.empty()) return false;
    auto a = fontAnswers.front();
    fontAnswers.pop_front();
    if (!a) return false;
    font = *a;
    return true;
}

bool ScriptedDialogs::numberForm(const Text&, const Text&, int min, int max,
                                 std::vector<NumberField>& fields) {
    numberFormsShown.push_back(fields);
    if (numberFormAnswers.empty()) return false;
    auto a = numberFormAnswers.front();
    numberFormAnswers.pop_front();
    if (!a) return false;
    for (size_t i = 0; i < fields.size() && i < a->size(); ++i)
        fields[i].value = std::clamp((*a)[i], min, max);  // as the number boxes hold them
    return true;
}

bool RecordingShell::shellOpen(int verb, const Text& file) {
    calls.push_back({"shellOpen", file});
    return succeed;
}

bool RecordingShell::openInShell(const Text& target) {
    calls.push_back({"openInShell", target});
    return succeed;
}

bool RecordingShell::runProgram(const Text& commandLine, bool wait, int showMode) {
    calls.push_back({"runProgram", commandLine});
    return succeed;
}

void RecordingShell::exitProgram(int code) {
    exitCode = code;
    throw ProgramExit{code};
}

bool RecordingSound::playSound(const Bytes& data, bool loop) {
    sounds.push_back(data);
    return true;
}

void RecordingSound::stopSound() {
    ++stops;
    musicPlaying = false;
}

void RecordingSound::playMusic(int count, const std::vector<Text>& files) {
    musicPlaying = false;
    if (count == 0 || files.empty()) return;
    playlists.push_back(files);
    musicPlaying = true;
}

EventLoop::TimerId VirtualLoop::startTimer(int intervalMs, std::function<void()> tick) {
    TimerId id = nextId_++;
    timers_[id] = Timer{intervalMs, now_ + intervalMs, std::move(tick)};
    return id;
}

void VirtualLoop::stopTimer(TimerId id) { timers_.erase(id); }

void VirtualLoop::post(std::function<void()> fn) {
    std::lock_guard lock(postedMutex_);
    posted_.push_back(std::move(fn));
}

void VirtualLoop::runPosted() {
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard lock(postedMutex_);
            if (posted_.empty()) return;
            fn = std::move(posted_.front());
            posted_.pop_front();
        }
        fn();
    }
}

void VirtualLoop::advance(int64_t ms) {
    const int64_t target = now_ + ms;
    runPosted();
    for (;;) {
        // The earliest due timer; ties go to the one started first.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it)
            if (next == timers_.end() || it->second.due < next->second.due) next = it;
        if (next == timers_.end() || next->second.due > target) break;
        now_ = next->second.due;
        next->second.due += next->second.interval;
        auto tick = next->second.tick;  // the tick may stop or restart its own timer
        tick();
        runPosted();
    }
    now_ = target;
}

void VirtualLoop::waitProcessing(int ms) {
    ++waits;
    if (ms <= 0) return;
    advance(ms);
}

void VirtualLoop::runUntil(const std::function<bool()>& done) {
    runPosted();
    while (!done()) {
        if (modalScripts.empty())
            throw std::logic_error("modal loop entered with nothing scripted to end it");
        auto script = std::move(modalScripts.front());
        modalScripts.pop_front();
        script();
        runPosted();
    }
}

void ScriptedGui::windowLoaded(Window& window) {
    loaded.push_back(window.name());
    if (!active) active = &window;
}

void ScriptedGui::windowClosed(Window& window) {
    closed.push_back(window.name());
    if (active == &window) active = nullptr;
    if (focused && &focused->window() == &window) focused = nullptr;
}

std::optional<int> ScriptedGui::popupMenu(Window& window, const std::vector<PopupEntry>& menu) {
    menusShown.push_back(menu);
    if (menuChoices.empty()) return std::nullopt;
    auto c = menuChoices.front();
    menuChoices.pop_front();
    return c;
}

void ScriptedGui::moveLoop(Control& control) {
    if (moveTargets.empty()) return;  // released where it was pressed
    auto [x, y] = moveTargets.front();
    moveTargets.pop_front();
    control.setLeft(x);
    control.setTop(y);
}

TestHost::TestHost() {
    setHost(Host{&dialogs, &shell, &sound, &screen, &loop});
    setGui(&gui);
}

TestHost::~TestHost() {
    setHost(Host{});
    setGui(nullptr);
}

std::optional<int> CatchExit(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const ProgramExit& e) {
        return e.code;
    }
    return std::nullopt;
}

}  // namespace ld::test
