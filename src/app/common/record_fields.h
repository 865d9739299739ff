// The hidden files that carry the draw through a crash (the recovery record, the save and
// reset journals) are fields of "name length\n" + bytes + "\n", so that any text, line ends
// and all, comes back exactly, and a file that is not whole is recognised as such.
#pragma once

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "app/common/draw_state.h"
#include "services/text.h"

namespace ld {

inline void PutText(Bytes& out, std::string_view name, std::string_view text) {
    out.append(name).append(" ").append(std::to_string(text.size())).append("\n");
    out.append(text).append("\n");
}

// The counters are one line of eight numbers.
inline void PutCounters(Bytes& out, const std::array<int32_t, kLevelCount>& counters) {
    out.append("counters");
    for (int32_t n : counters) out.append(" ").append(std::to_string(n));
    out.append("\n");
}

class FieldReader {
public:
    explicit FieldReader(std::string_view bytes) : rest_(bytes) {}

    bool header(std::string_view expected) { return take(expected); }
    std::optional<Text> text(std::string_view name) {
        size_t length = 0;
        if (!take(name) || !take(" ") || !number(length) || !take("\n")) return std::nullopt;
        if (rest_.size() < length + 1 || rest_[length] != '\n') return std::nullopt;
        Text value(rest_.substr(0, length));
        rest_.remove_prefix(length + 1);
        return value;
    }
    std::optional<std::array<int32_t, kLevelCount>> counters() {
        std::array<int32_t, kLevelCount> values{};
        if (!take("counters")) return std::nullopt;
        for (int32_t& n : values) {
            if (!take(" ") || !number(n)) return std::nullopt;
        }
        if (!take("\n")) return std::nullopt;
        return values;
    }
    bool atEnd() const { return rest_.empty(); }

private:
    bool take(std::string_view expected) {
        if (!rest_.starts_with(expected)) return false;
        rest_.remove_prefix(expected.size());
        return true;
    }
    template <typename Number>
    bool number(Number& n) {
        auto [end, error] = std::from_chars(rest_.data(), rest_.data() + rest_.size(), n);
        if (error != std::errc() || end == rest_.data()) return false;
        rest_.remove_prefix(static_cast<size_t>(end - rest_.data()));
        return true;
    }

    std::string_view rest_;
};

}  // namespace ld
