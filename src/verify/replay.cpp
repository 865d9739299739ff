#include "verify/replay.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "services/sha256.h"
#include "verify/audit_record.h"
#include "verify/keyed_pick.h"
#include "verify/sealed_list.h"

namespace ld::verify {

namespace {

constexpr std::string_view kOpen = "\xEF\xBC\x88", kClose = "\xEF\xBC\x89";  // （ ）

std::string_view Trim(std::string_view s) {
    constexpr std::string_view wide = "\xE3\x80\x80";
    for (;;) {
        if (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
            s.remove_prefix(1);
        } else if (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
            s.remove_suffix(1);
        } else if (s.starts_with(wide)) {
            s.remove_prefix(wide.size());
        } else if (s.ends_with(wide)) {
            s.remove_suffix(wide.size());
        } else {
            return s;
        }
    }
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const size_t end = text.find("\r\n");
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
    }
    return lines;
}

Replay Failed(Replay replay, const std::string& where) {
    replay.verdict = "复核未通过：" + where;
    return replay;
}

}  // namespace

bool Allowed(std::string_view participant, const std::vector<std::string>& groups,
             const std::vector<std::string>& excluded) {
    std::string_view name = participant, group;
    const size_t open = participant.rfind(kOpen);
    if (open != std::string_view::npos && open > 0 && participant.ends_with(kClose)) {
        group = Trim(participant.substr(open + kOpen.size(),
                                        participant.size() - kClose.size() - open - kOpen.size()));
        if (!group.empty()) name = participant.substr(0, open);
    }
    for (const std::string& out : excluded)
        if (out == participant || out == name) return false;
    return groups.empty() || std::find(groups.begin(), groups.end(), group) != groups.end();
}

Replay ReplayEvent(std::string_view recordText, std::string_view sealedText,
                   std::optional<std::string_view> results) {
    Replay replay;
    const ReadRecord record = ReadAuditRecord(recordText);
    if (!record.problem.empty()) return Failed(replay, "公证记录" + record.problem);
    const std::vector<AuditEntry>& entries = record.entries;
    if (entries.empty() || entries[0].type != "seal") return Failed(replay, "公证记录不是以封存开始");
    const std::optional<SealedList> sealed = ParseSealedList(sealedText);
    if (!sealed) return Failed(replay, "封存的名单文件格式不对");
    const Digest fingerprint = Fingerprint(*sealed);
    if (Hex(fingerprint) != Field(entries[0], "fingerprint"))
        return Failed(replay, "名单与封存时的指纹不符（名单被改动过）");
    // The program's order: one seal, one seed before any stop, the reveal last. Digits
    // given again, or a pick after the secret was public, would not be the hall's draw.
    std::string digits;
    std::optional<Digest> secret;
    bool seeded = false;
    for (size_t i = 1; i < entries.size(); ++i) {
        const AuditEntry& e = entries[i];
        const std::string where = "公证记录第 " + std::to_string(i + 1) + " 行";
        if (e.type == "seal" || (e.type == "seed" && seeded))
            return Failed(replay, where + "重复了封存或现场数字");
        if (e.type == "reveal" && i + 1 != entries.size())
            return Failed(replay, where + "公布密钥后还有记录");
        if (e.type == "stop" && (!seeded || List(e, "winners").empty() ||
                                 List(e, "winners").size() != List(e, "lines").size()))
            return Failed(replay, where + "的抽取不完整或在现场数字之前");
        if (e.type == "seed") {
            seeded = true;
            digits = Field(e, "digits");
        }
        if (e.type == "reveal") secret = DigestFromHex(Field(e, "secret"));
    }
    if (digits.size() < 18 || !std::all_of(digits.begin(), digits.end(),
                                           [](char c) { return c >= '0' && c <= '9'; }))
        return Failed(replay, "现场数字少于 18 位或含有其他字符");
    if (!secret) return Failed(replay, "记录中没有公布密钥（结束公证后才能复核）");
    if (Hex(Sha256OfDigest(*secret)) !=
        Field(entries[0], "commitment"))
        return Failed(replay, "公布的密钥与封存时的承诺不符");

    const Digest seed = EventSeed(*secret, digits, fingerprint);
    std::vector<std::string> pool = sealed->names;
    std::sort(pool.begin(), pool.end());
    const std::vector<std::string> resultLines = results ? Lines(*results) : std::vector<std::string>();
    std::map<std::string, std::vector<std::string>> won;
    std::map<std::string, int> held;  // each level's winners who did not give up
    std::vector<size_t> claimed;      // the results lines of the picks
    uint64_t k = 0;
    for (const AuditEntry& e : entries) {
        if (e.type == "forfeit") {
            const std::vector<std::string>& of = won[Field(e, "level")];
            if (std::find(of.begin(), of.end(), Field(e, "name")) != of.end())
                --held[Field(e, "level")];
        }
        if (e.type == "unverified")
            return Failed(replay, "抽奖结果.txt 第 " + Field(e, "line") + " 行的中奖人 " + Field(e, "name") +
                                      " 不是公证抽取的结果");
        if (e.type != "stop") continue;
        const std::string levelName = Field(e, "level");
        const auto level = std::find_if(sealed->levels.begin(), sealed->levels.end(),
                                        [&](const SealedLevel& l) { return l.name == levelName; });
        if (level == sealed->levels.end()) return Failed(replay, "记录中的奖项“" + levelName + "”不在封存的奖项中");
        const std::vector<std::string> winners = List(e, "winners"), lines = List(e, "lines");
        for (size_t i = 0; i < winners.size(); ++i) {
            std::vector<std::string> eligible;
            for (const std::string& name : pool)
                if (Allowed(name, level->groups, level->excluded)) eligible.push_back(name);
            ++k;
            const std::string where = "第 " + std::to_string(k) + " 次抽取（" + levelName + "）";
            if (++held[levelName] > level->count) return Failed(replay, where + "超出了封存的人数");
            if (eligible.empty()) return Failed(replay, where + "已没有可以中奖的人");
            const std::string& computed = eligible[KeyedPick(seed, levelName, k, eligible.size())];
            if (computed != winners[i])
                return Failed(replay, where + "计算为 " + computed + "，记录为 " + winners[i]);
            pool.erase(std::find(pool.begin(), pool.end(), computed));
            won[levelName].push_back(computed);
            if (!results) continue;
            const std::string& number = lines[i];  // as many as the winners (checked above)
            const size_t line = number.empty() || number.size() > 9 ||
                                        !std::all_of(number.begin(), number.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; })
                                    ? 0
                                    : std::stoul(number);
            if (line == 0 || line > resultLines.size() ||
                resultLines[line - 1] != computed + "  ------  " + levelName)
                return Failed(replay, "抽奖结果.txt 第 " + std::to_string(line) + " 行与" + where + "不符");
            claimed.push_back(line);
        }
    }
    // Between the seal and the last pick every winner's line is a pick's: one added by hand
    // would be a winner the draw did not make.
    const size_t before = std::strtoul(Field(entries[0], "lines_before").c_str(), nullptr, 10);
    const size_t end = claimed.empty() ? 0 : *std::max_element(claimed.begin(), claimed.end());
    for (size_t line = before + 1; line <= end; ++line) {
        if (resultLines[line - 1].find("  ------  ") != std::string::npos &&
            std::find(claimed.begin(), claimed.end(), line) == claimed.end())
            return Failed(replay,
                          "抽奖结果.txt 第 " + std::to_string(line) + " 行的中奖人不在公证记录中");
    }
    for (const SealedLevel& level : sealed->levels) {
        if (won[level.name].empty()) continue;
        std::string line = level.name + "：";
        for (size_t i = 0; i < won[level.name].size(); ++i)
            line += (i ? "、" : "") + won[level.name][i];
        replay.levels.push_back(std::move(line));
    }
    replay.verdict = "复核通过";
    return replay;
}

}  // namespace ld::verify
