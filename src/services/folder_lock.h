// One program per data folder: two stages over the same files would overwrite each other's
// results, and the second would offer to "recover" the first one's live draw. The lock is
// the operating system's, so it goes with the process, whatever way it ends.
#pragma once

#include "services/text.h"

namespace ld {

enum class FolderLock { Taken, HeldByAnother, Unavailable };

// Locks `lockFile` (created when missing) for this process. Taking the same file again is
// no error; taking another gives up the first. Unavailable when the file cannot be made (a
// read-only folder): the program then runs without the lock.
FolderLock TakeFolderLock(const Text& lockFile);
// Gives the lock up early, for a program that starts its successor before it ends.
void ReleaseFolderLock();

}  // namespace ld
