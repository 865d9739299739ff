#include "platform/win32/key_filter.h"

#include "platform/win32/event_loop.h"
#include "ui/held_key_gate.h"
#include "ui/hotkeys.h"

namespace ld::win {

namespace {

bool g_clickers = false;
std::function<bool(HWND)> g_ours;
HeldKeyGate g_held;

bool ClassIs(HWND hwnd, const wchar_t* name) {
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    return lstrcmpiW(cls, name) == 0;
}

bool IsTextField(HWND hwnd) {
    if (!hwnd || !IsWindowEnabled(hwnd) || !ClassIs(hwnd, L"Edit")) return false;
    return !(GetWindowLongW(hwnd, GWL_STYLE) & ES_READONLY);
}

HWND ComboOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (ClassIs(hwnd, L"ComboBox")) return hwnd;
    HWND parent = GetParent(hwnd);
    return parent && ClassIs(parent, L"ComboBox") ? parent : nullptr;
}

bool IsButton(HWND hwnd) {
    return hwnd && (ClassIs(hwnd, L"Button") || ClassIs(hwnd, L"LdSuperButton"));
}

int ModifiersNow() {
    int state = 0;
    if (GetKeyState(VK_CONTROL) < 0) state |= 1;
    if (GetKeyState(VK_SHIFT) < 0) state |= 2;
    if (GetKeyState(VK_MENU) < 0) state |= 4;
    return state;
}

// The virtual keys the program can register: Enter, Space, Escape, Tab, digits, letters and
// the function keys, with the same codes as the hot-key table's.
int RegistrableKey(WPARAM vk) {
    if (vk == VK_RETURN || vk == VK_SPACE || vk == VK_ESCAPE || vk == VK_TAB) return static_cast<int>(vk);
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return static_cast<int>(vk);
    if (vk >= VK_F1 && vk <= VK_F12) return static_cast<int>(vk);
    return 0;
}

bool IsClickerKey(WPARAM vk) {
    return g_clickers && ModifiersNow() == 0 && (vk == VK_NEXT || vk == VK_PRIOR || vk == 'B');
}

// A held key repeats; one press is one start or stop, not a burst of them. Windows marks a
// repeat with the key's previous state (bit 30): it counts for nothing, yet the key is down.
bool FirstPress(const MSG& msg) {
    const bool first = g_held.press(static_cast<int>(msg.wParam), msg.time);
    return first && !(msg.lParam & (1 << 30));
}

bool ActiveIsOurs() { return g_ours && g_ours(GetActiveWindow()); }

// Tab and Shift + Tab walk the fields of our windows (the settings panel, the password
// window) as in a dialog; a multi-line field keeps its Tab.
bool MoveFocusWithTab(int modifiers) {
    if ((modifiers & ~2) != 0 || !ActiveIsOurs()) return false;
    HWND active = GetActiveWindow();
    HWND focus = GetFocus();
    if (!focus || (focus != active && !IsChild(active, focus))) return false;
    if (ClassIs(focus, L"Edit") && (GetWindowLongW(focus, GWL_STYLE) & ES_MULTILINE)) return false;
    HWND next = GetNextDlgTabItem(active, focus == active ? nullptr : focus, (modifiers & 2) != 0);
    if (!next || next == focus) return false;
    SetFocus(next);
    if (ClassIs(next, L"Edit")) SendMessageW(next, EM_SETSEL, 0, -1);
    return true;
}

// An open list that nothing is selected in yet spends the first Home, End, Page Up or Page
// Down on selecting the item it has the focus on (the list box's rule): End would mark the
// first level, not the last. Selecting that item first, quietly, lets the key move from it.
void PrepareOpenList(HWND target, WPARAM vk) {
    if (vk != VK_HOME && vk != VK_END && vk != VK_PRIOR && vk != VK_NEXT) return;
    HWND combo = ComboOf(target);
    if (!combo || !SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(combo, &info) || !info.hwndList) return;
    if (SendMessageW(info.hwndList, LB_GETCURSEL, 0, 0) != LB_ERR) return;
    const LRESULT caret = SendMessageW(info.hwndList, LB_GETCARETINDEX, 0, 0);
    if (caret >= 0) SendMessageW(info.hwndList, LB_SETCURSEL, static_cast<WPARAM>(caret), 0);
}

}  // namespace

bool KeyboardIsFree() {
    HWND focus = GetFocus();
    if (IsTextField(focus)) return false;
    HWND combo = ComboOf(focus);
    return !(combo && SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
}

bool FilterKeyMessage(const MSG& msg) {
    if (msg.message == WM_KEYUP) {
        g_held.release(static_cast<int>(msg.wParam), msg.time);
        return false;
    }
    if (msg.message != WM_KEYDOWN) return false;
    const WPARAM vk = msg.wParam;
    PrepareOpenList(msg.hwnd, vk);
    // A focused button clicks as Space comes up; the repeats of a held Space never reach it.
    if (vk == VK_SPACE && IsButton(GetFocus())) return !FirstPress(msg);
    if (IsClickerKey(vk)) {
        // A clicker's key under Enter's rules. Taken, it never reaches the window: on the
        // closed level selector it would page through the levels.
        if (!KeyboardIsFree() || !ActiveIsOurs() || !HasHotKey(0, kVirtualKeyEnter)) return false;
        if (FirstPress(msg)) DispatchHotKey(0, kVirtualKeyEnter);
        return true;
    }
    const int key = RegistrableKey(vk);
    const int modifiers = ModifiersNow();
    if (vk == VK_TAB && !HasHotKey(modifiers, key)) return MoveFocusWithTab(modifiers);
    if (key == 0 || !HasHotKey(modifiers, key)) return false;
    // A text field confirms what was typed there with Enter, and an open list chooses its
    // entry; neither may draw a winner. Only while one of our windows is active, as a hot
    // key registered on activation.
    if (!KeyboardIsFree() || !ActiveIsOurs()) return false;
    if (FirstPress(msg)) DispatchHotKey(modifiers, key);
    return true;
}

void SetClickerKeys(bool on) { g_clickers = on; }

void ForgetHeldKeys() { g_held.forgetAll(); }

namespace {

// Sees every key message this thread takes from its queue, in the program's loops and in
// those of dialogs and menus: a key released while a message box is open (the box the press
// opened) is released for the gate too, or the next press would count as held.
LRESULT CALLBACK KeyboardHook(int code, WPARAM vk, LPARAM info) {
    if (code == HC_ACTION && (info & (1L << 31)))
        g_held.release(static_cast<int>(vk), static_cast<DWORD>(GetMessageTime()));
    return CallNextHookEx(nullptr, code, vk, info);
}

HHOOK g_hook = nullptr;

}  // namespace

void InstallKeyFilter(WinEventLoop& loop, std::function<bool(HWND)> ours) {
    g_ours = std::move(ours);
    loop.setMessageFilter([](MSG& msg) { return FilterKeyMessage(msg); });
    if (!g_hook) g_hook = SetWindowsHookExW(WH_KEYBOARD, KeyboardHook, nullptr, GetCurrentThreadId());
}

}  // namespace ld::win
