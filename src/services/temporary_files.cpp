#include "services/temporary_files.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

#include "services/files.h"

namespace ld {

namespace {

// When this process started, in seconds since the epoch: the boot time plus the start
// time that the kernel gives in clock ticks since boot. 0 when it cannot be told, which
// makes nothing look old enough to remove.
time_t ProcessStartTime() {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    const size_t comm = line.rfind(')');
    if (comm == std::string::npos) return 0;
    std::istringstream fields(line.substr(comm + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }  // field 22 is the start time
    std::ifstream system("/proc/stat");
    long long boot = 0;
    for (std::string key; system >> key;) {
        if (key == "btime") {
            system >> boot;
            break;
        }
    }
    const long ticks = ::sysconf(_SC_CLK_TCK);
    if (boot <= 0 || ticks <= 0 || field.empty() ||
        field.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return static_cast<time_t>(boot + std::stoll(field) / ticks);
}

}  // namespace

bool IsAtomicWriteTemporary(std::string_view name) {
    if (name.size() != 10 || name.substr(0, 4) != ".ld-") return false;
    for (char c : name.substr(4)) {
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

int RemoveStaleTemporaryFiles(const Text& folder,
                              const std::function<bool(std::string_view)>& isTemporary) {
    const std::string directory = ResolveExistingPath(folder);
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return 0;
    const time_t started = ProcessStartTime();
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporary(entry->d_name)) continue;
        const std::string path = directory + "/" + entry->d_name;
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (info.st_mtime < started && ::unlink(path.c_str()) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace ld
