// The one-program-per-folder lock on Windows: LockFileEx on a handle that is never
// inherited; the system releases it when the handle closes or the process ends.
#include "services/folder_lock.h"

#include <windows.h>

#include "services/files.h"
#include "services/win32/wide.h"

namespace ld {

namespace {

struct Held {
    HANDLE file = INVALID_HANDLE_VALUE;
    Text path;
};

Held& TheLock() {
    static Held held;
    return held;
}

}  // namespace

FolderLock TakeFolderLock(const Text& lockFile) {
    Held& held = TheLock();
    if (held.file != INVALID_HANDLE_VALUE && held.path == lockFile) return FolderLock::Taken;
    ReleaseFolderLock();
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = ::CreateFileW(win32::Widen(ResolveExistingPath(lockFile)).c_str(),
                                GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_SHARING_VIOLATION ? FolderLock::HeldByAnother
                                                           : FolderLock::Unavailable;
    }
    OVERLAPPED start{};
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(file);
        return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING
                   ? FolderLock::HeldByAnother
                   : FolderLock::Unavailable;
    }
    held = {file, lockFile};
    return FolderLock::Taken;
}

void ReleaseFolderLock() {
    Held& held = TheLock();
    if (held.file != INVALID_HANDLE_VALUE) ::CloseHandle(held.file);
    held = {};
}

}  // namespace ld
