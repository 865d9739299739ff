#include "app/draw/verified_event.h"

#include <algorithm>

#include "app/common/app_state.h"
#include "app/common/data_files.h"
#include "app/common/draw_files.h"
#include "app/draw/batch_draw.h"
#include "app/draw/draw_levels.h"
#include "app/draw/level_rules.h"
#include "services/encoding.h"
#include "services/files.h"
#include "services/host.h"
#include "services/os.h"
#include "services/program.h"
#include "verify/keyed_pick.h"
#include "verify/replay.h"
#include "verify/verify_command.h"

namespace ld::app {

namespace {

std::optional<VerifiedEvent>& Slot() {
    static std::optional<VerifiedEvent> event;
    return event;
}

std::string Utf8(const Text& gbk) { return GbkToUtf8(gbk); }
Text ToGbk(const std::string& utf8) { return Utf8ToGbk(utf8).value_or(Text()); }

const verify::SealedLevel* SealedLevelNamed(const VerifiedEvent& event, const std::string& name) {
    for (const verify::SealedLevel& level : event.list.levels)
        if (level.name == name) return &level;
    return nullptr;
}

// Indexes into the event's pool of the names the level's sealed rule allows, in pool order.
std::vector<size_t> Eligible(const VerifiedEvent& event, const verify::SealedLevel& level) {
    std::vector<size_t> out;
    out.reserve(event.pool.size());
    for (size_t i = 0; i < event.pool.size(); ++i)
        if (verify::Allowed(event.pool[i], level.groups, level.excluded)) out.push_back(i);
    return out;
}

}  // namespace

std::optional<size_t> PeekPick(const VerifiedEvent& event, const std::string& levelName) {
    const verify::SealedLevel* level = SealedLevelNamed(event, levelName);
    if (!event.seed || !level) return std::nullopt;
    const uint64_t k = event.picks + 1;
    // Without a rule everybody is eligible: no pass over the pool.
    if (level->groups.empty() && level->excluded.empty()) {
        if (event.pool.empty()) return std::nullopt;
        return verify::KeyedPick(*event.seed, levelName, k, event.pool.size());
    }
    const std::vector<size_t> eligible = Eligible(event, *level);
    if (eligible.empty()) return std::nullopt;
    return eligible[verify::KeyedPick(*event.seed, levelName, k, eligible.size())];
}

std::string TakePick(VerifiedEvent& event, size_t index) {
    std::string name = std::move(event.pool[index]);
    event.pool.erase(event.pool.begin() + static_cast<std::ptrdiff_t>(index));
    ++event.picks;
    return name;
}

namespace {

void Tell(const Text& text) { host().dialogs->showMessage(text, msg::kIconWarning, Gbk("公证抽奖")); }

// The waiting lines after a failed append, which may have left part of what it tried to
// write, or all of it, at the record's end: that is cut off before they go in.
bool WriteAfterFailure(const VerifiedEvent& event) {
    std::optional<Bytes> text = TryReadWholeFile(VerifiedRecordPath());
    if (!text) return false;
    const std::string_view tried = event.failedWrite;
    for (size_t part = tried.size(); part > 0; --part) {
        if (std::string_view(*text).ends_with(tried.substr(0, part))) {
            text->resize(text->size() - part);
            break;
        }
    }
    return WriteWholeFile(VerifiedRecordPath(), *text + event.unwritten);
}


}  // namespace

Text VerifiedRecordPath() { return files::InProgramDirectory(Gbk(verify::kRecordFile)); }
Text VerifiedListPath() { return files::InProgramDirectory(Gbk(verify::kSealedListFile)); }
Text VerifiedSecretPath() { return files::InProgramDirectory(Gbk(".公证密钥")); }

VerifiedEvent* OpenVerifiedEvent() {
    std::optional<VerifiedEvent>& event = Slot();
    return event && !event->revealed ? &*event : nullptr;
}

bool VerifiedDrawOn() { return OpenVerifiedEvent() != nullptr; }

void SetVerifiedEvent(std::optional<VerifiedEvent> event) { Slot() = std::move(event); }

int ResultsLineCount(const Text& resultsText) {
    return static_cast<int>(SplitPool(resultsText).size());
}

namespace {

// A level of the prize table as the seal writes it.
verify::SealedLevel LevelAsSealed(int level, const Text& name) {
    verify::SealedLevel sealed;
    sealed.name = Utf8(name);
    sealed.count = ToInt32(LevelCountText(level));
    sealed.perDraw = PerDrawCount(level);
    const LevelRule rule = ReadLevelRule(level);
    for (const Text& group : rule.groups) sealed.groups.push_back(Utf8(group));
    for (const Text& out : rule.excluded) sealed.excluded.push_back(Utf8(out));
    return sealed;
}

}  // namespace

verify::SealedList SealCurrentDraw() {
    verify::SealedList list;
    const LevelTexts names = LevelNames();
    for (int level = 1; level <= kLevelCount; ++level) {
        const Text& name = names[static_cast<size_t>(level - 1)];
        if (!name.empty()) list.levels.push_back(LevelAsSealed(level, name));
    }
    for (const Text& name : SplitPool(State().draw.poolText)) list.names.push_back(Utf8(name));
    std::sort(list.names.begin(), list.names.end());
    return list;
}

bool AppendEntry(VerifiedEvent& event, const std::string& type,
                 const std::vector<std::pair<std::string, std::string>>& fields,
                 const std::vector<std::pair<std::string, std::vector<std::string>>>& lists) {
    const std::string line =
        verify::ChainedLine(event.last.type.empty() ? nullptr : &event.last, type, fields, lists);
    // The entry is part of the chain whether or not the disk took it: the next write
    // carries it along.
    verify::AuditEntry entry;  // what the next line chains to
    entry.n = event.last.type.empty() ? 1 : event.last.n + 1;
    entry.type = type;
    entry.hash = line.substr(line.rfind(",\"hash\":\"") + 9, 64);
    event.last = std::move(entry);
    event.unwritten += line;
    const bool written = event.failedWrite.empty()
                             ? AppendToFile(VerifiedRecordPath(), event.unwritten)
                             : WriteAfterFailure(event);
    // A failed rewrite leaves the file as it was (it is replaced whole, or not at all).
    if (!written && event.failedWrite.empty()) event.failedWrite = event.unwritten;
    if (!written) {
        Tell(Gbk("公证记录写入失败，请检查磁盘：\r\n") + VerifiedRecordPath() +
             Gbk("\r\n下一次写入时会补上这一条。"));
        return false;
    }
    event.unwritten.clear();
    event.failedWrite.clear();
    return true;
}

std::optional<VerifiedEvent> SealEvent(const verify::SealedList& list, int resultsLines,
                                       std::string& problem) {
    // What the list's text cannot hold (a tab or a line end in a name, a negative count)
    // would seal a list that no verifier, and no resume, reads back.
    if (verify::ParseSealedList(verify::CanonicalText(list)) != list) {
        problem =
            "奖项设置或名单中有无法封存的内容（名字中的制表符或换行、负数或过大的人数），"
            "请改正后再开始公证抽奖。";
        return std::nullopt;
    }
    VerifiedEvent event;
    event.list = list;
    event.pool = list.names;
    event.fingerprint = verify::Fingerprint(list);
    os::RandomBytes(event.secret.data(), event.secret.size());
    event.commitment = Sha256OfDigest(event.secret);
    event.linesBefore = resultsLines;
    // The secret first: a record without it could never be revealed.
    if (!WriteWholeFile(VerifiedSecretPath(), Hex(event.secret)) ||
        !WriteWholeFile(VerifiedListPath(), verify::CanonicalText(list))) {
        problem = "无法写入公证文件：" + GbkToUtf8(ProgramDirectory());
        return std::nullopt;
    }
    SetFileAttribute(VerifiedSecretPath(), 2);
    DeleteFileAt(VerifiedRecordPath());
    if (!AppendEntry(event, "seal",
                     {{"fingerprint", Hex(event.fingerprint)},
                      {"commitment", Hex(event.commitment)},
                      {"list", verify::kSealedListFile},
                      {"lines_before", std::to_string(resultsLines)}})) {
        problem = "无法写入公证记录：" + GbkToUtf8(VerifiedRecordPath());
        return std::nullopt;
    }
    return event;
}

bool SetSeedDigits(VerifiedEvent& event, const std::string& digits) {
    event.digits = digits;
    event.seed = verify::EventSeed(event.secret, digits, event.fingerprint);
    return AppendEntry(event, "seed", {{"digits", digits}});
}

bool RevealSecret(VerifiedEvent& event) {
    const verify::AuditEntry last = event.last;
    const std::string unwritten = event.unwritten;
    if (!AppendEntry(event, "reveal", {{"secret", Hex(event.secret)}})) {
        // Not revealed until the record says so: the event stays open, and the reveal is not
        // carried into a later write, where stops could follow it.
        event.last = last;
        event.unwritten = unwritten;
        return false;
    }
    event.revealed = true;
    DeleteFileAt(VerifiedSecretPath());
    return true;
}

Text VerifiedStopRefusal(const Text& selector, std::optional<int> level) {
    const VerifiedEvent* event = OpenVerifiedEvent();
    if (!event) return {};
    if (!event->seed) return Gbk("公证抽奖还没有现场数字：请在 活动工具 → 公证抽奖 中输入。");
    const verify::SealedLevel* sealed = SealedLevelNamed(*event, Utf8(selector));
    if (!sealed || !level || !(LevelAsSealed(*level, selector) == *sealed))
        return Gbk("“") + selector +
               Gbk("”不在公证封存的奖项中，或它的人数、每次人数、规则在封存后改过：公证抽奖只按封存时"
                   "的奖项设置抽取。");
    return {};
}

size_t VerifiedEligibleCount(const VerifiedEvent& event, const Text& level) {
    const verify::SealedLevel* sealed = SealedLevelNamed(event, Utf8(level));
    if (!sealed) return 0;
    if (sealed->groups.empty() && sealed->excluded.empty()) return event.pool.size();
    return Eligible(event, *sealed).size();
}

std::optional<Text> NextVerifiedPick(VerifiedEvent& event, const Text& level) {
    const std::optional<size_t> index = PeekPick(event, Utf8(level));
    if (!index) return std::nullopt;
    const std::string name = TakePick(event, *index);
    // The pool's own line: a name that is not valid GBK comes back from UTF-8 as other bytes,
    // which would leave the winner in the pool.
    const Text gbk = ToGbk(name);
    const std::vector<Text> lines = SplitPool(State().draw.poolText);
    if (std::find(lines.begin(), lines.end(), gbk) != lines.end()) return gbk;
    for (const Text& line : lines)
        if (Utf8(line) == name) return line;
    return gbk;
}

void RecordVerifiedStop(VerifiedEvent& event, const Text& level, const std::vector<Text>& winners,
                        int firstLine) {
    std::vector<std::string> names, lines;
    for (size_t i = 0; i < winners.size(); ++i) {
        names.push_back(Utf8(winners[i]));
        lines.push_back(std::to_string(firstLine + static_cast<int>(i)));
    }
    AppendEntry(event, "stop", {{"level", Utf8(level)}}, {{"winners", names}, {"lines", lines}});
}

size_t CheckedInAfterSeal(const VerifiedEvent& event, const Text& poolText) {
    // Every winner leaves both the draw and the event's pool: the difference is theirs.
    size_t lines = static_cast<size_t>(std::count(poolText.begin(), poolText.end(), '\n'));
    if (!poolText.empty() && poolText.back() != '\n') ++lines;
    return lines > event.pool.size() ? lines - event.pool.size() : 0;
}

std::vector<Text> SealedNamesOnly(const VerifiedEvent& event, const std::vector<Text>& names) {
    std::vector<Text> kept;
    for (const Text& name : names)
        if (std::binary_search(event.list.names.begin(), event.list.names.end(), Utf8(name)))
            kept.push_back(name);
    return kept;
}

Text VerifiedBandText(const VerifiedEvent& event) {
    std::string digits;
    for (size_t i = 0; i < event.digits.size(); i += 6)
        digits += (i ? " " : "") + event.digits.substr(i, 6);
    return Gbk("公证抽奖　名单指纹 " + verify::ShortFingerprint(event.fingerprint) + "　承诺 " +
               verify::ShortFingerprint(event.commitment) + "　封存 " +
               std::to_string(event.list.names.size()) + " 人\r\n" +
               (digits.empty() ? std::string("现场数字：等待观众提供") : "现场数字 " + digits) +
               "　本场不设指定中奖人");
}

void ShowVerifiedBand() {
    if (!hasGui()) return;
    const VerifiedEvent* event = OpenVerifiedEvent();
    gui().setStageSeal(Stage(), event ? VerifiedBandText(*event) : Text());
}

}  // namespace ld::app
