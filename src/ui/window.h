// A window of the control model: its own unit (a Control of type Window that carries the
// caption, border, background and the window events), its controls and its menu items.
#pragma once

#include <memory>
#include <vector>

#include "ui/control.h"

namespace ld {

struct MenuItem {
    Text caption;
    int level = 1;
    int shortcut = 0;
    bool hidden = false, disabled = false, checked = false;
    Handler selected;  // empty: none
    int handlerRef = -1;
};

// What changes in the model, for the host that draws it.
class ModelObserver {
public:
    virtual ~ModelObserver() = default;
    virtual void propertyChanged(Control& control, int index) {}
    virtual void itemsChanged(Control& control) {}
    virtual void menuChanged(Window& window, size_t item) {}
};

class Window {
public:
    Window(Text name, int templateIndex);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window();

    const Text& name() const { return name_; }
    int templateIndex() const { return templateIndex_; }
    Control& self() { return *self_; }
    const Control& self() const { return *self_; }

    Control& add(ControlType type, Text name);
    // By name; the fatal runtime error when there is none.
    Control& control(std::string_view name);
    Control* find(std::string_view name);
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

    std::vector<MenuItem>& menu() { return menu_; }
    // By caption; the fatal runtime error when there is none.
    MenuItem& menuItem(std::string_view caption);
    void setMenuChecked(std::string_view caption, bool checked);

    Window* parent() const { return parent_; }
    void setParent(Window* parent) { parent_ = parent; }

    void addObserver(ModelObserver* observer);
    void removeObserver(ModelObserver* observer);
    const std::vector<ModelObserver*>& observers() const { return observers_; }

private:
    Text name_;
    int templateIndex_;
    std::unique_ptr<Control> self_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<MenuItem> menu_;
    Window* parent_ = nullptr;
    std::vector<ModelObserver*> observers_;
};

// The fatal runtime error: a message box "运行时出错!" with the reason, then the program
// ends. Never returns.
namespace fatal {
extern const char* const kNoSuchControl;    // "指定窗口或窗口组件不存在或尚未载入"
extern const char* const kWindowNotLoaded;  // "指定窗口尚未载入"
extern const char* const kNoSuchWindow;     // "未载入欲访问窗口组件所在的窗口"
}  // namespace fatal
[[noreturn]] void FatalRuntimeError(const Text& reason);

}  // namespace ld
