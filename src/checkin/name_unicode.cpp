#include "checkin/name_unicode.h"

#include <algorithm>
#include <iterator>

#include "services/utf8.h"

namespace ld::checkin {

namespace {

#include "checkin/name_tables.inc"

char32_t Singleton(char32_t c) {
    const auto* end = std::end(kSingletons);
    const auto* it = std::lower_bound(std::begin(kSingletons), end, c,
                                      [](const char32_t(&e)[2], char32_t v) { return e[0] < v; });
    return it != end && (*it)[0] == c ? (*it)[1] : c;
}

// The decomposition of a precomposed character, or nothing.
const char32_t* Decomposition(char32_t c) {
    const auto* end = std::end(kComposed);
    const auto* it = std::lower_bound(std::begin(kComposed), end, c,
                                      [](const char32_t(&e)[4], char32_t v) { return e[0] < v; });
    return it != end && (*it)[0] == c ? &(*it)[1] : nullptr;
}

// The precomposed character that the longest decomposition at `at` makes, and its length.
std::pair<char32_t, size_t> Composition(const std::u32string& s, size_t at) {
    std::pair<char32_t, size_t> best{s[at], 1};
    for (const auto& e : kComposed) {
        const size_t n = e[3] ? 3 : 2;
        if (n > best.second && at + n <= s.size() && std::equal(&e[1], &e[1] + n, &s[at]))
            best = {e[0], n};
    }
    return best;
}

bool In(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

}  // namespace

std::string ComposedName(std::string_view utf8) {
    // Only names that may still pass the length rule are worth composing.
    if (utf8.size() > 256) return std::string(utf8);
    std::u32string decomposed;
    for (char32_t c : DecodeUtf8(utf8)) {
        c = Singleton(c);
        if (const char32_t* parts = Decomposition(c)) {
            for (int k = 0; k < 3 && parts[k]; ++k) decomposed.push_back(parts[k]);
        } else {
            decomposed.push_back(c);
        }
    }
    std::u32string composed;
    for (size_t i = 0; i < decomposed.size();) {
        const auto [c, length] = Composition(decomposed, i);
        composed.push_back(c);
        i += length;
    }
    return EncodeUtf8(composed);
}

bool HasPrivateUse(std::string_view utf8) {
    const std::u32string s = DecodeUtf8(utf8);
    return std::any_of(s.begin(), s.end(), [](char32_t c) {
        return In(c, 0xE000, 0xF8FF) || In(c, 0xF0000, 0x10FFFF);
    });
}

bool MixesLookAlikeScripts(std::string_view utf8) {
    bool latin = false, other = false;
    for (char32_t c : DecodeUtf8(utf8)) {
        latin = latin || In(c, 'A', 'Z') || In(c, 'a', 'z') ||
                (In(c, 0xC0, 0x24F) && c != 0xD7 && c != 0xF7) || In(c, 0x1E00, 0x1EFF);
        other = other || In(c, 0x370, 0x52F) || In(c, 0x1F00, 0x1FFF);
    }
    return latin && other;
}

}  // namespace ld::checkin
