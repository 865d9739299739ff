// A QR encoder for one case only: bytes at error correction M. The layout, the Reed-Solomon
// code and the mask choice follow the QR standard (ISO/IEC 18004), so any reader takes it.
#include "checkin/qr_code.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

namespace ld::checkin {
namespace {

constexpr int kMinVersion = 1, kMaxVersion = 40;

// Level M, by version: error correction codewords in each block, and the number of blocks.
constexpr std::array<int, 41> kEccPerBlock = {
    0,  10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
    26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28};
constexpr std::array<int, 41> kBlocks = {0,  1,  1,  1,  2,  2,  4,  4,  4,  5,  5,  5,  8,  9,
                                         9,  10, 10, 11, 13, 14, 16, 17, 17, 18, 20, 21, 23, 25,
                                         26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49};

int SideOf(int version) { return 17 + 4 * version; }

// Centres of the alignment patterns along one axis (the same list for rows and columns).
std::vector<int> AlignmentCentres(int version) {
    if (version == 1) return {};
    const int count = version / 7 + 2;
    const int step = version == 32 ? 26 : (version * 4 + count * 2 + 1) / (count * 2 - 2) * 2;
    std::vector<int> centres(count);
    centres[0] = 6;
    for (int i = count - 1, pos = SideOf(version) - 7; i >= 1; --i, pos -= step) centres[i] = pos;
    return centres;
}

// Codewords the symbol holds once the function patterns have taken their modules.
int TotalCodewords(int version) {
    int bits = (16 * version + 128) * version + 64;
    if (version >= 2) {
        const int align = version / 7 + 2;
        bits -= (25 * align - 10) * align - 55;
        if (version >= 7) bits -= 36;
    }
    return bits / 8;
}

int DataCodewords(int version) {
    return TotalCodewords(version) - kEccPerBlock[version] * kBlocks[version];
}

int CountBits(int version) { return version <= 9 ? 8 : 16; }

// Reed-Solomon over GF(256) with the field polynomial x^8 + x^4 + x^3 + x^2 + 1.
uint8_t GfMultiply(uint8_t a, uint8_t b) {
    int product = 0;
    for (int bit = 7; bit >= 0; --bit) {
        product = (product << 1) ^ ((product >> 7) * 0x11D);
        product ^= ((b >> bit) & 1) * a;
    }
    return static_cast<uint8_t>(product);
}

// The generator polynomial (x - 2^0)(x - 2^1)...(x - 2^(degree-1)), highest term left out.
std::vector<uint8_t> Generator(int degree) {
    std::vector<uint8_t> coefficients(degree, 0);
    coefficients.back() = 1;
    uint8_t root = 1;
    for (int i = 0; i < degree; ++i) {
        for (int j = 0; j < degree; ++j) {
            coefficients[j] = GfMultiply(coefficients[j], root);
            if (j + 1 < degree) coefficients[j] ^= coefficients[j + 1];
        }
        root = GfMultiply(root, 0x02);
    }
    return coefficients;
}

std::vector<uint8_t> EccOf(const std::vector<uint8_t>& data, const std::vector<uint8_t>& gen) {
    std::vector<uint8_t> remainder(gen.size(), 0);
    for (uint8_t byte : data) {
        const uint8_t factor = byte ^ remainder.front();
        remainder.erase(remainder.begin());
        remainder.push_back(0);
        for (size_t i = 0; i < remainder.size(); ++i) remainder[i] ^= GfMultiply(gen[i], factor);
    }
    return remainder;
}

// Mode, count, the bytes, the terminator and the pad codewords.
std::vector<uint8_t> DataBits(const std::string& text, int version) {
    const int capacity = DataCodewords(version);
    std::vector<uint8_t> out;
    uint32_t pending = 0;
    int pendingBits = 0;
    auto put = [&](uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            pending = (pending << 1) | ((value >> i) & 1);
            if (++pendingBits == 8) {
                out.push_back(static_cast<uint8_t>(pending));
                pending = 0;
                pendingBits = 0;
            }
        }
    };
    put(0b0100, 4);
    put(static_cast<uint32_t>(text.size()), CountBits(version));
    for (unsigned char c : text) put(c, 8);
    const int room = capacity * 8 - static_cast<int>(out.size()) * 8 - pendingBits;
    put(0, std::min(4, room));
    if (pendingBits > 0) put(0, 8 - pendingBits);
    for (uint8_t pad = 0xEC; static_cast<int>(out.size()) < capacity; pad ^= 0xEC ^ 0x11)
        out.push_back(pad);
    return out;
}

// Splits the data into the level's blocks, adds each block's error correction and
// interleaves them: the short blocks come first, the long ones have one more data codeword.
std::vector<uint8_t> Codewords(const std::vector<uint8_t>& data, int version) {
    const int blocks = kBlocks[version], ecc = kEccPerBlock[version];
    const int total = TotalCodewords(version);
    const int shortBlocks = blocks - total % blocks;
    const int shortData = total / blocks - ecc;
    const std::vector<uint8_t> gen = Generator(ecc);
    std::vector<std::vector<uint8_t>> dataBlocks, eccBlocks;
    for (int b = 0, at = 0; b < blocks; ++b) {
        const int length = shortData + (b < shortBlocks ? 0 : 1);
        dataBlocks.emplace_back(data.begin() + at, data.begin() + at + length);
        eccBlocks.push_back(EccOf(dataBlocks.back(), gen));
        at += length;
    }
    std::vector<uint8_t> out;
    for (int i = 0; i <= shortData; ++i)
        for (const auto& block : dataBlocks)
            if (i < static_cast<int>(block.size())) out.push_back(block[i]);
    for (int i = 0; i < ecc; ++i)
        for (const auto& block : eccBlocks) out.push_back(block[i]);
    return out;
}

struct Matrix {
    int side;
    std::vector<uint8_t> dark, reserved;  // reserved: a function pattern, never data or mask
    explicit Matrix(int s) : side(s), dark(s * s, 0), reserved(s * s, 0) {}
    void set(int x, int y, bool on) {
        dark[y * side + x] = on;
        reserved[y * side + x] = 1;
    }
    bool at(int x, int y) const { return dark[y * side + x] != 0; }
};

void DrawFinder(Matrix& m, int cx, int cy) {
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx) {
            const int x = cx + dx, y = cy + dy, ring = std::max(std::abs(dx), std::abs(dy));
            if (x >= 0 && x < m.side && y >= 0 && y < m.side) m.set(x, y, ring != 2 && ring != 4);
        }
}

// Format information: the level (M is 00) and the mask under a BCH(15,5) code, twice.
void DrawFormat(Matrix& m, int mask) {
    const int data = mask;
    int rem = data;
    for (int i = 0; i < 10; ++i) rem = (rem << 1) ^ ((rem >> 9) * 0x537);
    const int bits = ((data << 10) | rem) ^ 0x5412;
    auto bit = [bits](int i) { return ((bits >> i) & 1) != 0; };
    const int s = m.side;
    for (int i = 0; i <= 5; ++i) m.set(8, i, bit(i));
    m.set(8, 7, bit(6));
    m.set(8, 8, bit(7));
    m.set(7, 8, bit(8));
    for (int i = 9; i < 15; ++i) m.set(14 - i, 8, bit(i));
    for (int i = 0; i < 8; ++i) m.set(s - 1 - i, 8, bit(i));
    for (int i = 8; i < 15; ++i) m.set(8, s - 15 + i, bit(i));
    m.set(8, s - 8, true);  // the dark module
}

// Version information from version 7 on: the version under a BCH(18,6) code, twice.
void DrawVersion(Matrix& m, int version) {
    if (version < 7) return;
    int rem = version;
    for (int i = 0; i < 12; ++i) rem = (rem << 1) ^ ((rem >> 11) * 0x1F25);
    const int bits = (version << 12) | rem;
    for (int i = 0; i < 18; ++i) {
        const bool on = ((bits >> i) & 1) != 0;
        const int a = m.side - 11 + i % 3, b = i / 3;
        m.set(a, b, on);
        m.set(b, a, on);
    }
}

Matrix FunctionPatterns(int version) {
    Matrix m(SideOf(version));
    const int s = m.side;
    for (int i = 0; i < s; ++i) {
        m.set(6, i, i % 2 == 0);
        m.set(i, 6, i % 2 == 0);
    }
    DrawFinder(m, 3, 3);
    DrawFinder(m, s - 4, 3);
    DrawFinder(m, 3, s - 4);
    const std::vector<int> centres = AlignmentCentres(version);
    const int n = static_cast<int>(centres.size());
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            if ((i == 0 && j == 0) || (i == 0 && j == n - 1) || (i == n - 1 && j == 0)) continue;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    m.set(centres[i] + dx, centres[j] + dy,
                          std::max(std::abs(dx), std::abs(dy)) != 1);
        }
    DrawFormat(m, 0);  // reserves the format modules; the real ones come with the mask
    DrawVersion(m, version);
    return m;
}

// Two columns at a time from the right, up then down, skipping the vertical timing line.
void PlaceCodewords(Matrix& m, const std::vector<uint8_t>& codewords) {
    const size_t bits = codewords.size() * 8;
    size_t i = 0;
    for (int right = m.side - 1; right >= 1; right -= 2) {
        if (right == 6) right = 5;
        const bool upward = ((right + 1) & 2) == 0;
        for (int step = 0; step < m.side; ++step) {
            const int y = upward ? m.side - 1 - step : step;
            for (int x = right; x >= right - 1; --x) {
                if (m.reserved[y * m.side + x]) continue;
                if (i < bits) m.dark[y * m.side + x] = (codewords[i >> 3] >> (7 - (i & 7))) & 1;
                ++i;  // the remainder bits past the codewords stay light
            }
        }
    }
}

bool MaskFlips(int mask, int x, int y) {
    switch (mask) {
        case 0:
            return (x + y) % 2 == 0;
        case 1:
            return y % 2 == 0;
        case 2:
            return x % 3 == 0;
        case 3:
            return (x + y) % 3 == 0;
        case 4:
            return (x / 3 + y / 2) % 2 == 0;
        case 5:
            return x * y % 2 + x * y % 3 == 0;
        case 6:
            return (x * y % 2 + x * y % 3) % 2 == 0;
        default:
            return ((x + y) % 2 + x * y % 3) % 2 == 0;
    }
}

void ApplyMask(Matrix& m, int mask) {
    for (int y = 0; y < m.side; ++y)
        for (int x = 0; x < m.side; ++x)
            if (!m.reserved[y * m.side + x] && MaskFlips(mask, x, y)) m.dark[y * m.side + x] ^= 1;
    DrawFormat(m, mask);
}

// Rules 1 and 3 along one line: runs of five or more of a colour, and 1:1:3:1:1 dark-light
// patterns with four light modules before or after (outside the symbol is the light quiet
// zone). A pattern counts once even with light on both sides, as libqrencode counts it.
int LinePenalty(const std::vector<bool>& line) {
    std::vector<int> runs{0};  // alternating, light first: every odd index is a dark run
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != (runs.size() % 2 == 0)) runs.push_back(0);
        ++runs.back();
    }
    if (runs.size() % 2 == 0) runs.push_back(0);
    int penalty = 0;
    for (int run : runs)
        if (run >= 5) penalty += run - 2;
    const int outside = static_cast<int>(line.size());
    runs.front() += outside;
    runs.back() += outside;
    for (size_t i = 3; i + 3 < runs.size(); i += 2) {
        const int n = runs[i] / 3;
        if (n == 0 || runs[i] != 3 * n || runs[i - 2] != n || runs[i - 1] != n ||
            runs[i + 1] != n || runs[i + 2] != n)
            continue;
        if (runs[i - 3] >= 4 * n || runs[i + 3] >= 4 * n) penalty += 40;
    }
    return penalty;
}

int Penalty(const Matrix& m) {
    const int s = m.side;
    int penalty = 0;
    for (int a = 0; a < s; ++a) {
        std::vector<bool> row(s), column(s);
        for (int b = 0; b < s; ++b) {
            row[b] = m.at(b, a);
            column[b] = m.at(a, b);
        }
        penalty += LinePenalty(row) + LinePenalty(column);
    }
    for (int y = 0; y + 1 < s; ++y)
        for (int x = 0; x + 1 < s; ++x) {
            const bool c = m.at(x, y);
            if (c == m.at(x + 1, y) && c == m.at(x, y + 1) && c == m.at(x + 1, y + 1)) penalty += 3;
        }
    const int total = s * s;
    const int dark = static_cast<int>(std::count(m.dark.begin(), m.dark.end(), 1));
    // Ten points for every full 5 % that the dark share lies away from half (libqrencode
    // rounds the share to a whole percent first, so 54.7 % costs 10 there and nothing here).
    const int k = (std::abs(dark * 20 - total * 10) + total - 1) / total - 1;
    return penalty + 10 * k;
}

}  // namespace

QrCode MakeQrCode(const std::string& text) { return MakeQrCode(text, -1); }

QrCode MakeQrCode(const std::string& text, int mask) {
    QrCode code;
    int version = kMinVersion;
    const auto needed = [&](int v) { return 4 + CountBits(v) + 8 * text.size(); };
    while (version <= kMaxVersion && needed(version) > 8u * DataCodewords(version)) ++version;
    if (version > kMaxVersion || mask < -1 || mask > 7) return code;

    Matrix m = FunctionPatterns(version);
    PlaceCodewords(m, Codewords(DataBits(text, version), version));
    if (mask < 0) {
        int best = std::numeric_limits<int>::max();
        for (int candidate = 0; candidate < 8; ++candidate) {
            Matrix trial = m;
            ApplyMask(trial, candidate);
            const int penalty = Penalty(trial);
            if (penalty < best) {
                best = penalty;
                mask = candidate;
            }
        }
    }
    ApplyMask(m, mask);
    code.size = m.side;
    code.modules = std::move(m.dark);
    return code;
}

}  // namespace ld::checkin
