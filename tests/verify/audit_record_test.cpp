// The record's chain: what the writer makes reads back whole; a changed byte, a dropped or a
// moved line is found and named.
#include "verify/audit_record.h"

#include <gtest/gtest.h>

#include "services/sha256.h"

namespace ld::verify {
namespace {

std::string Record() {
    std::string text;
    ReadRecord so_far;
    auto add = [&](const std::string& type,
                   const std::vector<std::pair<std::string, std::string>>& fields,
                   const std::vector<std::pair<std::string, std::vector<std::string>>>& lists = {}) {
        so_far = ReadAuditRecord(text);
        text += ChainedLine(so_far.entries.empty() ? nullptr : &so_far.entries.back(), type,
                            fields, lists);
    };
    add("seal", {{"fingerprint", "ab"}, {"commitment", "cd"}, {"list", "公证名单.txt"}});
    add("seed", {{"digits", "123456789012345678"}});
    add("stop", {{"level", "特等奖"}}, {{"winners", {"张三", "a\"b\\c\td"}}});
    add("reveal", {{"secret", "00ff"}});
    return text;
}

TEST(AuditRecord, TheChainReadsBackAndEveryChangeIsNamed) {
    const std::string text = Record();
    const ReadRecord read = ReadAuditRecord(text);
    ASSERT_EQ(read.problem, "");
    ASSERT_EQ(read.entries.size(), 4u);
    EXPECT_EQ(read.entries[2].type, "stop");
    EXPECT_EQ(read.entries[2].fields.at("level"), "特等奖");
    EXPECT_EQ(read.entries[2].lists.at("winners"), (std::vector<std::string>{"张三", "a\"b\\c\td"}));
    EXPECT_EQ(read.entries[3].prev, read.entries[2].hash);

    std::string changed = text;
    changed[changed.find("123456")] = '9';
    EXPECT_EQ(ReadAuditRecord(changed).problem, "第 2 行与前面的记录接不上（被改动、删除或调换过）");
    const size_t second = text.find('\n') + 1, third = text.find('\n', second) + 1;
    EXPECT_EQ(ReadAuditRecord(text.substr(0, second) + text.substr(third)).problem,
              "第 2 行与前面的记录接不上（被改动、删除或调换过）");
    EXPECT_EQ(ReadAuditRecord(text.substr(0, text.size() - 5)).problem, "第 4 行不是完整的记录");
    // A key twice, chained anew: refused, as readers differ on which one counts.
    std::string twice =
        "{\"n\":1,\"prev\":\"\",\"type\":\"stop\",\"winners\":[\"a\"],\"winners\":[\"b\"]";
    twice += ",\"hash\":\"" + Hex(Sha256Of(twice)) + "\"}\n";
    EXPECT_EQ(ReadAuditRecord(twice).problem, "第 1 行不是完整的记录");
    // Saved again with CR LF line ends, as the script reads it.
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(ReadAuditRecord(crlf).problem, "");
}

}  // namespace
}  // namespace ld::verify
