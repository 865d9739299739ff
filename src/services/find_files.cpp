// Directory searches: the listing of photos and existence tests with wildcards. Entries
// come in the order the file system gives them; names are handed out as GBK.
#include <memory>

#include "services/disk.h"
#include "services/encoding.h"
#include "services/files.h"
#include "services/files_internal.h"

namespace ld {

using namespace files_detail;

namespace {

constexpr int kReadOnly = 0x01;
constexpr int kDirectory = 0x10;

struct Search {
    std::unique_ptr<disk::FolderReader> folder;
    std::string namePattern;
    int attributeMask = 0;
    bool filesOnly = false;
};

std::unique_ptr<Search> g_search;

// Opens the folder of a GBK pattern such as ".../photo/*.JPG".
std::unique_ptr<Search> OpenSearch(const Text& pattern) {
    SplitPath split = SplitAtLastSlash(pattern);
    if (split.name.empty()) return nullptr;
    auto search = std::make_unique<Search>();
    std::string directory =
        split.directory.empty() ? std::string() : ResolveExistingPath(split.directory);
    search->folder = std::make_unique<disk::FolderReader>(
        split.hasDirectory ? (directory.empty() ? "/" : directory) : ".");
    if (!search->folder->isOpen()) return nullptr;
    search->namePattern = split.name;
    return search;
}

int AttributesOf(disk::FolderReader& folder) {
    const auto info = folder.info();
    if (!info) return 0;
    return (info->directory ? kDirectory : 0) | (info->readOnly ? kReadOnly : 0) |
           info->hiddenSystem;
}

bool PassesFilter(Search& search) {
    if (search.filesOnly) return !search.folder->isDirectory();
    int attributes = AttributesOf(*search.folder);
    if (search.attributeMask == 0) return attributes == 0;
    return (attributes & search.attributeMask) != 0;
}

// The next entry that matches the pattern and the filter, or empty text at the end.
Text NextMatch(Search& search) {
    while (const char* entry = search.folder->next()) {
        Text name = FileNameToGbk(entry);
        if (NameMatches(search.namePattern, name) && PassesFilter(search)) return name;
    }
    return {};
}

}  // namespace

Text FindFiles(const std::optional<Text>& pattern, int attributeMask, bool filesOnly) {
    if (pattern && !pattern->empty()) {
        g_search = OpenSearch(*pattern);
        if (!g_search) return {};
        g_search->attributeMask = attributeMask;
        g_search->filesOnly = filesOnly;
    }
    if (!g_search) return {};
    Text name = NextMatch(*g_search);
    if (name.empty()) g_search.reset();
    return name;
}

void EndFindFiles() { g_search.reset(); }

bool FileExists(const Text& pattern) {
    if (pattern.empty()) return false;
    if (!HasWildcard(SplitAtLastSlash(pattern).name)) {
        return disk::Exists(ResolveExistingPath(pattern));
    }
    std::unique_ptr<Search> search = OpenSearch(pattern);
    if (!search) return false;
    while (const char* entry = search->folder->next()) {
        if (NameMatches(search->namePattern, FileNameToGbk(entry))) return true;
    }
    return false;
}

}  // namespace ld
