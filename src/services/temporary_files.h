// Temporary files that a crash or power cut in the middle of an atomic write leaves behind.
// They are only ever written by this program and renamed away at once, so one that is older
// than the running process can never be finished and is removed at start-up.
#pragma once

#include <functional>
#include <string_view>

#include "services/text.h"

namespace ld {

// The temporary name of an atomic whole-file write: ".ld-" and six random characters.
bool IsAtomicWriteTemporary(std::string_view name);

// Removes the regular files in `folder` (not below it) whose names `isTemporary` accepts and
// that were last changed before this process started. Returns how many it removed.
int RemoveStaleTemporaryFiles(const Text& folder,
                              const std::function<bool(std::string_view)>& isTemporary);

}  // namespace ld
