// Directory searches: the listing of photos and existence tests with wildcards. Entries
// come in the order the file system gives them; names are handed out as GBK.
#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "services/encoding.h"
#include "services/files.h"
#include "services/files_internal.h"

namespace ld {

using namespace files_detail;

namespace {

constexpr int kReadOnly = 0x01;
constexpr int kDirectory = 0x10;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

struct Search {
    DirHandle dir;
    std::string directory;  // as on disk, for looking at the entries
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
    search->directory = split.hasDirectory ? (directory.empty() ? "/" : directory) : ".";
    search->dir.reset(opendir(search->directory.c_str()));
    if (!search->dir) return nullptr;
    search->namePattern = split.name;
    return search;
}

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

int AttributesOf(const Search& search, const dirent& entry) {
    struct stat info;
    if (!StatPath(search.directory + "/" + entry.d_name, info)) return 0;
    return (S_ISDIR(info.st_mode) ? kDirectory : 0) | ((info.st_mode & S_IWUSR) ? 0 : kReadOnly);
}

bool IsDirectory(const Search& search, const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_UNKNOWN && entry.d_type != DT_LNK) return false;
    return AttributesOf(search, entry) & kDirectory;
}

bool PassesFilter(const Search& search, const dirent& entry) {
    if (search.filesOnly) return !IsDirectory(search, entry);
    int attributes = AttributesOf(search, entry);
    if (search.attributeMask == 0) return attributes == 0;
    return (attributes & search.attributeMask) != 0;
}

// The next entry that matches the pattern and the filter, or empty text at the end.
Text NextMatch(Search& search) {
    while (dirent* entry = readdir(search.dir.get())) {
        if (IsDotEntry(entry->d_name)) continue;
        Text name = FileNameToGbk(entry->d_name);
        if (NameMatches(search.namePattern, name) && PassesFilter(search, *entry)) return name;
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
        struct stat info;
        return ::lstat(ResolveExistingPath(pattern).c_str(), &info) == 0;
    }
    std::unique_ptr<Search> search = OpenSearch(pattern);
    if (!search) return false;
    while (dirent* entry = readdir(search->dir.get())) {
        if (!IsDotEntry(entry->d_name) &&
            NameMatches(search->namePattern, FileNameToGbk(entry->d_name)))
            return true;
    }
    return false;
}

}  // namespace ld
