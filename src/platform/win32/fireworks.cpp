#include "platform/win32/fireworks.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace ld::win {

namespace {

constexpr double kStep = 1.0 / 120.0;  // simulation step, independent of the frame rate
constexpr double kGravity = 160.0;     // pixels per second squared
constexpr double kPi = 3.14159265358979;
const wchar_t kClass[] = L"LdFireworks";
constexpr UINT_PTR kFrameTimer = 1;

struct Point {
    double x = 0, y = 0;
};

struct Particle {
    Point pos, vel, prev;
    COLORREF color = 0;
    double age = 0, life = 1.5, drag = 1.2, gravity = 1.0, size = 2.5;
    bool glitter = false;  // splits into a small burst once, half-way through its life
};

struct Shell {
    Point pos, vel;
    double lift = 0;  // deceleration on the way up
    COLORREF color = 0;
    int shape = 0;  // 0 sphere, 1 willow, 2 ring, 3 heart
};

COLORREF Hsv(int hue, int saturation) {
    const double s = saturation / 255.0, h = hue / 60.0;
    const double c = s, x = c * (1 - std::fabs(std::fmod(h, 2) - 1)), m = 1 - c;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(h) % 6) {
        case 0: r = c, g = x; break;
        case 1: r = x, g = c; break;
        case 2: g = c, b = x; break;
        case 3: g = x, b = c; break;
        case 4: r = x, b = c; break;
        default: r = c, b = x; break;
    }
    return RGB(static_cast<int>((r + m) * 255), static_cast<int>((g + m) * 255),
               static_cast<int>((b + m) * 255));
}

COLORREF Faded(COLORREF c, double fade) {
    return RGB(static_cast<int>(GetRValue(c) * fade), static_cast<int>(GetGValue(c) * fade),
               static_cast<int>(GetBValue(c) * fade));
}

// A window and its visible children drawn into `dc` as they are now, bottom to top, each by
// its own WM_PRINTCLIENT: every class of ours and the system's controls answer it.
void PrintTree(HWND hwnd, HDC dc, POINT origin) {
    POINT old;
    SetViewportOrgEx(dc, origin.x, origin.y, &old);
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
    HWND top = GetWindow(hwnd, GW_CHILD);
    for (HWND child = top ? GetWindow(top, GW_HWNDLAST) : nullptr; child;
         child = GetWindow(child, GW_HWNDPREV)) {
        if (!IsWindowVisible(child)) continue;
        POINT at{0, 0};
        MapWindowPoints(child, hwnd, &at, 1);
        HRGN clip = CreateRectRgn(0, 0, 0, 0);
        const bool hadClip = GetClipRgn(dc, clip) == 1;
        RECT r;
        GetClientRect(child, &r);
        IntersectClipRect(dc, origin.x + at.x, origin.y + at.y, origin.x + at.x + r.right,
                          origin.y + at.y + r.bottom);
        PrintTree(child, dc, POINT{origin.x + at.x, origin.y + at.y});
        SelectClipRgn(dc, hadClip ? clip : nullptr);
        DeleteObject(clip);
    }
}

class Fireworks {
public:
    Fireworks(HWND hwnd, int animation) : hwnd_(hwnd), animation_(animation) {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
        SetTimer(hwnd_, kFrameTimer, 16, nullptr);
    }
    ~Fireworks() {
        if (backdrop_) DeleteObject(backdrop_);
    }

    void stop() {
        KillTimer(hwnd_, kFrameTimer);
        particles_.clear();
        shells_.clear();
        ShowWindow(hwnd_, SW_HIDE);
    }
    void frame() {
        // Catch up with the clock in fixed steps, so the motion is the same at any refresh.
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const double seconds =
            static_cast<double>(now.QuadPart - start_.QuadPart) / frequency_.QuadPart;
        while (simulated_ + kStep <= seconds) step();
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
    void paint(HDC dc, const RECT& client);

private:
    void grabBackdrop();
    void step();
    void launchScheduled();
    void launch(int shape, double xFraction);
    void explode(const Shell& shell);
    void spark(Point pos, Point vel, COLORREF color, double life, double drag, double gravity,
               double size, bool glitter = false) {
        Particle p;
        p.pos = p.prev = pos;
        p.vel = vel;
        p.color = color;
        p.life = life;
        p.drag = drag;
        p.gravity = gravity;
        p.size = size;
        p.glitter = glitter;
        particles_.push_back(p);
    }
    double random(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(rng_);
    }
    int bounded(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    COLORREF brightColor() { return Hsv(bounded(360), 160 + bounded(96)); }
    double width() const {
        RECT r;
        GetClientRect(hwnd_, &r);
        return r.right;
    }
    double height() const {
        RECT r;
        GetClientRect(hwnd_, &r);
        return r.bottom;
    }

    HWND hwnd_;
    int animation_;
    HBITMAP backdrop_ = nullptr;
    SIZE backdropSize_{};
    LARGE_INTEGER frequency_{}, start_{};
    double simulated_ = 0, nextLaunch_ = 0;
    std::vector<Particle> particles_;
    std::vector<Shell> shells_;
    std::mt19937 rng_{std::random_device{}()};
};

// The window the celebration shows over: its owner, else the topmost other window of ours.
HWND StageUnder(HWND root) {
    if (HWND owner = GetWindow(root, GW_OWNER)) return owner;
    struct Search {
        HWND root, found;
    } search{root, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (hwnd == s->root || !IsWindowVisible(hwnd) || lstrcmpW(cls, L"LdStage") != 0)
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Fireworks::grabBackdrop() {
    // What the audience sees: the screen under the window, with the stage drawn fresh over
    // it, since the screen may not show the winner yet. Dimmed once, so the window looks
    // translucent. Taken at the first frame of the window's final size: the celebration is
    // laid out after its animation starts.
    if (backdrop_) DeleteObject(backdrop_);
    RECT area;
    GetWindowRect(hwnd_, &area);
    const int w = std::max<LONG>(1, area.right - area.left), h = std::max<LONG>(1, area.bottom - area.top);
    backdropSize_ = SIZE{w, h};
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    backdrop_ = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, backdrop_);
    RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HWND root = GetAncestor(hwnd_, GA_ROOT);
    HWND stage = root ? StageUnder(root) : nullptr;
    if (stage) {
        POINT client{0, 0};
        ClientToScreen(stage, &client);
        PrintTree(stage, dc, POINT{client.x - area.left, client.y - area.top});
    } else {
        BitBlt(dc, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    }
    ReleaseDC(nullptr, screen);
    HDC veil = CreateCompatibleDC(dc);
    HBITMAP pixel = CreateCompatibleBitmap(dc, 1, 1);
    HGDIOBJ oldVeil = SelectObject(veil, pixel);
    SetPixel(veil, 0, 0, RGB(0, 0, 16));
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 120, 0};
    AlphaBlend(dc, 0, 0, w, h, veil, 0, 0, 1, 1, blend);
    SelectObject(veil, oldVeil);
    DeleteObject(pixel);
    DeleteDC(veil);
    SelectObject(dc, old);
    DeleteDC(dc);
}

void Fireworks::launch(int shape, double xFraction) {
    Shell s;
    s.pos = {width() * xFraction, height() + 10};
    // Up to half or four fifths of the height in well under a second, slowing to the apex:
    // the show lasts only four seconds.
    const double rise = height() * random(0.5, 0.8), flight = random(0.7, 1.0);
    s.vel = {random(-40, 40), -2 * rise / flight};
    s.lift = 2 * rise / (flight * flight);
    s.color = brightColor();
    s.shape = shape;
    shells_.push_back(s);
}

void Fireworks::explode(const Shell& s) {
    const double scale = std::max(0.6, height() / 1080.0);
    switch (s.shape) {
        case 1:  // willow: long, slow, drooping golden strands
            for (int i = 0; i < 120; ++i) {
                const double a = random(0, 2 * kPi), v = random(60, 200) * scale;
                spark(s.pos, {std::cos(a) * v, std::sin(a) * v}, RGB(255, 200, 90),
                      random(2.2, 3.2), 0.9, 0.6, 2.8 * scale);
            }
            break;
        case 2:  // ring, tilted
            for (int i = 0; i < 96; ++i) {
                const double a = 2 * kPi * i / 96, v = 260 * scale;
                spark(s.pos, {std::cos(a) * v, std::sin(a) * v * 0.55}, s.color, 1.6, 1.4, 0.8,
                      3.5 * scale);
            }
            break;
        case 3:  // heart: x = 16 sin^3 t, y = 13 cos t - 5 cos 2t - 2 cos 3t - cos 4t
            for (int i = 0; i < 90; ++i) {
                const double t = 2 * kPi * i / 90;
                const double x = 16 * std::pow(std::sin(t), 3);
                const double y = -(13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) -
                                   std::cos(4 * t));
                spark(s.pos, {x * 16 * scale, y * 16 * scale}, RGB(255, 80, 140), 1.8, 1.6, 0.5, 3.0);
            }
            break;
        default:  // sphere with a few glittering stars
            for (int i = 0; i < 160; ++i) {
                const double a = random(0, 2 * kPi), v = random(0.55, 1.0) * 300 * scale;
                spark(s.pos, {std::cos(a) * v, std::sin(a) * v}, s.color, random(1.2, 1.9), 1.3,
                      1.0, 3.2 * scale, animation_ == 3 && i % 9 == 0);
            }
            break;
    }
}

void Fireworks::launchScheduled() {
    if (simulated_ < nextLaunch_) return;
    switch (animation_) {
        case 2:
            launch(1, random(0.2, 0.8));
            nextLaunch_ = simulated_ + random(0.7, 1.0);
            break;
        case 3:
            launch(bounded(3) == 0 ? 3 : bounded(2) * 2, random(0.15, 0.85));
            nextLaunch_ = simulated_ + random(0.35, 0.55);
            break;
        default:
            launch(0, random(0.1, 0.9));
            nextLaunch_ = simulated_ + random(0.15, 0.3);
            break;
    }
}

void Fireworks::step() {
    simulated_ += kStep;
    const double w = width(), h = height();
    if (w <= 0 || h <= 0) return;
    launchScheduled();
    if (animation_ == 2) {
        // Golden fountains along the floor.
        const double scale = std::max(0.6, h / 1080.0);
        for (double x : {0.12, 0.31, 0.5, 0.69, 0.88}) {
            const double a = -kPi / 2 + random(-0.25, 0.25), v = random(380, 520) * scale;
            spark({w * x, h}, {std::cos(a) * v, std::sin(a) * v}, RGB(255, 215, 120),
                  random(1.0, 1.6), 0.6, 1.2, 2.0);
        }
    }
    for (size_t i = 0; i < shells_.size();) {
        Shell& s = shells_[i];
        s.vel.y += s.lift * kStep;
        s.pos.x += s.vel.x * kStep;
        s.pos.y += s.vel.y * kStep;
        if (s.vel.y >= -20) {  // at the apex
            const Shell burst = s;
            shells_.erase(shells_.begin() + static_cast<long>(i));
            explode(burst);
            continue;
        }
        if (bounded(3) == 0)
            spark(s.pos, {random(-20, 20), random(20, 60)}, RGB(255, 230, 180), 0.4, 2.0, 0.3, 1.5);
        ++i;
    }
    std::vector<Particle> born;
    for (Particle& p : particles_) {
        p.prev = p.pos;
        p.age += kStep;
        const double keep = std::max(0.0, 1.0 - p.drag * kStep);
        p.vel.x *= keep;
        p.vel.y = p.vel.y * keep + kGravity * p.gravity * kStep;
        p.pos.x += p.vel.x * kStep;
        p.pos.y += p.vel.y * kStep;
        if (p.glitter && p.age > p.life / 2) {
            p.glitter = false;
            for (int k = 0; k < 8; ++k) {
                const double a = 2 * kPi * k / 8;
                Particle q = p;
                q.vel = {p.vel.x * 0.3 + std::cos(a) * 90.0, p.vel.y * 0.3 + std::sin(a) * 90.0};
                q.age = 0;
                q.life = 0.7;
                q.size = 1.8;
                q.color = RGB(255, 255, 220);
                born.push_back(q);
            }
        }
    }
    std::erase_if(particles_, [h](const Particle& p) { return p.age >= p.life || p.pos.y > h + 20; });
    particles_.insert(particles_.end(), born.begin(), born.end());
}

void Fireworks::paint(HDC dc, const RECT& client) {
    if (!backdrop_ || backdropSize_.cx != client.right || backdropSize_.cy != client.bottom)
        grabBackdrop();
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, backdrop_);
    BitBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    // Sparks are a few pixels wide: plain lines and squares in the colour faded towards the
    // dark backdrop, cheap enough for a frame every 16 ms.
    SelectObject(dc, GetStockObject(DC_PEN));
    for (const Particle& p : particles_) {
        const double fade = std::clamp(1.0 - p.age / p.life, 0.0, 1.0);
        const COLORREF c = Faded(p.color, fade);
        SetDCPenColor(dc, c);
        const Point tail{p.prev.x - (p.pos.x - p.prev.x) * 3, p.prev.y - (p.pos.y - p.prev.y) * 3};
        MoveToEx(dc, static_cast<int>(tail.x), static_cast<int>(tail.y), nullptr);
        LineTo(dc, static_cast<int>(p.pos.x), static_cast<int>(p.pos.y));
        const int r = static_cast<int>(p.size * fade + 0.5);
        SetDCBrushColor(dc, c);
        RECT dot{static_cast<int>(p.pos.x) - r, static_cast<int>(p.pos.y) - r,
                 static_cast<int>(p.pos.x) + r + 1, static_cast<int>(p.pos.y) + r + 1};
        FillRect(dc, &dot, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    SetDCBrushColor(dc, RGB(255, 240, 200));
    for (const Shell& s : shells_) {
        RECT dot{static_cast<int>(s.pos.x) - 2, static_cast<int>(s.pos.y) - 2,
                 static_cast<int>(s.pos.x) + 2, static_cast<int>(s.pos.y) + 2};
        FillRect(dc, &dot, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
}

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* f = reinterpret_cast<Fireworks*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_TIMER:
            if (f && wParam == kFrameTimer) f->frame();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // the mouse goes to what lies beneath
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC target = BeginPaint(hwnd, &ps);
            if (f) {
                RECT client;
                GetClientRect(hwnd, &client);
                HDC dc = CreateCompatibleDC(target);
                HBITMAP bitmap = CreateCompatibleBitmap(target, std::max<LONG>(1, client.right),
                                                        std::max<LONG>(1, client.bottom));
                HGDIOBJ old = SelectObject(dc, bitmap);
                f->paint(dc, client);
                BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
                SelectObject(dc, old);
                DeleteObject(bitmap);
                DeleteDC(dc);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_NCDESTROY:
            KillTimer(hwnd, kFrameTimer);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            delete f;
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

HWND CreateFireworks(HWND parent, int animation) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
    RECT client;
    GetClientRect(parent, &client);
    HWND hwnd = CreateWindowExW(0, kClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, client.right,
                                client.bottom, parent, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return nullptr;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(new Fireworks(hwnd, animation == 2 || animation == 3 ? animation : 1)));
    ShowWindow(hwnd, SW_SHOWNA);
    return hwnd;
}

void StopFireworks(HWND fireworks) {
    if (!fireworks || !IsWindow(fireworks)) return;
    if (auto* f = reinterpret_cast<Fireworks*>(GetWindowLongPtrW(fireworks, GWLP_USERDATA))) f->stop();
}

}  // namespace ld::win
