// The record of a verified draw (公证记录.jsonl): one JSON object a line, UTF-8, each chained
// to the one before by hash, so that no entry can be changed, dropped or moved unseen:
//   {"n":1,"prev":"","type":"seal",<fields>,"hash":"<hex>"}
// "hash" is the SHA-256 of the line up to (not including) `,"hash":`; "prev" is the hash of
// the entry before ("" for the first). Fields are strings or arrays of strings; their order is
// the writer's and part of what is hashed.
//   seal     fingerprint, commitment (SHA-256 of the secret), list (the sealed list's file),
//            lines_before (lines of 抽奖结果.txt at the seal)
//   seed     digits (from the hall)
//   stop     level, winners (in pick order), lines (theirs in 抽奖结果.txt, 1-based)
//   unverified  line, name, level: a winner's line that no pick of the event made (found
//            after a crash); the verifier fails on it
//   forfeit  level, name
//   resume, recovery   (the program went on from a saved or a crashed draw)
//   reveal   secret (hex)
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ld::verify {

struct AuditEntry {
    int n = 0;
    std::string prev, type, hash;
    std::map<std::string, std::string> fields;               // string fields
    std::map<std::string, std::vector<std::string>> lists;  // array fields
    std::vector<std::string> order;                          // field names as written
};

// The next line of a record whose last entry is `last` (nullptr for the first): n, prev and
// hash filled in. Fields in the order of `fields`, then `lists`.
std::string ChainedLine(const AuditEntry* last, const std::string& type,
                        const std::vector<std::pair<std::string, std::string>>& fields,
                        const std::vector<std::pair<std::string, std::vector<std::string>>>& lists =
                            {});

// A string or array field of an entry; empty when it has none.
inline std::string Field(const AuditEntry& e, const char* key) {
    const auto it = e.fields.find(key);
    return it == e.fields.end() ? std::string() : it->second;
}
inline std::vector<std::string> List(const AuditEntry& e, const char* key) {
    const auto it = e.lists.find(key);
    return it == e.lists.end() ? std::vector<std::string>() : it->second;
}

struct ReadRecord {
    std::vector<AuditEntry> entries;
    std::string problem;  // empty when every line is whole and the chain holds; else which line
};
ReadRecord ReadAuditRecord(std::string_view text);

}  // namespace ld::verify
