// Export files appear whole or not at all: they are written under a temporary name in the
// target's folder, flushed, and renamed over the target. A failed or interrupted export
// leaves the previous file (if any) and no half-written one.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace ld::exporting {

// Creates the temporary file, lets `write` fill it by its path (writers that open files by
// name, such as libxlsxwriter, need one), then flushes and renames it to `fsPath`. The new
// file gets the usual permissions for a new file. False, and nothing left behind, when any
// step fails.
bool ReplaceFileAtomically(const std::string& fsPath,
                           const std::function<bool(const std::string& tempPath)>& write);

bool WriteFileAtomically(const std::string& fsPath, std::string_view data);

}  // namespace ld::exporting
