#include "services/atomic_write.h"

#include "services/disk.h"
#include "services/files_internal.h"

namespace ld {

using namespace files_detail;

WriteResult ReplaceDiskFile(const std::string& diskPath, const std::function<bool(int fd)>& fill,
                            const AtomicWriteOptions& options) {
    return ReplaceThroughTemporary(
        diskPath, [&](int& fd, const std::string&) { return fill(fd); }, options);
}

WriteResult WriteDiskFile(const std::string& diskPath, std::string_view data,
                          const AtomicWriteOptions& options) {
    return ReplaceDiskFile(
        diskPath, [data](int fd) { return WriteAll(fd, data); }, options);
}

}  // namespace ld
