#include "ui/hotkeys.h"

#include <algorithm>
#include <vector>

namespace ld {

namespace {

struct HotKey {
    int id;
    Window* window;
    Control* target;
    int modifiers;
    int key;
};

std::vector<HotKey> g_keys;
int g_lastId = 0x80E8;

}  // namespace

int AddHotKey(Window& window, Control& target, int modifiers, int virtualKey) {
    if (modifiers < 0 || modifiers > 7) return 0;
    g_keys.push_back({++g_lastId, &window, &target, modifiers, virtualKey});
    return g_lastId;
}

void RemoveHotKey(Window& window, int id) {
    std::erase_if(g_keys, [&](const HotKey& k) { return k.id == id && k.window == &window; });
}

void RemoveHotKeysOf(Window& window) {
    std::erase_if(g_keys, [&](const HotKey& k) { return k.window == &window; });
}

bool HasHotKey(int modifiers, int virtualKey) {
    return std::any_of(g_keys.begin(), g_keys.end(), [&](const HotKey& k) {
        return k.modifiers == modifiers && k.key == virtualKey;
    });
}

bool DispatchHotKey(int modifiers, int virtualKey) {
    for (const HotKey& k : g_keys) {
        if (k.modifiers == modifiers && k.key == virtualKey) {
            Control* target = k.target;
            return target->raise(ev::kNotification);
        }
    }
    return false;
}

}  // namespace ld
