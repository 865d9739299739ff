// A tiny RGBA canvas for the generated assets: shapes are painted by sampling a coverage
// predicate on a 4 x 4 grid per pixel, which gives smooth edges without a graphics library.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace ld::assets {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0;  // 0..1, not premultiplied
};

inline Rgba Mix(const Rgba& x, const Rgba& y, double t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
            x.a + (y.a - x.a) * t};
}

class Canvas {
public:
    Canvas(int width, int height) : w_(width), h_(height), px_(size_t(width) * height) {}
    int width() const { return w_; }
    int height() const { return h_; }
    const Rgba& at(int x, int y) const { return px_[size_t(y) * w_ + x]; }

    // Paints `color(x, y)` where `inside(x, y)` holds, x and y in pixel units.
    void fill(const std::function<bool(double, double)>& inside,
              const std::function<Rgba(double, double)>& color) {
        constexpr int kGrid = 4;
        for (int y = 0; y < h_; ++y) {
            for (int x = 0; x < w_; ++x) {
                int hits = 0;
                for (int sy = 0; sy < kGrid; ++sy)
                    for (int sx = 0; sx < kGrid; ++sx)
                        if (inside(x + (sx + 0.5) / kGrid, y + (sy + 0.5) / kGrid)) ++hits;
                if (hits == 0) continue;
                Rgba c = color(x + 0.5, y + 0.5);
                c.a *= double(hits) / (kGrid * kGrid);
                over(px_[size_t(y) * w_ + x], c);
            }
        }
    }

private:
    static void over(Rgba& dst, const Rgba& src) {
        double a = src.a + dst.a * (1 - src.a);
        if (a <= 0) return;
        auto channel = [&](double s, double d) {
            return (s * src.a + d * dst.a * (1 - src.a)) / a;
        };
        dst = {channel(src.r, dst.r), channel(src.g, dst.g), channel(src.b, dst.b), a};
    }

    int w_, h_;
    std::vector<Rgba> px_;
};

inline uint8_t Byte(double v) { return uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }

// Rounded rectangle [x0, x1) x [y0, y1) with corner radius r.
inline bool InRoundRect(double x, double y, double x0, double y0, double x1, double y1, double r) {
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
    double cx = std::clamp(x, x0 + r, x1 - r), cy = std::clamp(y, y0 + r, y1 - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

// A five-pointed star centred on (cx, cy), outer radius r, point upward.
inline bool InStar(double x, double y, double cx, double cy, double r) {
    const double inner = r * 0.382;
    double px[10], py[10];
    for (int i = 0; i < 10; ++i) {
        double angle = -M_PI / 2 + i * M_PI / 5;
        double radius = i % 2 == 0 ? r : inner;
        px[i] = cx + radius * std::cos(angle);
        py[i] = cy + radius * std::sin(angle);
    }
    bool in = false;  // even-odd rule over the outline
    for (int i = 0, j = 9; i < 10; j = i++) {
        if ((py[i] > y) != (py[j] > y) &&
            x < (px[j] - px[i]) * (y - py[i]) / (py[j] - py[i]) + px[i])
            in = !in;
    }
    return in;
}

}  // namespace ld::assets
