// A whole verified event replayed: single and batch stops, a forfeit and the redraw of its
// place; the winners were computed by Python's standard library from the documented formulas
// (tools/verify/verify_draw.py). Every tampering is found and named.
#include "verify/replay.h"

#include <gtest/gtest.h>

#include <numeric>

#include "services/sha256.h"
#include "verify/audit_record.h"

namespace ld::verify {
namespace {

const std::string kList =
    "luckydraw sealed list v1\n"
    "level\t特等奖\t1\t1\t销售部\t\n"
    "level\t一等奖\t3\t3\t\t甲\n"
    "name\t丁\nname\t丙（财务部）\nname\t乙（销售部）\nname\t己\nname\t庚（财务部）\n"
    "name\t戊（销售部）\nname\t甲（销售部）\nname\t辛\n";
const std::string kResults =
    "甲（销售部）  ------  特等奖\r\n乙（销售部）  ------  一等奖\r\n丁  ------  一等奖\r\n"
    "己  ------  一等奖\r\n                        (中奖人 丁 放弃 一等奖)\r\n辛  ------  一等奖\r\n";

Digest Secret() {
    Digest secret;
    std::iota(secret.begin(), secret.end(), uint8_t{0});
    return secret;
}

std::string Event(const std::string& digits = "314159265358979323", Digest secret = Secret()) {
    std::string text;
    auto add = [&](const std::string& type,
                   const std::vector<std::pair<std::string, std::string>>& fields,
                   const std::vector<std::pair<std::string, std::vector<std::string>>>& lists = {}) {
        const ReadRecord so_far = ReadAuditRecord(text);
        text += ChainedLine(so_far.entries.empty() ? nullptr : &so_far.entries.back(), type,
                            fields, lists);
    };
    const std::string commitment =
        Hex(Sha256Of(std::string_view(reinterpret_cast<const char*>(Secret().data()), 32)));
    add("seal", {{"fingerprint", Hex(Sha256Of(kList))}, {"commitment", commitment},
                 {"list", "公证名单.txt"}});
    add("seed", {{"digits", digits}});
    add("stop", {{"level", "特等奖"}}, {{"winners", {"甲（销售部）"}}, {"lines", {"1"}}});
    add("stop", {{"level", "一等奖"}}, {{"winners", {"乙（销售部）", "丁", "己"}}, {"lines", {"2", "3", "4"}}});
    add("forfeit", {{"level", "一等奖"}, {"name", "丁"}});
    add("recovery", {});
    add("stop", {{"level", "一等奖"}}, {{"winners", {"辛"}}, {"lines", {"6"}}});
    add("reveal", {{"secret", Hex(secret)}});
    return text;
}

TEST(Replay, AWholeEventPassesAndEveryTamperingIsNamed) {
    const Replay passed = ReplayEvent(Event(), kList, kResults);
    EXPECT_EQ(passed.verdict, "复核通过");
    EXPECT_EQ(passed.levels,
              (std::vector<std::string>{"特等奖：甲（销售部）", "一等奖：乙（销售部）、丁、己、辛"}));

    std::string list = kList;
    list[list.find("辛") - 1] = ' ';
    EXPECT_EQ(ReplayEvent(Event(), list, kResults).verdict,
              "复核未通过：封存的名单文件格式不对");
    list = kList;
    list.replace(list.find("庚"), 3, "康");
    EXPECT_EQ(ReplayEvent(Event(), list, kResults).verdict,
              "复核未通过：名单与封存时的指纹不符（名单被改动过）");
    // Another digit: the picks go elsewhere (the first may agree by chance, one in three).
    EXPECT_TRUE(ReplayEvent(Event("314159265358979324"), kList, kResults)
                    .verdict.starts_with("复核未通过：第 2 次抽取（一等奖）计算为 "));
    Digest other = Secret();
    other[0] = 1;
    EXPECT_EQ(ReplayEvent(Event("314159265358979323", other), kList, kResults).verdict,
              "复核未通过：公布的密钥与封存时的承诺不符");
    // A winner's line between the picks that no pick made (here in place of the forfeit's).
    std::string results = kResults;
    results.replace(results.find("                        ("), 56, "戊  ------  特等奖");
    EXPECT_EQ(ReplayEvent(Event(), kList, results).verdict,
              "复核未通过：抽奖结果.txt 第 5 行的中奖人不在公证记录中");
    results = kResults;
    results.replace(results.find("丁  --"), 3, "戊");
    EXPECT_EQ(ReplayEvent(Event(), kList, results).verdict,
              "复核未通过：抽奖结果.txt 第 3 行与第 3 次抽取（一等奖）不符");
    std::string record = Event();
    record[record.find("\"丁\"") + 1] = '\x20';
    EXPECT_EQ(ReplayEvent(record, kList, kResults).verdict,
              "复核未通过：公证记录第 4 行与前面的记录接不上（被改动、删除或调换过）");
}

// Each entry of Event() as its own line, to be put together again in another order.
std::vector<std::string> EntryLines(const std::string& record) {
    std::vector<std::string> lines;
    for (const AuditEntry& e : ReadAuditRecord(record).entries) {
        std::vector<std::pair<std::string, std::string>> fields;
        std::vector<std::pair<std::string, std::vector<std::string>>> lists;
        for (const std::string& key : e.order) {
            if (e.fields.contains(key)) fields.emplace_back(key, e.fields.at(key));
            if (e.lists.contains(key)) lists.emplace_back(key, e.lists.at(key));
        }
        AuditEntry none;
        lines.push_back(ChainedLine(&none, e.type, fields, lists));
    }
    return lines;
}

std::string Rechained(const std::vector<std::string>& lines, const std::vector<size_t>& order) {
    std::string text;
    for (size_t i : order) {
        const ReadRecord so_far = ReadAuditRecord(text);
        AuditEntry last = so_far.entries.empty() ? AuditEntry{} : so_far.entries.back();
        const std::string& line = lines[i];
        // The type and fields of the line, chained anew.
        const size_t typeAt = line.find(",\"type\":"), hashAt = line.rfind(",\"hash\":");
        std::string body = "{\"n\":" + std::to_string(last.n + 1) + ",\"prev\":\"" + last.hash +
                           "\"" + line.substr(typeAt, hashAt - typeAt);
        text += body + ",\"hash\":\"" + Hex(Sha256Of(body)) + "\"}\n";
    }
    return text;
}

// Lines: 0 seal, 1 seed, 2 and 3 stops, 4 forfeit, 5 recovery, 6 stop, 7 reveal.
TEST(Replay, ARecordNotAsTheProgramWritesItFails) {
    const std::vector<std::string> lines = EntryLines(Event());
    ASSERT_EQ(ReplayEvent(Rechained(lines, {0, 1, 2, 3, 4, 5, 6, 7}), kList, kResults).verdict,
              "复核通过");
    std::vector<std::string> twoSeeds = lines;
    twoSeeds.push_back(EntryLines(Event("999999999999999999"))[1]);  // 8: other digits
    EXPECT_EQ(
        ReplayEvent(Rechained(twoSeeds, {0, 8, 1, 2, 3, 4, 5, 6, 7}), kList, kResults).verdict,
        "复核未通过：公证记录第 3 行重复了封存或现场数字");
    EXPECT_EQ(ReplayEvent(Rechained(lines, {0, 2, 1, 3, 4, 5, 6, 7}), kList, kResults).verdict,
              "复核未通过：公证记录第 2 行的抽取不完整或在现场数字之前");
    EXPECT_EQ(ReplayEvent(Rechained(lines, {0, 1, 2, 3, 4, 5, 7, 6}), kList, kResults).verdict,
              "复核未通过：公证记录第 7 行公布密钥后还有记录");
    std::vector<std::string> noWinners = lines;
    noWinners[6] = ChainedLine(nullptr, "stop", {{"level", "一等奖"}, {"winners", "辛"}});
    EXPECT_EQ(ReplayEvent(Rechained(noWinners, {0, 1, 2, 3, 4, 5, 6, 7}), kList, kResults).verdict,
              "复核未通过：公证记录第 7 行的抽取不完整或在现场数字之前");
    noWinners[6] = ChainedLine(nullptr, "stop", {{"level", "一等奖"}},
                               {{"winners", {"辛"}}, {"lines", {"6x"}}});
    EXPECT_EQ(ReplayEvent(Rechained(noWinners, {0, 1, 2, 3, 4, 5, 6, 7}), kList, kResults).verdict,
              "复核未通过：抽奖结果.txt 第 0 行与第 5 次抽取（一等奖）不符");
    // Without the forfeit, the last stop is a fourth winner of a level of three.
    EXPECT_EQ(ReplayEvent(Rechained(lines, {0, 1, 2, 3, 5, 6, 7}), kList, kResults).verdict,
              "复核未通过：第 5 次抽取（一等奖）超出了封存的人数");
}

TEST(Replay, TheRulesMatchTheDrawsOwn) {
    EXPECT_TRUE(Allowed("张三（销售部）", {"销售部"}, {}));
    EXPECT_TRUE(Allowed("张三（　销售部 ）", {"销售部"}, {}));
    EXPECT_FALSE(Allowed("张三（销售部）", {"财务部"}, {}));
    EXPECT_FALSE(Allowed("张三", {"销售部"}, {}));
    EXPECT_FALSE(Allowed("张三（销售部）", {}, {"张三"}));
    EXPECT_FALSE(Allowed("张三（销售部）", {}, {"张三（销售部）"}));
    EXPECT_TRUE(Allowed("（销售部）", {}, {"销售部"}));  // a name, not a group
}

}  // namespace
}  // namespace ld::verify
