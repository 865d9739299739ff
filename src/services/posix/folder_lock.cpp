// The one-program-per-folder lock on Linux: flock, which ends with the process.
#include "services/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "services/files.h"

namespace ld {

namespace {

struct Held {
    int fd = -1;
    Text path;
};

Held& TheLock() {
    static Held held;
    return held;
}

}  // namespace

FolderLock TakeFolderLock(const Text& lockFile) {
    Held& held = TheLock();
    if (held.fd >= 0 && held.path == lockFile) return FolderLock::Taken;
    ReleaseFolderLock();
    // Close-on-exec: a program started from this one must not inherit the lock.
    const int fd =
        ::open(ResolveExistingPath(lockFile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return FolderLock::Unavailable;
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? FolderLock::HeldByAnother : FolderLock::Unavailable;
    }
    held = {fd, lockFile};
    return FolderLock::Taken;
}

void ReleaseFolderLock() {
    Held& held = TheLock();
    if (held.fd >= 0) ::close(held.fd);
    held = {};
}

}  // namespace ld
