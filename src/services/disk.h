// The operating system's file calls that the file services are built on, one implementation
// per platform (posix/disk.cpp, win32/disk.cpp). Paths are disk paths (ResolveExistingPath):
// the bytes the file system has on Linux, UTF-8 on Windows (UTF-16 at each system call).
// Failures leave the reason in errno. Not part of the services' interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace ld::disk {

// What a path names, links followed.
struct Info {
    bool directory = false;
    bool regular = false;
    bool readOnly = false;  // Linux: no owner write bit; Windows: the read-only attribute
    int hiddenSystem = 0;   // Windows: the hidden (2) and system (4) attributes
};
std::optional<Info> Examine(const std::string& path);
bool Exists(const std::string& path);  // the name itself, a dangling link too

enum OpenFlags : unsigned {
    kRead = 1,
    kWrite = 2,
    kCreate = 4,
    kTruncate = 8,
    kAppend = 16,
    kRegularOnly = 32,  // refuses anything but a regular file, without waiting on a pipe
    kExclusive = 64,    // with kCreate: fails when the file exists
};
// A descriptor (not inherited by programs started later), or -1.
int Open(const std::string& path, unsigned flags);
bool Close(int fd);
// Reads or writes at `offset` without moving the position when offset >= 0, else at the
// position. Returns the count done, -1 on failure; retries interrupted calls.
int64_t Read(int fd, char* buffer, size_t size, int64_t offset = -1);
int64_t Write(int fd, const char* data, size_t size, int64_t offset = -1);
int64_t Seek(int fd, int64_t offset, int whence);  // SEEK_SET / SEEK_CUR / SEEK_END
int64_t Size(int fd);
bool Truncate(int fd, int64_t length);
bool Flush(int fd);  // to the disk
// The permission bits to give a copy of the file (Linux); nullopt where there are none.
std::optional<unsigned> Permissions(int fd);

bool MakeFolder(const std::string& path);
bool RemoveFile(const std::string& path);  // not a folder
enum class MoveResult { Moved, Failed, OtherDevice };
MoveResult MoveNoReplace(const std::string& from, const std::string& to);
// The file attributes 0x27 (read-only 1, hidden 2, system 4, archive 0x20); on Linux only
// read-only has a counterpart, the owner write bit.
bool SetAttributes(const std::string& path, int attributes);

// The entries of one folder, "." and ".." left out, in the file system's order.
class FolderReader {
public:
    explicit FolderReader(const std::string& folder);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    bool isOpen() const;
    // The next entry's name as on disk, or nullptr at the end; valid until the next call.
    const char* next();
    // About the current entry: links followed, except for the last two.
    std::optional<Info> info();
    bool isDirectory();                 // cheaper than info() where the listing tells
    bool isPlainFile();                 // a regular file, not a link
    std::optional<int64_t> modified();  // last change, seconds since 1970

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The system's reason for an errno value, in English: "No such file or directory (ENOENT)".
std::string DescribeError(int error);

}  // namespace ld::disk
