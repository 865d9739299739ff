// The program's windows as read from the template block, with every handler reference
// resolved to its routine: builds windows for the WindowManager (LoadWindow) and answers
// property reads on windows that are not loaded.
#pragma once

#include <map>
#include <memory>
#include <string_view>

#include "framework/handler_table.h"
#include "framework/template_block.h"
#include "framework/window_manager.h"

namespace ld {

// Property indices of a menu item read by index.
namespace menuprop {
constexpr int kCaption = 0, kChecked = 1, kDisabled = 2, kVisible = 3;
}

class TemplateLibrary {
public:
    // Reads the block and resolves every handler reference through `routines`. False, with
    // `error` telling why, when the block is malformed or a reference names no routine.
    bool load(std::string_view block, std::string_view handlerNames, const HandlerTable& routines,
              Text* error = nullptr);

    const std::vector<tpl::WindowRecord>& windows() const { return block_.windows; }
    const tpl::WindowRecord* record(std::string_view window) const;
    // The window start-up loads: the first of the block.
    Text firstWindow() const;

    // A window with its controls, initial values, menu and bindings; nullptr when the
    // program has no window of that name.
    std::unique_ptr<Window> build(std::string_view window) const;
    WindowManager::Factory factory() const {
        return [this](std::string_view name) { return build(name); };
    }

    // From the record of a window that is not loaded: properties 0..7 of a control, and the
    // menuprop:: values of a menu item. Index 8 and above is the fatal error "指定窗口尚未载入";
    // a window the program does not have, or a control or item it lacks, is fatal too.
    Value unloadedProperty(std::string_view window, std::string_view control, int index) const;
    Value unloadedMenuProperty(std::string_view window, std::string_view caption, int index) const;

private:
    const Handler* routine(int32_t reference) const;

    tpl::TemplateBlock block_;
    std::map<int32_t, Handler> resolved_;
};

// The library in force (set by program start-up or a test fixture).
TemplateLibrary& templates();
bool hasTemplates();
void setTemplates(TemplateLibrary* library);

// The window services of the application, by window name.
bool LoadWindow(std::string_view window, Window* parent = nullptr, bool modal = false);
bool IsWindowLoaded(std::string_view window);
void CloseWindow(std::string_view window);
// A property of a control of any window: live when the window is loaded, else from its
// template (see TemplateLibrary::unloadedProperty).
Value ReadProperty(std::string_view window, std::string_view control, int index);
Value ReadMenuProperty(std::string_view window, std::string_view caption, int index);

}  // namespace ld
