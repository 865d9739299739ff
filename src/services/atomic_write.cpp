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

WriteResult ReplaceDiskFileByName(const std::string& diskPath,
                                  const std::function<bool(const std::string& tempPath)>& fill,
                                  const AtomicWriteOptions& options) {
    return ReplaceThroughTemporary(
        diskPath,
        [&](int& fd, const std::string& tempPath) {
            disk::Close(fd);  // the writer opens the file itself
            fd = -1;
            if (!fill(tempPath)) return false;
            fd = disk::Open(tempPath, disk::kRead | disk::kWrite);  // to set its mode, flush
            return fd >= 0;
        },
        options);
}

WriteResult WriteDiskFile(const std::string& diskPath, std::string_view data,
                          const AtomicWriteOptions& options) {
    return ReplaceDiskFile(
        diskPath, [data](int fd) { return WriteAll(fd, data); }, options);
}

}  // namespace ld
