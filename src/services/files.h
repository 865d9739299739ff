// Files and folders. Every path argument is GBK text (a relative data name converted to
// UTF-8 on the way to the file system, see encoding.h); names coming back are GBK.
#pragma once

#include <cstdint>
#include <optional>

#include "services/text.h"

namespace ld {

bool CreateFolder(const Text& path);
bool CopyFileTo(const Text& source, const Text& destination);  // overwrites
bool DeleteFileAt(const Text& path);
bool MoveFileTo(const Text& oldPath, const Text& newPath);  // fails if newPath exists
bool FileExists(const Text& pattern);  // '*' and '?' allowed in the last component

// Starts a search with a pattern, or continues the current one without. Returns the next
// entry's name (no directory) or empty text when none is left (the search is then
// closed). The extension is matched without regard to case. With `filesOnly` directories
// are skipped; otherwise a mask of 0 returns only entries without attributes.
Text FindFiles(const std::optional<Text>& pattern = std::nullopt, int attributeMask = 0,
               bool filesOnly = false);

// Attributes masked with 0x27; read-only (1) is the owner write bit, hidden is a no-op.
bool SetFileAttribute(const Text& path, int attributes);
bool IsReadOnly(const Text& path);

Bytes ReadWholeFile(const Text& path);
// Creates or replaces the file atomically (temporary file, flush, rename).
bool WriteWholeFile(const Text& path, std::string_view data);
bool WriteWholeFile(const Text& path, std::string_view data1, std::string_view data2);

// Handle-based access. mode 1 read, 2 write, 3 read/write, 4 create/truncate+write,
// 5 create if missing+write, 6 create if missing+read/write; sharing 1..4. 0 on failure.
int32_t OpenFile(const Text& path, int32_t mode = 3, int32_t sharing = 1);
void CloseFile(int32_t handle);
Bytes ReadBytes(int32_t handle, int32_t count);
// Stops before a zero or 0x1A byte, which is left unread. count < 0: the whole file length.
Text ReadTextFromFile(int32_t handle, int32_t count = -1);
bool WriteTexts(int32_t handle, std::string_view text);
bool DeleteBytesAt(int32_t handle, int64_t count);
int64_t FileLength(int32_t handle);
bool SeekFile(int32_t handle, int64_t position);

// The path as the file system spells it: the converted name, else the same name with the
// extension in another case, else the raw bytes. Used to open photos found by a listing.
std::string ResolveExistingPath(const Text& path);

}  // namespace ld
