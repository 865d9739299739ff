// Our own INI layer with the behaviour of the Windows profile functions, which the
// configuration files were written for:
//  - section and key names are trimmed of blanks and compared without regard to ASCII
//    letter case (the second byte of a GBK character is never folded);
//  - a section header ends at its last "]" that is not the second byte of a GBK character;
//  - only the first "=" splits; lines starting with ";" are comments; lines without "="
//    are not keys; keys before the first section belong to none;
//  - values are trimmed and lose one pair of matching surrounding quotes;
//  - of duplicate sections or keys the first one wins;
//  - CR LF, LF and CR line ends all read, and so does a last line without one.
// Writing edits the file in place: only the changed line differs, new keys go after the
// last key of their section, new sections at the end, new lines end in CR LF. The file is
// read anew on every call, since other programs may change it, and rewritten atomically.
#include "services/profile.h"

#include <string_view>

#include "services/files.h"
#include "services/files_internal.h"

namespace ld {

using files_detail::CharLength;

namespace {

constexpr size_t kMaxValueBytes = kProfileBufferSize - 1;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Names given by the caller: leading bytes up to 0x20 are skipped, trailing blanks trimmed.
std::string_view CallerName(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
    return TrimBlanks(s);
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size();) {
        size_t length = CharLength(a, i);
        if (length == 1) {
            if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
        } else if (a.substr(i, length) != b.substr(i, length)) {
            return false;
        }
        i += length;
    }
    return true;
}

// One line of the file: content in [start, end), the next line begins at `next`.
struct Line {
    size_t start = 0, end = 0, next = 0;
    bool hasLineEnd() const { return next > end; }
};

class LineReader {
public:
    explicit LineReader(std::string_view data) : data_(data) {}
    bool next(Line& line) {
        if (pos_ >= data_.size()) return false;
        line.start = pos_;
        size_t end = pos_;
        while (end < data_.size() && data_[end] != '\r' && data_[end] != '\n') ++end;
        line.end = end;
        if (end < data_.size() && data_[end] == '\r' && end + 1 < data_.size() &&
            data_[end + 1] == '\n')
            line.next = end + 2;
        else
            line.next = end < data_.size() ? end + 1 : end;
        pos_ = line.next;
        return true;
    }

private:
    std::string_view data_;
    size_t pos_ = 0;
};

enum class LineKind { kOther, kSection, kKey };

struct ParsedLine {
    LineKind kind = LineKind::kOther;
    std::string_view name;   // trimmed section or key name
    std::string_view value;  // raw text after the first "=" of a key line
};

// The last "]" of a header that is a character of its own, or npos.
size_t LastClosingBracket(std::string_view text) {
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        if (text[i] == ']') found = i;
    }
    return found;
}

ParsedLine ParseLine(std::string_view line) {
    ParsedLine parsed;
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    if (line.empty() || line.front() == ';') return parsed;
    if (line.front() == '[') {
        size_t close = LastClosingBracket(line);
        if (close != std::string_view::npos) {
            parsed.kind = LineKind::kSection;
            parsed.name = TrimBlanks(line.substr(1, close - 1));
            return parsed;
        }
    }
    size_t equals = line.find('=');  // '=' is never the second byte of a GBK character
    if (equals == std::string_view::npos) return parsed;
    parsed.kind = LineKind::kKey;
    parsed.name = TrimBlanks(line.substr(0, equals));
    parsed.value = line.substr(equals + 1);
    return parsed;
}

// Where a section and a key of it are in the file. Only the first section of that name
// counts, and within it only the first key of that name.
struct Location {
    bool sectionFound = false;
    Line header;
    size_t sectionEnd = 0;  // start of the next header line, or the end of the file
    bool keyFound = false;
    Line keyLine;
    std::string_view keyName;  // the key as the file spells it
    bool hasEntry = false;
    Line lastEntry;  // the section's last key line
};

Location Locate(std::string_view data, std::string_view section, std::string_view key) {
    Location where;
    where.sectionEnd = data.size();
    LineReader reader(data);
    Line line;
    while (reader.next(line)) {
        ParsedLine parsed = ParseLine(data.substr(line.start, line.end - line.start));
        if (parsed.kind == LineKind::kSection) {
            if (where.sectionFound) {
                where.sectionEnd = line.start;
                break;
            }
            if (NamesEqual(parsed.name, section)) {
                where.sectionFound = true;
                where.header = line;
            }
        } else if (parsed.kind == LineKind::kKey && where.sectionFound) {
            where.hasEntry = true;
            where.lastEntry = line;
            if (!where.keyFound && !key.empty() && NamesEqual(parsed.name, key)) {
                where.keyFound = true;
                where.keyLine = line;
                where.keyName = parsed.name;
            }
        }
    }
    return where;
}

std::string_view ValueOf(std::string_view data, const Line& keyLine) {
    std::string_view value =
        TrimBlanks(ParseLine(data.substr(keyLine.start, keyLine.end - keyLine.start)).value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

// At most kMaxValueBytes, never ending inside a two-byte character.
Text CutToBuffer(std::string_view value) {
    if (value.size() <= kMaxValueBytes) return Text(value);
    size_t end = 0;
    while (end < value.size()) {
        size_t length = CharLength(value, end);
        if (end + length > kMaxValueBytes) break;
        end += length;
    }
    return Text(value.substr(0, end));
}

// A line break inside a name or value would start a new line in the file.
Text OnOneLine(std::string_view text) {
    Text flat(text);
    for (char& c : flat) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return flat;
}

// A key that would read back as something else (a header, a comment, a split value).
bool CanBeWrittenAsKey(std::string_view key) {
    return key.front() != '[' && key.front() != ';' && key.find('=') == std::string_view::npos;
}

Text SeparatorBefore(std::string_view data, size_t position) {
    if (position == 0) return {};
    char previous = data[position - 1];
    return (previous == '\n' || previous == '\r') ? Text() : Text("\r\n");
}

// Deletes every section of that name, so that no later duplicate comes to light.
void DeleteSection(Text& data, std::string_view section) {
    for (Location where = Locate(data, section, {}); where.sectionFound;
         where = Locate(data, section, {})) {
        data.erase(where.header.start, where.sectionEnd - where.header.start);
    }
}

void DeleteKey(Text& data, std::string_view section, std::string_view key) {
    for (Location where = Locate(data, section, key); where.keyFound;
         where = Locate(data, section, key)) {
        data.erase(where.keyLine.start, where.keyLine.next - where.keyLine.start);
    }
}

void SetKey(Text& data, std::string_view section, std::string_view key, std::string_view value) {
    Location where = Locate(data, section, key);
    if (where.keyFound) {
        Text line = Text(where.keyName) + "=" + Text(value);
        data.replace(where.keyLine.start, where.keyLine.end - where.keyLine.start, line);
        return;
    }
    Text entry = Text(key) + "=" + Text(value) + "\r\n";
    if (!where.sectionFound) {
        data += SeparatorBefore(data, data.size()) + "[" + Text(section) + "]\r\n" + entry;
        return;
    }
    const Line& after = where.hasEntry ? where.lastEntry : where.header;
    Text prefix = after.hasLineEnd() ? Text() : Text("\r\n");
    data.insert(after.next, prefix + entry);
}

}  // namespace

Text ReadConfigText(const Text& file, const Text& section, const Text& key,
                    const Text& defaultValue) {
    std::string_view path = CallerName(file);
    std::string_view sectionName = CallerName(section);
    std::string_view keyName = CallerName(key);
    if (path.empty() || sectionName.empty() || keyName.empty()) return {};

    std::optional<Bytes> data = TryReadWholeFile(Text(path));
    if (!data) return defaultValue;
    Location where = Locate(*data, sectionName, keyName);
    if (!where.keyFound) return defaultValue;
    return CutToBuffer(ValueOf(*data, where.keyLine));
}

bool WriteConfigText(const Text& file, const Text& section, const std::optional<Text>& key,
                     const std::optional<Text>& value) {
    Text path(CallerName(file));
    Text sectionName = OnOneLine(CallerName(section));
    Text keyName = key ? OnOneLine(CallerName(*key)) : Text();
    if (path.empty() || sectionName.empty() || (key && keyName.empty())) return false;
    if (key && value && !CanBeWrittenAsKey(keyName)) return false;
    // Root may write anything; a read-only configuration must still stay as it is.
    if (IsReadOnly(path)) return false;

    std::optional<Bytes> old = TryReadWholeFile(path);
    if (!old) return false;  // exists but unreadable: rewriting it would lose it
    Text data = *old;
    if (!key)
        DeleteSection(data, sectionName);
    else if (!value)
        DeleteKey(data, sectionName, keyName);
    else
        SetKey(data, sectionName, keyName, OnOneLine(*value));

    if (data == *old) return true;  // nothing to change, nothing to risk
    return WriteWholeFile(path, data);
}

}  // namespace ld
