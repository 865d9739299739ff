#include "app/tools/verified_draw.h"

#include <algorithm>

#include "app/common/app_state.h"
#include "app/draw/draw_engine_parts.h"
#include "app/draw/draw_levels.h"
#include "app/draw/verified_event.h"
#include "services/encoding.h"
#include "services/files.h"
#include "services/host.h"
#include "verify/audit_record.h"
#include "verify/verify_command.h"

namespace ld::app {

namespace {

constexpr size_t kMinDigits = 18, kMaxDigits = 60;

int Ask(const char* utf8Text, int style) {
    return host().dialogs->showMessage(Gbk(utf8Text), style, Gbk("公证抽奖"));
}

void Tell(const Text& text) { host().dialogs->showMessage(text, msg::kOk, Gbk("公证抽奖")); }

// The digits of what was typed: ASCII and full-width ones (GBK A3 B0 … A3 B9); anything
// else (spaces, dashes) is left out.
std::string DigitsOf(const Text& typed) {
    std::string digits;
    for (size_t i = 0; i < typed.size(); ++i) {
        const auto c = static_cast<unsigned char>(typed[i]);
        if (c >= '0' && c <= '9') digits += static_cast<char>(c);
        if (c >= 0x81 && i + 1 < typed.size()) {
            const auto d = static_cast<unsigned char>(typed[i + 1]);
            if (c == 0xA3 && d >= 0xB0 && d <= 0xB9) digits += static_cast<char>('0' + d - 0xB0);
            ++i;
        }
    }
    return digits;
}

std::string Grouped(const std::string& digits) {
    std::string out;
    for (size_t i = 0; i < digits.size(); i += 6) out += (i ? " " : "") + digits.substr(i, 6);
    return out;
}

// The hall's digits, a few people at a time, each entry shown on the stage's band at once.
// The seed is fixed when the operator confirms at least 18 of them.
void AskSeedDigits(VerifiedEvent& event) {
    std::string digits;
    for (int person = 1;; ++person) {
        event.digits = digits;
        ShowVerifiedBand();
        Text typed;
        const Text prompt = Gbk("请第 " + std::to_string(person) + " 位观众说出 6 位数字（已有 " +
                                std::to_string(digits.size()) + " 位，至少 18 位）：");
        if (!host().dialogs->inputBox(prompt, Gbk("现场数字"), Text(), typed, false)) break;
        digits = (digits + DigitsOf(typed)).substr(0, kMaxDigits);
        if (digits.size() < kMinDigits) continue;
        const int answer = host().dialogs->showMessage(
            Gbk("现场数字共 " + std::to_string(digits.size()) + " 位：\r\n" + Grouped(digits) +
                "\r\n\r\n确定用这些数字吗？选“否”请更多观众继续提供。"),
            msg::kYesNoCancel | msg::kIconQuestion, Gbk("确认现场数字"));
        if (answer == msg::kAnswerYes) {
            SetSeedDigits(event, digits);
            ShowVerifiedBand();
            return;
        }
        if (answer != msg::kAnswerNo) break;
    }
    event.digits.clear();
    ShowVerifiedBand();
    Tell(Gbk("还没有确定现场数字，公证抽奖还不能开始。\r\n可随时从 活动工具 → 公证抽奖 继续输入。"));
}

bool AnyDesignatedWinner() {
    const std::vector<Text> all = AllDesignatedWinners();
    return std::any_of(all.begin(), all.end(), [](const Text& name) { return !name.empty(); });
}

void StartVerifiedDraw() {
    const DrawState& draw = State().draw;
    if (StageControl("超级按钮").text() != StartCaption() || StageControl("超级按钮").disabled())
        return Tell(Gbk("请在抽奖停止后再开始公证抽奖。"));
    if (StageControl("选择框_是否允许重复抽奖").getBool(prop::kChecked))
        return Tell(Gbk("公证抽奖中每人只能中奖一次：请先取消“是否允许重复抽奖”。"));
    const size_t people = SplitPool(draw.poolText).size();
    if (people == 0) return Tell(Gbk("奖池中没有人，无法封存名单。"));
    if (AnyDesignatedWinner() &&
        Ask("已经设置了指定中奖人。公证抽奖中指定中奖人不起作用，每位中奖人都由公开的种子决定。"
            "\r\n\r\n是否继续？",
            msg::kYesNo | msg::kIconQuestion) != msg::kAnswerYes)
        return;
    const Text question =
        Gbk("开始公证抽奖：封存奖池中的 " + std::to_string(people) +
            " 人和奖项设置，计算名单指纹，并由程序承诺一个密钥，然后请观众提供现场数字。"
            "\r\n封存后签到的人要等下一次封存才能参加。\r\n\r\n是否开始？");
    if (host().dialogs->showMessage(question, msg::kOkCancel | msg::kIconQuestion,
                                    Gbk("公证抽奖")) != msg::kAnswerOk)
        return;
    if (VerifiedFilesPresent() && !ArchiveVerifiedFiles()) return;
    std::string problem;
    std::optional<VerifiedEvent> event =
        SealEvent(SealCurrentDraw(), ResultsLineCount(draw.resultsText), problem);
    if (!event) return Tell(Gbk(problem));
    SetVerifiedEvent(std::move(event));
    AskSeedDigits(*OpenVerifiedEvent());
}

void EndVerifiedDrawCommand() {
    if (Ask("结束公证抽奖？结束后公布密钥，任何人都可以用公证记录复核本场抽奖；此后的抽奖不再公证。",
            msg::kOkCancel | msg::kIconQuestion) != msg::kAnswerOk)
        return;
    if (!EndVerifiedEvent()) return;  // the failed write was told; the event goes on
    Tell(Gbk("公证抽奖已结束，密钥已公布。\r\n复核：luckydraw --verify ") + VerifiedRecordPath());
}

size_t WaitingForNextSeal(const VerifiedEvent& event) {
    return CheckedInAfterSeal(event, State().draw.poolText);
}

}  // namespace

bool VerifiedDrawChecked() { return VerifiedDrawOn(); }

void ToggleVerifiedDraw() {
    VerifiedEvent* event = OpenVerifiedEvent();
    if (!event) return StartVerifiedDraw();
    if (event->seed) return EndVerifiedDrawCommand();
    const int answer = Ask("还没有现场数字。\r\n\r\n选“是”请观众提供现场数字；选“否”结束本次公证。",
                           msg::kYesNoCancel | msg::kIconQuestion);
    if (answer == msg::kAnswerYes) AskSeedDigits(*event);
    if (answer == msg::kAnswerNo) EndVerifiedDrawCommand();
}

std::string VerifiedInfoCaption() {
    const VerifiedEvent* event = OpenVerifiedEvent();
    const size_t waiting = event ? WaitingForNextSeal(*event) : 0;
    return waiting == 0 ? "公证信息"
                        : "公证信息（" + std::to_string(waiting) + " 人待下次封存）";
}

void ShowVerifiedInfo() {
    const std::vector<std::string> lines = VerifiedExportLines();
    if (lines.empty()) return Tell(Gbk("本场没有进行公证抽奖。"));
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    if (const VerifiedEvent* event = OpenVerifiedEvent()) {
        text += "封存人数：" + std::to_string(event->list.names.size()) + "，已抽取 " +
                std::to_string(event->picks) + " 人\r\n";
        if (const size_t waiting = WaitingForNextSeal(*event))
            text += "封存后签到 " + std::to_string(waiting) + " 人，要等下一次封存才能参加\r\n";
    }
    text += "记录文件：" + GbkToUtf8(VerifiedRecordPath());
    Tell(Gbk(text));
}

std::vector<std::string> VerifiedExportLines() {
    const verify::ReadRecord record = verify::ReadAuditRecord(ReadWholeFile(VerifiedRecordPath()));
    if (record.entries.empty() || record.entries[0].type != "seal") return {};
    std::string digits, secret;
    for (const verify::AuditEntry& e : record.entries) {
        if (e.type == "seed") digits = verify::Field(e, "digits");
        if (e.type == "reveal") secret = verify::Field(e, "secret");
    }
    return {
        "公证抽奖",
        "名单指纹：" + verify::Field(record.entries[0], "fingerprint"),
        "承诺（密钥的 SHA-256）：" + verify::Field(record.entries[0], "commitment"),
        "现场数字：" + (digits.empty() ? std::string("尚未提供") : Grouped(digits)),
        "密钥：" + (secret.empty() ? std::string("结束公证时公布") : secret),
        "复核方法：luckydraw --verify 公证记录.jsonl，或 python3 verify_draw.py 公证记录.jsonl "
        "公证名单.txt 抽奖结果.txt（三个文件在同一文件夹）",
    };
}

}  // namespace ld::app
