#include "framework/template_library.h"

#include <algorithm>

namespace ld {

namespace {

TemplateLibrary* g_templates = nullptr;

// MousePointer 99 is the custom cursor of the unit's record.
constexpr int32_t kCustomPointer = 99;

void ApplyUnit(Control& c, const tpl::UnitRecord& u) {
    c.setLeft(u.left);
    c.setTop(u.top);
    c.setWidth(u.width);
    c.setHeight(u.height);
    c.set(prop::kTag, u.tag);
    c.setVisible(u.visible());
    c.setDisabled(u.disabled());
    if (!u.cursor.empty()) c.setInt(prop::kMousePointer, kCustomPointer);
    for (const auto& [index, value] : u.properties) c.set(index, value);
}

Value CommonProperty(const tpl::UnitRecord& u, int index) {
    switch (index) {
        case prop::kLeft:
            return u.left;
        case prop::kTop:
            return u.top;
        case prop::kWidth:
            return u.width;
        case prop::kHeight:
            return u.height;
        case prop::kTag:
            return u.tag;
        case prop::kVisible:
            return u.visible();
        case prop::kDisable:
            return u.disabled();
        case prop::kMousePointer:
            return u.cursor.empty() ? 0 : kCustomPointer;
        default:
            FatalRuntimeError(fatal::kWindowNotLoaded);
    }
}

}  // namespace

bool TemplateLibrary::load(std::string_view block, std::string_view handlerNames,
                           const HandlerTable& routines, Text* error) {
    auto fail = [&](Text why) {
        if (error) *error = std::move(why);
        block_ = {};
        resolved_.clear();
        return false;
    };
    tpl::ReadResult read = tpl::ReadTemplateBlock(block);
    if (!read.block) return fail(read.error + " (offset " + std::to_string(read.offset) + ")");
    block_ = std::move(*read.block);
    resolved_.clear();
    auto resolve = [&](int32_t reference) -> bool {
        if (reference == tpl::kNoHandler || resolved_.count(reference)) return true;
        auto name = HandlerNameAt(handlerNames, reference);
        const Handler* routine = name ? routines.find(*name) : nullptr;
        if (!routine) return false;
        resolved_[reference] = *routine;
        return true;
    };
    for (const auto& w : block_.windows) {
        for (const auto& e : w.self.events)
            if (!resolve(e.handler)) return fail("unresolved handler in " + w.name);
        for (const auto& c : w.controls)
            for (const auto& e : c.events)
                if (!resolve(e.handler)) return fail("unresolved handler of " + c.name);
        for (const auto& m : w.menu)
            if (!resolve(m.handler)) return fail("unresolved handler of item " + m.caption);
    }
    return true;
}

const tpl::WindowRecord* TemplateLibrary::record(std::string_view window) const {
    for (const auto& w : block_.windows)
        if (w.name == window) return &w;
    return nullptr;
}

Text TemplateLibrary::firstWindow() const {
    return block_.windows.empty() ? Text() : block_.windows.front().name;
}

const Handler* TemplateLibrary::routine(int32_t reference) const {
    auto it = resolved_.find(reference);
    return it == resolved_.end() ? nullptr : &it->second;
}

std::unique_ptr<Window> TemplateLibrary::build(std::string_view window) const {
    const tpl::WindowRecord* rec = record(window);
    if (!rec) return nullptr;
    auto w = std::make_unique<Window>(rec->name, static_cast<int>(rec - block_.windows.data()));
    auto bind = [&](Control& c, const tpl::UnitRecord& u) {
        for (const auto& e : u.events)
            if (const Handler* h = routine(e.handler)) c.bind(e.event, *h);
    };
    ApplyUnit(w->self(), rec->self);
    bind(w->self(), rec->self);
    std::map<uint32_t, Control*> byNumber;
    for (const auto& u : rec->controls) {
        Control& c = w->add(u.type, u.name);
        ApplyUnit(c, u);
        bind(c, u);
        byNumber[u.number] = &c;
    }
    // Containers hold their children in the order their record lists them; the reader has
    // checked that parents and children agree.
    for (const auto& u : rec->controls) {
        Control* c = byNumber[u.number];
        if (u.parent != 0) c->setParent(byNumber[u.parent]);
        for (uint32_t child : u.children) c->addChild(byNumber[child]);
    }
    for (const auto& m : rec->menu) {
        MenuItem item;
        item.caption = m.caption;
        item.level = m.level;
        item.shortcut = m.shortcut;
        item.hidden = m.flags & tpl::kMenuHidden;
        item.disabled = m.flags & tpl::kMenuDisabled;
        item.checked = m.flags & tpl::kMenuChecked;
        item.handlerRef = m.handler;
        if (const Handler* h = routine(m.handler)) item.selected = *h;
        w->menu().push_back(std::move(item));
    }
    return w;
}

Value TemplateLibrary::unloadedProperty(std::string_view window, std::string_view control,
                                        int index) const {
    const tpl::WindowRecord* rec = record(window);
    if (!rec) FatalRuntimeError(fatal::kNoSuchWindow);
    for (const auto& u : rec->controls)
        if (u.name == control) return CommonProperty(u, index);
    FatalRuntimeError(fatal::kNoSuchControl);
}

Value TemplateLibrary::unloadedMenuProperty(std::string_view window, std::string_view caption,
                                            int index) const {
    const tpl::WindowRecord* rec = record(window);
    if (!rec) FatalRuntimeError(fatal::kNoSuchWindow);
    for (const auto& m : rec->menu) {
        if (m.caption != caption) continue;
        switch (index) {
            case menuprop::kCaption:
                return m.caption;
            case menuprop::kChecked:
                return (m.flags & tpl::kMenuChecked) != 0;
            case menuprop::kDisabled:
                return (m.flags & tpl::kMenuDisabled) != 0;
            case menuprop::kVisible:
                return (m.flags & tpl::kMenuHidden) == 0;
            default:
                FatalRuntimeError(fatal::kWindowNotLoaded);
        }
    }
    FatalRuntimeError(fatal::kNoSuchControl);
}

TemplateLibrary& templates() { return *g_templates; }
bool hasTemplates() { return g_templates != nullptr; }
void setTemplates(TemplateLibrary* library) { g_templates = library; }

bool LoadWindow(std::string_view window, Window* parent, bool modal) {
    return windows().loadWindow(window, parent, modal);
}

bool IsWindowLoaded(std::string_view window) { return windows().isLoaded(window); }

void CloseWindow(std::string_view window) {
    if (!windows().isLoaded(window)) FatalRuntimeError(fatal::kNoSuchControl);
    windows().closeWindow(window);
}

Value ReadProperty(std::string_view window, std::string_view control, int index) {
    if (Window* w = windows().find(window)) return w->control(control).get(index);
    return templates().unloadedProperty(window, control, index);
}

Value ReadMenuProperty(std::string_view window, std::string_view caption, int index) {
    Window* w = windows().find(window);
    if (!w) return templates().unloadedMenuProperty(window, caption, index);
    const MenuItem& m = w->menuItem(caption);
    switch (index) {
        case menuprop::kCaption:
            return m.caption;
        case menuprop::kChecked:
            return m.checked;
        case menuprop::kDisabled:
            return m.disabled;
        case menuprop::kVisible:
            return !m.hidden;
        default:
            return Value{};
    }
}

}  // namespace ld
