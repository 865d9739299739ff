#include "ui/window.h"

#include <algorithm>

#include "services/host.h"

namespace ld {

namespace fatal {
const char* const kNoSuchControl =
    "\xd6\xb8\xb6\xa8\xb4\xb0\xbf\xda\xbb\xf2\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe\xb2\xbb\xb4\xe6"
    "\xd4\xda\xbb\xf2\xc9\xd0\xce\xb4\xd4\xd8\xc8\xeb";  // 指定窗口或窗口组件不存在或尚未载入
const char* const kWindowNotLoaded =
    "\xd6\xb8\xb6\xa8\xb4\xb0\xbf\xda\xc9\xd0\xce\xb4\xd4\xd8\xc8\xeb";  // 指定窗口尚未载入
const char* const kNoSuchWindow =
    "\xce\xb4\xd4\xd8\xc8\xeb\xd3\xfb\xb7\xc3\xce\xca\xb4\xb0\xbf\xda\xd7\xe9\xbc\xfe\xcb\xf9"
    "\xd4\xda\xb5\xc4\xb4\xb0\xbf\xda";  // 未载入欲访问窗口组件所在的窗口
}  // namespace fatal

void FatalRuntimeError(const Text& reason) {
    // "运行时出错!" then the reason on its own line.
    Text message = Text("\xd4\xcb\xd0\xd0\xca\xb1\xb3\xf6\xb4\xed!") + "\r\n" + reason;
    if (host().dialogs) host().dialogs->showMessage(message, 0x10, Text());
    if (host().shell) host().shell->exitProgram(-1);
    std::abort();
}

Window::Window(Text name, int templateIndex)
    : name_(std::move(name)),
      templateIndex_(templateIndex),
      self_(std::make_unique<Control>(*this, ControlType::Window, Text())) {}

Window::~Window() = default;

Control& Window::add(ControlType type, Text name) {
    controls_.push_back(std::make_unique<Control>(*this, type, std::move(name)));
    return *controls_.back();
}

Control* Window::find(std::string_view name) {
    for (auto& c : controls_)
        if (c->name() == name) return c.get();
    return nullptr;
}

Control& Window::control(std::string_view name) {
    if (Control* c = find(name)) return *c;
    FatalRuntimeError(fatal::kNoSuchControl);
}

MenuItem& Window::menuItem(std::string_view caption) {
    for (auto& m : menu_)
        if (m.caption == caption) return m;
    FatalRuntimeError(fatal::kNoSuchControl);
}

void Window::setMenuChecked(std::string_view caption, bool checked) {
    for (size_t i = 0; i < menu_.size(); ++i) {
        if (menu_[i].caption == caption) {
            menu_[i].checked = checked;
            for (auto* o : observers_) o->menuChanged(*this, i);
            return;
        }
    }
    FatalRuntimeError(fatal::kNoSuchControl);
}

void Window::addObserver(ModelObserver* observer) { observers_.push_back(observer); }

void Window::removeObserver(ModelObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer),
                     observers_.end());
}

}  // namespace ld
