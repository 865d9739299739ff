// A verified event across runs of the program: continued at a resume or a recovery, ended at
// a fresh start, and its files kept together in history/ when a new event or a reset comes.
#include <algorithm>

#include "app/common/app_state.h"
#include "app/common/data_files.h"
#include "app/common/draw_files.h"
#include "app/draw/verified_event.h"
#include "services/encoding.h"
#include "services/files.h"
#include "services/host.h"
#include "services/local_time.h"
#include "verify/keyed_pick.h"
#include "verify/verify_command.h"

namespace ld::app {

namespace {

using verify::Field;
using verify::List;

void Tell(const Text& text) { host().dialogs->showMessage(text, msg::kIconWarning, Gbk("公证抽奖")); }

// The record as far as its last whole line: a crash in the middle of an append leaves a
// piece of a line, which is cut off (the results file says what it was; see CatchUp).
std::string WholeLines(const Text& path) {
    std::string text = ReadWholeFile(path);
    const size_t end = text.rfind('\n');
    const size_t keep = end == std::string::npos ? 0 : end + 1;
    if (keep < text.size()) {
        text.resize(keep);
        WriteWholeFile(path, text);
    }
    return text;
}

// The event a record describes, with its list and secret; nothing, with the reason, when
// they do not belong together.
std::optional<VerifiedEvent> LoadEvent(const verify::ReadRecord& record, Text& problem) {
    const std::vector<verify::AuditEntry>& entries = record.entries;
    const std::optional<verify::SealedList> list =
        verify::ParseSealedList(ReadWholeFile(VerifiedListPath()));
    if (!list || Hex(verify::Fingerprint(*list)) != Field(entries[0], "fingerprint")) {
        problem = Gbk("公证名单.txt 缺失或与封存时的指纹不符");
        return std::nullopt;
    }
    std::string secretHex = ReadWholeFile(VerifiedSecretPath());
    const std::optional<Digest> secret = DigestFromHex(secretHex);
    if (!secret || Hex(Sha256OfDigest(*secret)) != Field(entries[0], "commitment")) {
        problem = Gbk("公证密钥文件缺失或与承诺不符，密钥无法公布");
        return std::nullopt;
    }
    VerifiedEvent event;
    event.list = *list;
    event.pool = list->names;
    event.fingerprint = verify::Fingerprint(*list);
    event.secret = *secret;
    event.commitment = Sha256OfDigest(*secret);
    event.linesBefore = std::atoi(Field(entries[0], "lines_before").c_str());
    for (const verify::AuditEntry& e : entries) {
        if (e.type == "seed") {
            event.digits = Field(e, "digits");
            event.seed = verify::EventSeed(event.secret, event.digits, event.fingerprint);
        }
        if (e.type != "stop" && e.type != "unverified") continue;
        std::vector<std::string> names = List(e, "winners");
        if (e.type == "unverified") names = {Field(e, "name")};
        for (const std::string& name : names) {
            const auto it = std::find(event.pool.begin(), event.pool.end(), name);
            if (it != event.pool.end()) event.pool.erase(it);
            if (e.type == "stop") ++event.picks;
        }
    }
    event.last = entries.back();
    return event;
}

// The winner and level of a forfeit's results line (see ForfeitLine, NamedForfeitLine):
// the plain one is for the winner on the line before it.
std::optional<std::pair<std::string, std::string>> ForfeitOf(const std::vector<Text>& lines,
                                                             size_t i) {
    const std::string line = GbkToUtf8(lines[i]), indent(24, ' ');
    std::string winner = line;
    if (line == indent + "(上一个中奖人放弃)" && i > 0) {
        winner = GbkToUtf8(lines[i - 1]);
    } else if (line.starts_with(indent + "(中奖人 ") && line.ends_with(")")) {
        winner = line.substr(indent.size() + 11, line.size() - indent.size() - 12);
        const size_t gave = winner.rfind(" 放弃 ");
        if (gave == std::string::npos) return std::nullopt;
        winner.replace(gave, 8, "  ------  ");
    } else {
        return std::nullopt;
    }
    const size_t mark = winner.find("  ------  ");
    if (mark == std::string::npos) return std::nullopt;
    return std::pair(winner.substr(0, mark), winner.substr(mark + 10));
}

// Winners' lines of the results after the last one the record names: a crash between the
// results write and the record's entry. A line that is the event's next pick is recorded as
// that stop; any other is recorded as not drawn by the event (and taken out of its pool, as
// the results are the ledger). Gives how many lines were not the event's.
int CatchUp(VerifiedEvent& event, const Text& resultsText) {
    int last = event.linesBefore;
    std::vector<std::pair<std::string, std::string>> forfeits;  // recorded: (name, level)
    for (const verify::AuditEntry& e : verify::ReadAuditRecord(ReadWholeFile(VerifiedRecordPath())).entries) {
        last = std::max(last, std::atoi(Field(e, "line").c_str()));
        for (const std::string& line : List(e, "lines")) last = std::max(last, std::atoi(line.c_str()));
        if (e.type == "forfeit") forfeits.emplace_back(Field(e, "name"), Field(e, "level"));
    }
    const std::vector<Text> lines = SplitPool(resultsText);
    int strays = 0;
    for (size_t i = static_cast<size_t>(std::max(last, 0)); i < lines.size(); ++i) {
        const std::string line = GbkToUtf8(lines[i]);
        const size_t mark = line.find("  ------  ");
        // A forfeit whose entry was lost: without it the redraw of the place would count as
        // one winner too many.
        if (const auto forfeit = ForfeitOf(lines, i);
            forfeit && std::find(forfeits.begin(), forfeits.end(), *forfeit) == forfeits.end()) {
            AppendEntry(event, "forfeit", {{"level", forfeit->second}, {"name", forfeit->first}});
            forfeits.push_back(*forfeit);
        }
        if (mark == std::string::npos) continue;
        const std::string name = line.substr(0, mark), level = line.substr(mark + 10);
        const std::string number = std::to_string(i + 1);
        const std::optional<size_t> pick = PeekPick(event, level);
        if (pick && event.pool[*pick] == name) {
            TakePick(event, *pick);
            AppendEntry(event, "stop", {{"level", level}}, {{"winners", {name}}, {"lines", {number}}});
            continue;
        }
        const auto it = std::find(event.pool.begin(), event.pool.end(), name);
        if (it != event.pool.end()) event.pool.erase(it);
        AppendEntry(event, "unverified", {{"line", number}, {"name", name}, {"level", level}});
        ++strays;
    }
    return strays;
}

std::optional<verify::ReadRecord> ReadOpenRecord(bool& revealed, Text& problem) {
    const verify::ReadRecord record = verify::ReadAuditRecord(WholeLines(VerifiedRecordPath()));
    if (!record.problem.empty() || record.entries.empty() || record.entries[0].type != "seal") {
        problem = Gbk("公证记录.jsonl 无法读取：") +
                  Gbk(record.problem.empty() ? "不是以封存开始" : record.problem);
        return std::nullopt;
    }
    revealed = std::any_of(record.entries.begin(), record.entries.end(),
                           [](const verify::AuditEntry& e) { return e.type == "reveal"; });
    return record;
}

}  // namespace

bool VerifiedFilesPresent() { return FileExists(VerifiedRecordPath()); }

std::optional<Text> ArchiveVerifiedFiles() {
    const Text history = files::InProgramDirectory(files::HistoryFolder());
    CreateFolder(history);
    const Text folder = FreeHistoryPath(LocalTimeNow(), Gbk("公证-"), "");
    bool moved = CreateFolder(folder) &&
                 MoveFileTo(VerifiedRecordPath(), folder + "/" + Gbk(verify::kRecordFile));
    if (moved && FileExists(VerifiedListPath()))
        moved = MoveFileTo(VerifiedListPath(), folder + "/" + Gbk(verify::kSealedListFile));
    const Text results = files::InProgramDirectory(files::Results());
    if (moved && FileExists(results)) moved = CopyFileTo(results, folder + "/" + files::Results());
    // A secret the record could not take goes along: the next seal would overwrite it, and
    // with it every chance to verify the event.
    if (moved && FileExists(VerifiedSecretPath()))
        moved = MoveFileTo(VerifiedSecretPath(), folder + "/" + Gbk("公证密钥（未能写入记录）.txt"));
    if (!moved) {
        Tell(Gbk("无法把公证记录移到 history 文件夹：") + folder);
        return std::nullopt;
    }
    return folder;
}

bool EndVerifiedEvent() {
    VerifiedEvent* event = OpenVerifiedEvent();
    if (!event) return true;
    const bool revealed = RevealSecret(*event);
    ShowVerifiedBand();
    return revealed;
}

void RecordVerifiedForfeit(const Text& level, const Text& name) {
    if (VerifiedEvent* event = OpenVerifiedEvent())
        AppendEntry(*event, "forfeit", {{"level", GbkToUtf8(level)}, {"name", GbkToUtf8(name)}});
}

void ContinueVerifiedEvent(bool continued, bool recovered, const Text& resultsText) {
    SetVerifiedEvent(std::nullopt);
    if (!VerifiedFilesPresent()) return;
    bool revealed = false;
    Text problem;
    const std::optional<verify::ReadRecord> record = ReadOpenRecord(revealed, problem);
    std::optional<VerifiedEvent> event;
    if (record && !revealed) event = LoadEvent(*record, problem);
    if (!problem.empty()) {
        const std::optional<Text> kept = ArchiveVerifiedFiles();
        Tell(Gbk("上次的公证抽奖无法继续：") + problem +
             (kept ? Gbk("。\r\n记录已移到：") + *kept : Text()));
        return;
    }
    if (revealed) {
        // Its results are about to be replaced by a fresh start's: the event's files go
        // together into history/ while they still belong together.
        if (!continued) ArchiveVerifiedFiles();
        return;
    }
    if (!continued) {
        RevealSecret(*event);
        if (const std::optional<Text> kept = ArchiveVerifiedFiles())
            Tell(Gbk("上次的公证抽奖已结束，密钥已公布。记录已移到：") + *kept);
        return;
    }
    AppendEntry(*event, recovered ? "recovery" : "resume", {});
    const int strays = CatchUp(*event, resultsText);
    SetVerifiedEvent(std::move(event));
    if (strays > 0) {
        Tell(Gbk("抽奖结果.txt 中有 ") + ToText(strays) +
             Gbk(" 位中奖人不是公证抽取的结果，已记入公证记录，复核时会指出。"));
    }
}

}  // namespace ld::app
