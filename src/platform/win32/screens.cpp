#include "platform/win32/screens.h"

#include <shellscalingapi.h>

#include <algorithm>

#include "platform/win32/win_text.h"

namespace ld::win {

namespace {

HMONITOR g_stage = nullptr;  // null: the primary screen
std::function<void()> g_stageChanged;

BOOL CALLBACK Collect(HMONITOR handle, HDC, LPRECT, LPARAM out) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(handle, &info)) return TRUE;
    Monitor m;
    m.handle = handle;
    m.area = info.rcMonitor;
    m.work = info.rcWork;
    m.name = info.szDevice;
    UINT dpiX = 96, dpiY = 96;
    if (GetDpiForMonitor(handle, MDT_EFFECTIVE_DPI, &dpiX, &dpiY) == S_OK && dpiX > 0) m.dpi = dpiX;
    auto& list = *reinterpret_cast<std::vector<Monitor>*>(out);
    // The primary screen has its corner at the desktop's origin.
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        list.insert(list.begin(), m);
    else
        list.push_back(m);
    return TRUE;
}

bool IsPrimary(const Monitor& m) { return m.area.left == 0 && m.area.top == 0; }

}  // namespace

std::vector<Monitor> NumberedMonitors() {
    std::vector<Monitor> list;
    EnumDisplayMonitors(nullptr, nullptr, Collect, reinterpret_cast<LPARAM>(&list));
    if (list.size() > 1)
        std::stable_sort(list.begin() + (IsPrimary(list.front()) ? 1 : 0), list.end(),
                         [](const Monitor& a, const Monitor& b) {
                             return a.area.left != b.area.left ? a.area.left < b.area.left
                                                               : a.area.top < b.area.top;
                         });
    if (list.empty()) {
        Monitor fallback;
        fallback.area = fallback.work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN),
                                              GetSystemMetrics(SM_CYSCREEN)};
        list.push_back(fallback);
    }
    return list;
}

Monitor StageMonitor() {
    const std::vector<Monitor> list = NumberedMonitors();
    for (const Monitor& m : list)
        if (g_stage && m.handle == g_stage) return m;
    return list.front();
}

RECT PlaceOnStage(const RECT& model, bool keepInside) {
    const Monitor m = StageMonitor();
    RECT r{m.area.left + Px(model.left, m.dpi), m.area.top + Px(model.top, m.dpi),
           m.area.left + Px(model.right, m.dpi), m.area.top + Px(model.bottom, m.dpi)};
    if (!keepInside) return r;
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    const LONG x = std::max(m.work.left, std::min(r.left, m.work.right - w));
    const LONG y = std::max(m.work.top, std::min(r.top, m.work.bottom - h));
    return RECT{x, y, x + w, y + h};
}

void SetOnStageScreenChanged(std::function<void()> fn) { g_stageChanged = std::move(fn); }

int WinScreen::width() const {
    const Monitor m = StageMonitor();
    return Logical(m.area.right - m.area.left, m.dpi);
}

int WinScreen::height() const {
    const Monitor m = StageMonitor();
    return Logical(m.area.bottom - m.area.top, m.dpi);
}

std::vector<Screen::Info> WinScreen::screens() const {
    std::vector<Info> infos;
    for (const Monitor& m : NumberedMonitors())
        infos.push_back({FromWide(m.name), Logical(m.area.right - m.area.left, m.dpi),
                         Logical(m.area.bottom - m.area.top, m.dpi)});
    return infos;
}

bool WinScreen::useStageScreen(int number) {
    const std::vector<Monitor> list = NumberedMonitors();
    if (number < 1 || static_cast<size_t>(number) > list.size()) return false;
    const HMONITOR before = StageMonitor().handle;
    // The primary screen is kept as "none chosen", so the stage follows whichever screen the
    // system makes primary.
    g_stage = number == 1 ? nullptr : list[static_cast<size_t>(number - 1)].handle;
    if (before != StageMonitor().handle && g_stageChanged) g_stageChanged();
    return true;
}

int WinScreen::stageScreen() const {
    const std::vector<Monitor> list = NumberedMonitors();
    const HMONITOR stage = StageMonitor().handle;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].handle == stage) return static_cast<int>(i) + 1;
    return 1;
}

}  // namespace ld::win
