#include "media/image_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ld {
namespace {

// Eight-bit weights keep every sum of a channel within 16 bits (255 x 256), so the channels
// of two pixels are computed at once in one SIMD register. The vector types below are
// compiler extensions (GCC and Clang) that need no target-specific code.
constexpr int kWeightBits = 8;
constexpr int kWeightOne = 1 << kWeightBits;

using Lanes = uint16_t __attribute__((vector_size(16)));  // eight channels, 16 bits each
using Bytes = uint8_t __attribute__((vector_size(16)));   // sixteen channels as stored
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "lanes are built byte by byte");

// Interleaving with zero bytes widens a byte to a 16-bit lane (little endian), which the
// compiler turns into plain unpack instructions.
inline void Widen16(const uint8_t* p, Lanes& lo, Lanes& hi) {
    Bytes b;
    std::memcpy(&b, p, sizeof b);
    const Bytes z = {};
    lo = reinterpret_cast<Lanes>(
        __builtin_shufflevector(b, z, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23));
    hi = reinterpret_cast<Lanes>(__builtin_shufflevector(b, z, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28,
                                                         13, 29, 14, 30, 15, 31));
}

// One or two pixels widened; the other lanes are zero. The bytes go in through an integer,
// which keeps the compiler from assembling the register in memory.
inline Lanes WidenLow(Bytes b) {
    const Bytes z = {};
    return reinterpret_cast<Lanes>(
        __builtin_shufflevector(b, z, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23));
}

inline Lanes Widen2(const uint8_t* p) {
    using Words = uint64_t __attribute__((vector_size(16)));
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return WidenLow(reinterpret_cast<Bytes>(Words{v, 0}));
}

inline Lanes Widen1(const uint8_t* p) {
    using Words = uint32_t __attribute__((vector_size(16)));
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return WidenLow(reinterpret_cast<Bytes>(Words{v, 0, 0, 0}));
}

// Weights are never negative and sum to one, so every rounded lane fits a byte.
inline Bytes Narrow(Lanes lo, Lanes hi) {
    lo = (lo + kWeightOne / 2) >> kWeightBits;
    hi = (hi + kWeightOne / 2) >> kWeightBits;
    return __builtin_shufflevector(reinterpret_cast<Bytes>(lo), reinterpret_cast<Bytes>(hi), 0, 2,
                                   4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
}

// The first four channels (one pixel) of the rounded lanes.
inline void Store4(Lanes acc, uint8_t* out) {
    using Words = uint32_t __attribute__((vector_size(16)));
    const uint32_t v = reinterpret_cast<Words>(Narrow(acc, Lanes{}))[0];
    std::memcpy(out, &v, sizeof v);
}

// The source samples of one output sample: `count` of them from `first`.
struct Taps {
    int first = 0;
    int count = 0;
    int offset = 0;        // into Weights::pairs
    int singleOffset = 0;  // into Weights::single
};

struct Weights {
    std::vector<Taps> taps;
    std::vector<Lanes> pairs;      // {w0 x4, w1 x4}: weights of two neighbouring samples
    std::vector<uint16_t> single;  // the same weights one by one (the pass down the rows)
    bool pairsOnly = true;         // every output has exactly two samples
};

// Rounds the running total rather than each weight: no weight goes negative and the sum is
// exact, which keeps flat areas flat.
void Add(const double* raw, int count, int first, Weights& w) {
    double sum = 0;
    for (int i = 0; i < count; ++i) sum += raw[i];
    const Taps t{first, count, static_cast<int>(w.pairs.size()), static_cast<int>(w.single.size())};
    double running = 0;
    long previous = 0;
    for (int i = 0; i < count; ++i) {
        running += sum > 0 ? raw[i] / sum : 1.0 / count;
        const long upTo = i + 1 == count
                              ? kWeightOne
                              : std::min<long>(kWeightOne, std::lround(running * kWeightOne));
        w.single.push_back(static_cast<uint16_t>(std::max(0L, upTo - previous)));
        previous = std::max(previous, upTo);
    }
    const uint16_t* values = w.single.data() + t.singleOffset;
    for (int i = 0; i < count; i += 2) {
        const uint16_t a = values[i], b = i + 1 < count ? values[i + 1] : 0;
        w.pairs.push_back(Lanes{a, a, a, a, b, b, b, b});
    }
    w.pairsOnly = w.pairsOnly && count == 2;
    w.taps.push_back(t);
}

// Area averaging: each output covers `scale` source samples, partial ones weighted.
Weights AreaWeights(int src, int dst) {
    Weights w;
    const double scale = static_cast<double>(src) / dst;
    std::vector<double> raw;
    for (int i = 0; i < dst; ++i) {
        const double lo = i * scale, hi = lo + scale;
        const int first = std::clamp(static_cast<int>(lo), 0, src - 1);
        const int last = std::clamp(static_cast<int>(std::ceil(hi)) - 1, first, src - 1);
        raw.clear();
        for (int s = first; s <= last; ++s) {
            raw.push_back(std::min<double>(hi, s + 1) - std::max<double>(lo, s));
        }
        Add(raw.data(), static_cast<int>(raw.size()), first, w);
    }
    return w;
}

// Linear interpolation between the two nearest source samples (edges repeat). Every output
// has two taps inside the source, so they can be read as one pair.
Weights LinearWeights(int src, int dst) {
    Weights w;
    const double scale = static_cast<double>(src) / dst;
    for (int i = 0; i < dst; ++i) {
        const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, src - 1.0);
        const int first = std::min(static_cast<int>(centre), std::max(0, src - 2));
        const double frac = std::clamp(centre - first, 0.0, 1.0);
        const double raw[2] = {1.0 - frac, frac};
        Add(raw, src == 1 ? 1 : 2, first, w);
    }
    return w;
}

Weights WeightsFor(int src, int dst) {
    return dst < src ? AreaWeights(src, dst) : LinearWeights(src, dst);
}

// One row along x: each output pixel sums its source pixels two at a time (neighbours are
// adjacent in memory), then folds the two halves of the register together.
void ResampleRow(const uint8_t* in, uint8_t* out, const Weights& w) {
    const Lanes* wv = w.pairs.data();
    if (w.pairsOnly) {  // enlarging: every output is exactly one pair
        for (const Taps& t : w.taps) {
            const Lanes acc = Widen2(in + 4 * static_cast<size_t>(t.first)) * *wv++;
            Store4(acc + __builtin_shufflevector(acc, acc, 4, 5, 6, 7, 0, 1, 2, 3), out);
            out += 4;
        }
        return;
    }
    for (const Taps& t : w.taps) {
        const uint8_t* p = in + 4 * static_cast<size_t>(t.first);
        Lanes acc = {};
        int k = 0;
        for (; k + 2 <= t.count; k += 2, p += 8) acc += Widen2(p) * *wv++;
        if (k < t.count) acc += Widen1(p) * *wv++;
        Store4(acc + __builtin_shufflevector(acc, acc, 4, 5, 6, 7, 0, 1, 2, 3), out);
        out += 4;
    }
}

// One output row as a weighted sum of whole source rows, four pixels at a time.
void ResampleRows(const Image& in, const Taps& t, const uint16_t* wv,
                  std::vector<const uint8_t*>& rows, uint8_t* out) {
    rows.clear();
    for (int k = 0; k < t.count; ++k) rows.push_back(in.row(t.first + k));
    const size_t bytes = in.stride();
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        Lanes lo, hi, a, b;
        Widen16(rows[0] + i, lo, hi);
        lo *= wv[0];
        hi *= wv[0];
        for (int k = 1; k < t.count; ++k) {
            Widen16(rows[k] + i, a, b);
            lo += a * wv[k];
            hi += b * wv[k];
        }
        const Bytes result = Narrow(lo, hi);
        std::memcpy(out + i, &result, sizeof result);
    }
    for (; i < bytes; i += 4) {  // the last pixels of a width that is no multiple of four
        Lanes acc = {};
        for (int k = 0; k < t.count; ++k) acc += Widen1(rows[k] + i) * wv[k];
        Store4(acc, out + i);
    }
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
    // Clamped so that a needle-thin picture covering a huge box still has an int size.
    const auto side = [s](int n) {
        return static_cast<int>(std::clamp(std::round(n * s), 1.0, double{1 << 30}));
    };
    p.width = side(natural.width);
    p.height = side(natural.height);
    p.x = (box.width - p.width) / 2;
    p.y = (box.height - p.height) / 2;
    return p;
}

Image CropImage(const Image& source, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0 || x < 0 || y < 0 || x + w > source.width || y + h > source.height) {
        return {};
    }
    if (x == 0 && y == 0 && w == source.width && h == source.height) return source;
    Image out(w, h);
    for (int row = 0; row < h; ++row) {
        std::memcpy(out.row(row), source.pixel(x, y + row), out.stride());
    }
    return out;
}

Image ScaleImage(const Image& source, Size target) {
    if (source.empty() || target.width <= 0 || target.height <= 0) return {};
    if (source.size() == target) return source;
    // Columns first: when shrinking, that leaves the smaller buffer for the second pass.
    const Weights across = WeightsFor(source.width, target.width);
    Image narrow(target.width, source.height);
    for (int y = 0; y < source.height; ++y) ResampleRow(source.row(y), narrow.row(y), across);
    const Weights down = WeightsFor(source.height, target.height);
    Image result(target.width, target.height);
    std::vector<const uint8_t*> rows;
    for (int y = 0; y < target.height; ++y) {
        const Taps& t = down.taps[y];
        ResampleRows(narrow, t, down.single.data() + t.singleOffset, rows, result.row(y));
    }
    return result;
}

}  // namespace ld
