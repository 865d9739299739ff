// The windows of the program: creating them from their templates (LoadWindow), the
// loaded state, posted closing, and the timers that Timer controls run on the host's loop.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "ui/window.h"

namespace ld {

class WindowManager : private ModelObserver {
public:
    // Builds a window (controls, values, bindings) from its template; nullptr when the
    // program has no window of that name.
    using Factory = std::function<std::unique_ptr<Window>(std::string_view name)>;

    explicit WindowManager(Factory factory);
    ~WindowManager() override;

    // Creates the window, announces it to the Gui, raises its created event; a modal window
    // then runs a nested loop until it is closed. False when it could not be created.
    bool loadWindow(std::string_view name, Window* parent = nullptr, bool modal = false);
    bool isLoaded(std::string_view name) const;
    // Posted: the window closes after the current handler returns.
    void closeWindow(std::string_view name);
    // Closes at once (the last step of a posted close, and program exit).
    void destroyWindow(std::string_view name);

    // A loaded window; the fatal runtime error when it is not loaded.
    Window& window(std::string_view name);
    Window* find(std::string_view name) const;
    size_t loadedCount() const { return loaded_.size(); }

    // Called when the last window has gone.
    void setOnLastWindowClosed(std::function<void()> fn) { onLastClosed_ = std::move(fn); }

private:
    void propertyChanged(Control& control, int index) override;
    void startTimersOf(Window& window);
    void updateTimer(Control& timer);
    void stopTimersOf(Window& window);

    Factory factory_;
    std::vector<std::unique_ptr<Window>> loaded_;
    std::map<Control*, int> timers_;  // running timer controls and their host timer ids
    std::function<void()> onLastClosed_;
};

// The manager in force (set by program start-up or a test fixture).
WindowManager& windows();
void setWindowManager(WindowManager* manager);

}  // namespace ld
