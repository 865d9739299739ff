#include "framework/popup_menu.h"

namespace ld {

namespace {

constexpr int kShortcutCtrl = 0x100, kShortcutShift = 0x200, kShortcutAlt = 0x400;

class MenuBuilder {
public:
    explicit MenuBuilder(const std::vector<MenuItem>& items) : items_(items) {}

    // Entries for the items from `first` on while they are deeper than `level`; returns
    // them and leaves `next` on the first item that is not.
    std::vector<PopupEntry> build(size_t first, int level, size_t& next) {
        std::vector<PopupEntry> entries;
        size_t i = first;
        while (i < items_.size() && items_[i].level > level) {
            const MenuItem& item = items_[i];
            size_t end = i + 1;
            while (end < items_.size() && items_[end].level > item.level) ++end;
            if (!item.hidden) entries.push_back(entry(i, end));
            i = end;  // a hidden item takes its descendants with it
        }
        next = i;
        return entries;
    }

private:
    PopupEntry entry(size_t index, size_t end) {
        const MenuItem& item = items_[index];
        PopupEntry e;
        e.item = index;
        e.caption = item.caption;
        e.disabled = item.disabled;
        e.checked = item.checked;
        e.shortcut = ShortcutText(item.shortcut);
        if (item.caption == "-") {
            e.separator = true;
        } else if (end > index + 1) {
            size_t next = 0;
            e.submenu = build(index + 1, item.level, next);
            if (e.submenu.empty()) e.disabled = true;  // everything under it is hidden
        } else {
            e.command = command_++;
        }
        return e;
    }

    const std::vector<MenuItem>& items_;
    int command_ = kFirstMenuCommand;
};

const PopupEntry* FindCommand(const std::vector<PopupEntry>& entries, int command) {
    for (const auto& e : entries) {
        if (e.command == command && !e.separator && e.submenu.empty()) return &e;
        if (const PopupEntry* found = FindCommand(e.submenu, command)) return found;
    }
    return nullptr;
}

}  // namespace

std::vector<PopupEntry> BuildPopupMenu(const std::vector<MenuItem>& items, size_t root) {
    if (root >= items.size()) return {};
    size_t next = 0;
    return MenuBuilder(items).build(root + 1, items[root].level, next);
}

void RunPopupMenu(Window& window, size_t root) {
    std::vector<PopupEntry> menu = BuildPopupMenu(window.menu(), root);
    if (menu.empty()) return;
    std::optional<int> chosen = gui().popupMenu(window, menu);
    if (chosen) RunMenuCommand(window, menu, *chosen);
}

void RunMenuCommand(Window& window, const std::vector<PopupEntry>& menu, int command) {
    const PopupEntry* e = FindCommand(menu, command);
    if (!e || e->disabled) return;
    // Copied: the handler may change the menu while it runs.
    Handler selected = window.menu()[e->item].selected;
    if (!selected) return;  // no handler and nothing under it: nothing happens
    EventArgs args;
    selected(window.self(), args);
}

Text ShortcutText(int keyCode) {
    const int key = keyCode & 0xFF;
    if (key == 0) return {};
    Text text;
    if (keyCode & kShortcutCtrl) text += "Ctrl+";
    if (keyCode & kShortcutShift) text += "Shift+";
    if (keyCode & kShortcutAlt) text += "Alt+";
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        text += static_cast<char>(key);
    else if (key >= 0x70 && key <= 0x87)  // F1 .. F24
        text += "F" + std::to_string(key - 0x70 + 1);
    else if (key == 0x2E)
        text += "Del";
    else if (key == 0x2D)
        text += "Ins";
    else
        text += "#" + std::to_string(key);
    return text;
}

}  // namespace ld
