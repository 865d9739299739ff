#include "verify/audit_record.h"

#include <cctype>
#include <set>

#include "services/sha256.h"
#include "services/utf8.h"

namespace ld::verify {

namespace {

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            static const char* digits = "0123456789abcdef";
            out += "\\u00";
            out += digits[byte >> 4];
            out += digits[byte & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// A reader of the one form the writer makes: an object of strings, integers and arrays of
// strings. Any other JSON is refused.
class Reader {
public:
    explicit Reader(std::string_view text) : s_(text) {}

    bool object(AuditEntry& entry, std::string& lastKey) {
        if (!take('{')) return false;
        for (bool first = true; !take('}'); first = false) {
            if (!first && !take(',')) return false;
            std::string key;
            if (!string(key) || !take(':')) return false;
            // A key given twice would read one way here and another in other readers.
            if (!seen_.insert(key).second) return false;
            lastKey = key;
            if (!value(entry, key)) return false;
        }
        return at_ == s_.size();
    }

private:
    bool take(char c) {
        if (at_ >= s_.size() || s_[at_] != c) return false;
        ++at_;
        return true;
    }
    bool value(AuditEntry& entry, const std::string& key) {
        if (key == "n") return number(entry.n);
        if (at_ < s_.size() && s_[at_] == '[') {
            ++at_;
            std::vector<std::string>& items = entry.lists[key];
            for (bool first = true; !take(']'); first = false) {
                std::string item;
                if ((!first && !take(',')) || !string(item)) return false;
                items.push_back(std::move(item));
            }
            entry.order.push_back(key);
            return true;
        }
        std::string text;
        if (!string(text)) return false;
        if (key == "prev") {
            entry.prev = text;
        } else if (key == "type") {
            entry.type = text;
        } else if (key == "hash") {
            entry.hash = text;
        } else {
            entry.fields[key] = text;
            entry.order.push_back(key);
        }
        return true;
    }
    bool number(int& out) {
        const size_t from = at_;
        while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9' && at_ - from < 9) ++at_;
        if (at_ == from) return false;
        out = std::stoi(std::string(s_.substr(from, at_ - from)));
        return true;
    }
    bool string(std::string& out) {
        if (!take('"')) return false;
        std::u32string escaped;
        while (at_ < s_.size() && s_[at_] != '"') {
            char c = s_[at_++];
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= s_.size()) return false;
            c = s_[at_++];
            if (c == 'u') {
                if (at_ + 4 > s_.size()) return false;
                for (size_t i = at_; i < at_ + 4; ++i)
                    if (!std::isxdigit(static_cast<unsigned char>(s_[i]))) return false;
                const unsigned code = std::stoul(std::string(s_.substr(at_, 4)), nullptr, 16);
                at_ += 4;
                out += EncodeUtf8(std::u32string(1, static_cast<char32_t>(code)));
            } else if (c == '"' || c == '\\' || c == '/') {
                out += c;
            } else if (c == 'n' || c == 't' || c == 'r') {
                out += c == 'n' ? '\n' : c == 't' ? '\t' : '\r';
            } else {
                return false;
            }
        }
        return take('"');
    }

    std::string_view s_;
    size_t at_ = 0;
    std::set<std::string> seen_;
};

}  // namespace

std::string ChainedLine(const AuditEntry* last, const std::string& type,
                        const std::vector<std::pair<std::string, std::string>>& fields,
                        const std::vector<std::pair<std::string, std::vector<std::string>>>& lists) {
    std::string line = "{\"n\":" + std::to_string(last ? last->n + 1 : 1) +
                       ",\"prev\":" + Quoted(last ? last->hash : "") + ",\"type\":" + Quoted(type);
    for (const auto& [key, value] : fields) line += "," + Quoted(key) + ":" + Quoted(value);
    for (const auto& [key, items] : lists) {
        line += "," + Quoted(key) + ":[";
        for (size_t i = 0; i < items.size(); ++i) line += (i ? "," : "") + Quoted(items[i]);
        line += "]";
    }
    return line + ",\"hash\":" + Quoted(Hex(Sha256Of(line))) + "}\n";
}

ReadRecord ReadAuditRecord(std::string_view text) {
    ReadRecord read;
    const AuditEntry* last = nullptr;
    for (int number = 1; !text.empty(); ++number) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        // A record saved again by a Windows editor has CR LF line ends; the hash is the same.
        if (line.ends_with('\r')) line.remove_suffix(1);
        AuditEntry entry;
        std::string lastKey;
        const size_t hashAt = line.rfind(",\"hash\":\"");
        const std::string where = "第 " + std::to_string(number) + " 行";
        if (!Reader(line).object(entry, lastKey) || lastKey != "hash" ||
            hashAt == std::string_view::npos) {
            read.problem = where + "不是完整的记录";
            return read;
        }
        if (entry.n != number || entry.prev != (last ? last->hash : "") ||
            entry.hash != Hex(Sha256Of(line.substr(0, hashAt)))) {
            read.problem = where + "与前面的记录接不上（被改动、删除或调换过）";
            return read;
        }
        read.entries.push_back(std::move(entry));
        last = &read.entries.back();
    }
    return read;
}

}  // namespace ld::verify
