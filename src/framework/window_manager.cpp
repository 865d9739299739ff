#include "framework/window_manager.h"

#include <algorithm>

#include "services/host.h"
#include "ui/gui.h"
#include "ui/hotkeys.h"

namespace ld {

namespace {
WindowManager* g_manager = nullptr;
}

WindowManager& windows() { return *g_manager; }
void setWindowManager(WindowManager* manager) { g_manager = manager; }

WindowManager::WindowManager(Factory factory) : factory_(std::move(factory)) {}

WindowManager::~WindowManager() {
    for (auto& [timer, id] : timers_) host().loop->stopTimer(id);
    timers_.clear();
    for (auto& w : loaded_) w->removeObserver(this);
}

bool WindowManager::loadWindow(std::string_view name, Window* parent, bool modal) {
    if (find(name)) return true;  // a window exists once
    std::unique_ptr<Window> created = factory_(name);
    if (!created) return false;
    created->setParent(parent);
    Window* w = created.get();
    loaded_.push_back(std::move(created));
    w->addObserver(this);
    if (hasGui()) gui().windowLoaded(*w);
    startTimersOf(*w);
    w->self().raise(ev::kCreated);
    if (modal) {
        std::string key(name);
        host().loop->runUntil([this, key] { return find(key) == nullptr; });
    }
    return true;
}

bool WindowManager::isLoaded(std::string_view name) const { return find(name) != nullptr; }

Window* WindowManager::find(std::string_view name) const {
    for (auto& w : loaded_)
        if (w->name() == name) return w.get();
    return nullptr;
}

Window& WindowManager::window(std::string_view name) {
    if (Window* w = find(name)) return *w;
    FatalRuntimeError(fatal::kNoSuchControl);
}

void WindowManager::closeWindow(std::string_view name) {
    std::string key(name);
    host().loop->post([this, key] { destroyWindow(key); });
}

void WindowManager::destroyWindow(std::string_view name) {
    auto it = std::find_if(loaded_.begin(), loaded_.end(),
                           [&](const auto& w) { return w->name() == name; });
    if (it == loaded_.end()) return;
    std::unique_ptr<Window> w = std::move(*it);
    loaded_.erase(it);
    stopTimersOf(*w);
    RemoveHotKeysOf(*w);
    w->removeObserver(this);
    if (hasGui()) gui().windowClosed(*w);
    if (loaded_.empty() && onLastClosed_) onLastClosed_();
}

void WindowManager::propertyChanged(Control& control, int index) {
    if (control.type() == ControlType::Timer && index == prop::kInterval) updateTimer(control);
}

void WindowManager::startTimersOf(Window& window) {
    for (auto& c : window.controls())
        if (c->type() == ControlType::Timer) updateTimer(*c);
}

void WindowManager::updateTimer(Control& timer) {
    auto it = timers_.find(&timer);
    if (it != timers_.end()) {
        host().loop->stopTimer(it->second);
        timers_.erase(it);
    }
    int interval = timer.getInt(prop::kInterval);
    if (interval <= 0) return;  // 0 or less means stopped
    Control* t = &timer;
    timers_[t] = host().loop->startTimer(interval, [t] { t->raise(ev::kTick); });
}

void WindowManager::stopTimersOf(Window& window) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (&it->first->window() == &window) {
            host().loop->stopTimer(it->second);
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace ld
