// The one way the program replaces a file: the new content goes to a temporary file in the
// target's folder, is flushed to disk and renamed over the target, and the folder is flushed
// too. A crash, a full disk or a failed step leaves the old content or the new one, never a
// truncated file, and no temporary file after a failure. Paths here are as the file system
// spells them (see ResolveExistingPath); WriteWholeFile in files.h is the same for GBK paths.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace ld {

// Empty `error` means written. Otherwise it names the failed step, the file and the system's
// reason, e.g. "creating a temporary file in /x/y: No such file or directory (ENOENT)".
struct WriteResult {
    std::string error;

    bool ok() const { return error.empty(); }
    explicit operator bool() const { return ok(); }
};

struct AtomicWriteOptions {
    // Where the content goes before the rename (created, never opened if it exists). Empty:
    // ".ld-" and six random characters in the target's folder, the name that the start-up
    // sweep of the program folder knows.
    std::string temporaryPath;
    // Permission bits of a file that does not exist yet; without them 0666 less the umask.
    // An existing file keeps its own bits and owner.
    std::optional<unsigned> newFileMode;
    // Off only for files that can be made again (a cache): no flush of file or folder.
    bool flushToDisk = true;
};

// Replaces `diskPath` with what `fill` writes to the open temporary file. A symbolic link
// stays a link (the file it points to is replaced); an existing target must be a regular
// file with its owner write bit, or nothing is written.
WriteResult ReplaceDiskFile(const std::string& diskPath, const std::function<bool(int fd)>& fill,
                            const AtomicWriteOptions& options = {});
WriteResult WriteDiskFile(const std::string& diskPath, std::string_view data,
                          const AtomicWriteOptions& options = {});

}  // namespace ld
