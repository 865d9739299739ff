// From GBK paths to the names the file system really has, and name matching for
// listings. Names on disk are UTF-8 as a rule, but photos copied from Windows archives
// often carry raw GBK bytes; both must be found again from the GBK name the program holds.
#include <optional>

#include "services/disk.h"
#include "services/encoding.h"
#include "services/files.h"
#include "services/files_internal.h"

namespace ld {

namespace files_detail {

SplitPath SplitAtLastSlash(std::string_view path) {
    size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {std::string(), std::string(path), false};
    return {std::string(path.substr(0, slash)), std::string(path.substr(slash + 1)), true};
}

std::string JoinDiskPath(const std::string& directory, bool hasDirectory, std::string_view name) {
    if (!hasDirectory) return std::string(name);
    if (directory.empty()) return "/" + std::string(name);
    if (directory.back() == '/') return directory + std::string(name);
    return directory + "/" + std::string(name);
}

namespace {

// ASCII letters after the last '.' in lower case. With `gbk` the scan steps over two-byte
// characters from the dot (a character boundary), so their second bytes are never folded;
// in UTF-8 every byte below 0x80 is a character of its own.
std::string FoldExtension(std::string_view name, bool gbk = true) {
    std::string folded(name);
    size_t dot = folded.rfind('.');
    if (dot == std::string::npos) return folded;
    for (size_t i = dot + 1; i < folded.size(); i += gbk ? CharLength(folded, i) : 1) {
        char c = folded[i];
        if (c >= 'A' && c <= 'Z') folded[i] = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

// '*' matches any run of characters, '?' exactly one; a GBK character is one unit.
bool WildcardMatch(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0;
    size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starName = n;
            continue;
        }
        if (p < pattern.size()) {
            size_t patternLength = CharLength(pattern, p);
            size_t nameLength = CharLength(name, n);
            if (pattern[p] == '?') {
                ++p;
                n += nameLength;
                continue;
            }
            if (pattern.substr(p, patternLength) == name.substr(n, nameLength)) {
                p += patternLength;
                n += nameLength;
                continue;
            }
        }
        if (starPattern == std::string_view::npos) return false;
        starName += CharLength(name, starName);  // let the last '*' take one more character
        n = starName;
        p = starPattern;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// An entry of `directory` that is `name` (GBK) but for the case of its extension, spelt
// in UTF-8 or in raw GBK bytes. Compared on disk names, so a big folder costs no
// conversions.
std::optional<std::string> FindWithOtherExtensionCase(const std::string& directory,
                                                      const std::string& name) {
    disk::FolderReader folder(directory);
    const std::string asUtf8 = FoldExtension(GbkToFileName(name), false);
    const std::string asRaw = FoldExtension(name);
    while (const char* entry = folder.next()) {
        std::string_view onDisk = entry;
        if (onDisk.size() == asUtf8.size() && FoldExtension(onDisk, false) == asUtf8)
            return std::string(onDisk);
        if (onDisk.size() == asRaw.size() && FoldExtension(onDisk) == asRaw)
            return std::string(onDisk);
    }
    return std::nullopt;
}

}  // namespace

bool NameMatches(std::string_view pattern, std::string_view name) {
    if (pattern == "*" || pattern == "*.*") return !name.empty();
    return WildcardMatch(FoldExtension(pattern), FoldExtension(name));
}

}  // namespace files_detail

using namespace files_detail;

std::string ResolveExistingPath(const Text& path) {
    if (path.empty()) return {};
    std::string converted = GbkToFileName(path);
    if (disk::Exists(converted)) return converted;

    SplitPath split = SplitAtLastSlash(path);
    if (split.name.empty()) return converted;
    // The folders on the way may carry raw names themselves: resolve them the same way.
    std::string directory =
        split.directory.empty() ? std::string() : ResolveExistingPath(split.directory);
    std::string asUtf8 = JoinDiskPath(directory, split.hasDirectory, GbkToFileName(split.name));
    if (disk::Exists(asUtf8)) return asUtf8;
    std::string asRaw = JoinDiskPath(directory, split.hasDirectory, split.name);
    if (disk::Exists(asRaw)) return asRaw;

    if (split.name.find('.') != std::string::npos) {
        std::string listed = split.hasDirectory ? (directory.empty() ? "/" : directory) : ".";
        if (auto found = FindWithOtherExtensionCase(listed, split.name))
            return JoinDiskPath(directory, split.hasDirectory, *found);
    }
    return asUtf8;
}

}  // namespace ld
