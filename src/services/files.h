// Files and folders. Every path argument is GBK text (a relative data name converted to
// UTF-8 on the way to the file system, see encoding.h); names coming back are GBK.
#pragma once

#include <cstdint>
#include <optional>

#include "services/atomic_write.h"
#include "services/text.h"

namespace ld {

bool CreateFolder(const Text& path);
bool CopyFileTo(const Text& source, const Text& destination);  // overwrites
bool DeleteFileAt(const Text& path);
bool MoveFileTo(const Text& oldPath, const Text& newPath);  // fails if newPath exists
bool FileExists(const Text& pattern);  // '*' and '?' allowed in the last component

// Starts a search with a pattern, or continues the current one without (an empty pattern
// continues too). Returns the next entry's name (no directory, GBK) or empty text when
// none is left (the search is then closed). The extension is matched without regard to
// case; "." and ".." are never returned. The filter given when the search starts holds for
// the whole search: with `filesOnly` directories are skipped; otherwise only entries with
// one of the mask's attributes (1 read-only = no owner write bit, 0x10 directory) are
// returned, and a mask of 0 returns only entries without attributes.
Text FindFiles(const std::optional<Text>& pattern = std::nullopt, int attributeMask = 0,
               bool filesOnly = false);
// Ends the current search early (releases its folder handle).
void EndFindFiles();

// Attributes masked with 0x27; read-only (1) is the owner write bit, hidden is a no-op.
bool SetFileAttribute(const Text& path, int attributes);
bool IsReadOnly(const Text& path);

Bytes ReadWholeFile(const Text& path);
// Like ReadWholeFile, but tells a missing file (empty bytes) from one that exists and
// cannot be read (nullopt), for callers that rewrite what they read.
std::optional<Bytes> TryReadWholeFile(const Text& path);
// Creates or replaces the file atomically (temporary file in the same folder, flush,
// rename). An existing file keeps its permission bits; one without its owner write bit
// (read-only) is not replaced. False, and the old content kept, on any failure.
bool WriteWholeFile(const Text& path, std::string_view data);
bool WriteWholeFile(const Text& path, std::string_view data1, std::string_view data2);
// WriteWholeFile that says why it failed (the step, the file and the system's reason).
WriteResult TryWriteWholeFile(const Text& path, std::string_view data1,
                              std::string_view data2 = {});
// Appends to the end of the file (created when missing) and flushes it to disk. Each call is
// one write of its own, so several threads may append to one log.
bool AppendToFile(const Text& path, std::string_view data);

// Handle-based access. mode 1 read, 2 write, 3 read/write, 4 create/truncate+write,
// 5 create if missing+write, 6 create if missing+read/write; sharing 1..4. 0 on failure.
int32_t OpenFile(const Text& path, int32_t mode = 3, int32_t sharing = 1);
void CloseFile(int32_t handle);
Bytes ReadBytes(int32_t handle, int32_t count);
// Stops before a zero or 0x1A byte, which is left unread. count < 0: the whole file length.
Text ReadTextFromFile(int32_t handle, int32_t count = -1);
bool WriteTexts(int32_t handle, std::string_view text);
// Removes `count` bytes at the current position; the position stays where it is.
bool DeleteBytesAt(int32_t handle, int64_t count);
int64_t FileLength(int32_t handle);               // -1 for a handle that names no open file
bool SeekFile(int32_t handle, int64_t position);  // from the start of the file

// The path as the file system spells it: the converted (UTF-8) name, else the raw GBK
// bytes as they are, else the same name with the extension in another case (a folder
// scan, so it comes last); folders on the way are resolved alike. A name found nowhere
// comes back converted, ready to be created. Every service here opens paths through it.
std::string ResolveExistingPath(const Text& path);

// Tests: every file write fails once `bytes` more bytes have been written (< 0: never).
void SetWriteFailureAfterBytesForTest(int64_t bytes);
// Tests: the `nth` file operation from now fails (counting folder creations, copies,
// deletions, moves and whole-file writes; 0: none). With `andLater` every operation after
// it fails too, as if the program had died there.
void SetFileOperationFailureForTest(int nth, bool andLater = false);

}  // namespace ld
