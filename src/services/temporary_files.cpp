#include "services/temporary_files.h"

#include <cctype>
#include <string>

#include "services/disk.h"
#include "services/files.h"
#include "services/os.h"

namespace ld {

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
    disk::FolderReader reader(directory);
    // 0 when it cannot be told, which makes nothing look old enough to remove.
    const time_t started = os::ProcessStartTime();
    int removed = 0;
    while (const char* entry = reader.next()) {
        if (!isTemporary(entry) || !reader.isPlainFile()) continue;
        const auto modified = reader.modified();
        if (modified && *modified < started && disk::RemoveFile(directory + "/" + entry)) ++removed;
    }
    return removed;
}

}  // namespace ld
