#include "media/image_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace ld {
namespace {

constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;

// The source taps of one output sample: `count` weights starting at source index `first`.
struct Taps {
    int first = 0;
    int count = 0;
    int offset = 0;  // into Weights::values
};

struct Weights {
    std::vector<Taps> taps;
    std::vector<int32_t> values;  // fixed point, each output's weights sum to kWeightOne
};

void Normalise(std::vector<double>& raw, Taps& t, Weights& w) {
    double sum = 0;
    for (double v : raw) sum += v;
    if (sum <= 0) {
        raw.assign(1, 1.0);
        t.count = 1;
        sum = 1;
    }
    t.offset = static_cast<int>(w.values.size());
    int total = 0, largest = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        int v = static_cast<int>(std::lround(raw[i] / sum * kWeightOne));
        w.values.push_back(v);
        total += v;
        if (v > w.values[t.offset + largest]) largest = static_cast<int>(i);
    }
    w.values[t.offset + largest] += kWeightOne - total;  // exact sum keeps flat areas flat
}

// Area averaging: each output covers `scale` source samples, partial ones weighted.
Weights AreaWeights(int src, int dst) {
    Weights w;
    const double scale = static_cast<double>(src) / dst;
    std::vector<double> raw;
    for (int i = 0; i < dst; ++i) {
        const double lo = i * scale, hi = lo + scale;
        Taps t;
        t.first = std::clamp(static_cast<int>(lo), 0, src - 1);
        const int last = std::clamp(static_cast<int>(std::ceil(hi)) - 1, t.first, src - 1);
        raw.clear();
        for (int s = t.first; s <= last; ++s) {
            raw.push_back(std::min<double>(hi, s + 1) - std::max<double>(lo, s));
        }
        t.count = static_cast<int>(raw.size());
        Normalise(raw, t, w);
        w.taps.push_back(t);
    }
    return w;
}

// Linear interpolation between the two nearest source samples (edges clamped).
Weights LinearWeights(int src, int dst) {
    Weights w;
    const double scale = static_cast<double>(src) / dst;
    std::vector<double> raw;
    for (int i = 0; i < dst; ++i) {
        const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, src - 1.0);
        Taps t;
        t.first = std::min(static_cast<int>(centre), src - 1);
        const double frac = centre - t.first;
        raw.assign({1.0 - frac});
        if (t.first + 1 < src && frac > 0) raw.push_back(frac);
        t.count = static_cast<int>(raw.size());
        Normalise(raw, t, w);
        w.taps.push_back(t);
    }
    return w;
}

Weights WeightsFor(int src, int dst) {
    return dst < src ? AreaWeights(src, dst) : LinearWeights(src, dst);
}

inline uint8_t ToByte(int32_t acc) {
    return static_cast<uint8_t>(std::clamp((acc + kWeightOne / 2) >> kWeightBits, 0, 255));
}

// Resamples along rows: source pixels at `step` bytes apart become output pixels.
void ResampleRow(const uint8_t* in, size_t inStep, uint8_t* out, size_t outStep, const Weights& w) {
    for (const Taps& t : w.taps) {
        int32_t r = 0, g = 0, b = 0, a = 0;
        const uint8_t* p = in + inStep * t.first;
        const int32_t* wv = w.values.data() + t.offset;
        for (int k = 0; k < t.count; ++k, p += inStep) {
            const int32_t f = wv[k];
            r += p[0] * f;
            g += p[1] * f;
            b += p[2] * f;
            a += p[3] * f;
        }
        out[0] = ToByte(r);
        out[1] = ToByte(g);
        out[2] = ToByte(b);
        out[3] = ToByte(a);
        out += outStep;
    }
}

// One output row as a weighted sum of whole source rows (row-wise, so memory is read in
// order even when shrinking a tall picture).
void ResampleRows(const Image& in, const Taps& t, const int32_t* values, std::vector<int32_t>& sums,
                  uint8_t* out) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int k = 0; k < t.count; ++k) {
        const int32_t f = values[t.offset + k];
        const uint8_t* p = in.row(t.first + k);
        for (size_t i = 0; i < sums.size(); ++i) sums[i] += p[i] * f;
    }
    for (size_t i = 0; i < sums.size(); ++i) out[i] = ToByte(sums[i]);
}

}  // namespace

Placement PlacePicture(Size natural, Size box, BoxFit fit) {
    Placement p{0, 0, natural.width, natural.height};
    if (natural.width <= 0 || natural.height <= 0) return {};
    if (fit == BoxFit::Stretch) return {0, 0, box.width, box.height};
    if (fit == BoxFit::Natural) return p;
    const double sx = static_cast<double>(box.width) / natural.width;
    const double sy = static_cast<double>(box.height) / natural.height;
    double s = fit == BoxFit::Cover ? std::max(sx, sy) : std::min(sx, sy);
    if (fit == BoxFit::ShrinkToFit) s = std::min(s, 1.0);
    p.width = std::max(1, static_cast<int>(std::lround(natural.width * s)));
    p.height = std::max(1, static_cast<int>(std::lround(natural.height * s)));
    p.x = (box.width - p.width) / 2;
    p.y = (box.height - p.height) / 2;
    return p;
}

Image ScaleImage(const Image& source, Size target) {
    if (source.empty() || target.width <= 0 || target.height <= 0) return {};
    if (source.size() == target) return source;
    // Columns first: when shrinking, that leaves the smaller buffer for the second pass.
    const Weights across = WeightsFor(source.width, target.width);
    Image narrow(target.width, source.height);
    for (int y = 0; y < source.height; ++y) {
        ResampleRow(source.row(y), 4, narrow.row(y), 4, across);
    }
    const Weights down = WeightsFor(source.height, target.height);
    Image result(target.width, target.height);
    std::vector<int32_t> sums(narrow.stride());
    for (int y = 0; y < target.height; ++y) {
        ResampleRows(narrow, down.taps[y], down.values.data(), sums, result.row(y));
    }
    return result;
}

}  // namespace ld
