#include "verify/sealed_list.h"

#include <algorithm>

namespace ld::verify {

namespace {

constexpr std::string_view kHeader = "luckydraw sealed list v1";
constexpr std::string_view kJoin = "\xE3\x80\x81";  // 、

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : std::string(kJoin)) + item;
    return out;
}

std::vector<std::string> Split(std::string_view text, std::string_view by) {
    std::vector<std::string> parts;
    while (true) {
        const size_t at = text.find(by);
        parts.emplace_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + by.size());
    }
}

std::optional<int> Number(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(text);
}

}  // namespace

std::string CanonicalText(const SealedList& list) {
    std::string text = std::string(kHeader) + "\n";
    for (const SealedLevel& level : list.levels) {
        text += "level\t" + level.name + "\t" + std::to_string(level.count) + "\t" +
                std::to_string(level.perDraw) + "\t" + Joined(level.groups) + "\t" +
                Joined(level.excluded) + "\n";
    }
    std::vector<std::string> names = list.names;
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) text += "name\t" + name + "\n";
    return text;
}

std::optional<SealedList> ParseSealedList(std::string_view text) {
    if (!text.ends_with("\n")) return std::nullopt;
    text.remove_suffix(1);
    const std::vector<std::string> lines = Split(text, "\n");
    if (lines.empty() || lines[0] != kHeader) return std::nullopt;
    SealedList list;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = Split(lines[i], "\t");
        if (fields[0] == "name" && fields.size() == 2 && !fields[1].empty()) {
            list.names.push_back(fields[1]);
        } else if (fields[0] == "level" && fields.size() == 6 && list.names.empty()) {
            SealedLevel level;
            level.name = fields[1];
            const std::optional<int> count = Number(fields[2]), perDraw = Number(fields[3]);
            if (level.name.empty() || !count || !perDraw) return std::nullopt;
            level.count = *count;
            level.perDraw = *perDraw;
            if (!fields[4].empty()) level.groups = Split(fields[4], kJoin);
            if (!fields[5].empty()) level.excluded = Split(fields[5], kJoin);
            list.levels.push_back(std::move(level));
        } else {
            return std::nullopt;
        }
    }
    // Only the canonical form is one: a reordered text would give another fingerprint.
    if (CanonicalText(list) != std::string(text) + "\n") return std::nullopt;
    return list;
}

Digest Fingerprint(const SealedList& list) { return Sha256Of(CanonicalText(list)); }

std::string ShortFingerprint(const Digest& fingerprint) {
    const std::string hex = Hex(fingerprint);
    return hex.substr(0, 4) + " " + hex.substr(4, 4) + " " + hex.substr(8, 4) + " " +
           hex.substr(12, 4);
}

}  // namespace ld::verify
