// The file calls of disk.h on Windows: wide paths, CRT descriptors over CreateFileW handles
// (shared for reading, writing and deleting, never inherited).
#include "services/disk.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

#include "services/win32/wide.h"

namespace ld::disk {

using win32::ErrnoOf;
using win32::Widen;

namespace {

// Windows says "path not found" also where a folder on the way is a file; Linux says
// ENOTDIR there, which tells the operator more.
int ErrnoForPath(DWORD error, const std::string& path) {
    if (error != ERROR_PATH_NOT_FOUND) return ErrnoOf(error);
    for (size_t slash = path.find_last_of("/\\"); slash != std::string::npos && slash > 0;
         slash = path.find_last_of("/\\", slash - 1)) {
        const DWORD attributes = ::GetFileAttributesW(Widen(path.substr(0, slash)).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ENOENT : ENOTDIR;
    }
    return ENOENT;
}

Info InfoOf(DWORD attributes) {
    Info info;
    info.directory = attributes & FILE_ATTRIBUTE_DIRECTORY;
    info.regular = !info.directory && !(attributes & FILE_ATTRIBUTE_DEVICE);
    info.readOnly = attributes & FILE_ATTRIBUTE_READONLY;
    info.hiddenSystem =
        static_cast<int>(attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    return info;
}

DWORD Disposition(unsigned flags) {
    if (flags & kCreate) {
        if (flags & kExclusive) return CREATE_NEW;
        return (flags & kTruncate) ? CREATE_ALWAYS : OPEN_ALWAYS;
    }
    return (flags & kTruncate) ? TRUNCATE_EXISTING : OPEN_EXISTING;
}

DWORD Access(unsigned flags) {
    DWORD access = (flags & kRead) ? GENERIC_READ : 0;
    // Appending through FILE_APPEND_DATA alone makes every write land at the end, also
    // when several threads append to one log.
    if (flags & kAppend) return access | FILE_APPEND_DATA | SYNCHRONIZE;
    if (flags & kWrite) access |= GENERIC_WRITE;
    return access;
}

// Runs a CRT call at `offset` and puts the position back, as pread and pwrite do.
template <typename Call>
int64_t AtOffset(int fd, int64_t offset, Call&& call) {
    if (offset < 0) return call();
    const int64_t position = ::_lseeki64(fd, 0, SEEK_CUR);
    if (position < 0 || ::_lseeki64(fd, offset, SEEK_SET) < 0) return -1;
    const int64_t done = call();
    const int saved = errno;
    ::_lseeki64(fd, position, SEEK_SET);
    errno = saved;
    return done;
}

// Windows refuses to truncate a hidden or system file unless it is opened with those
// attributes, which the file then keeps.
DWORD AttributesToOpenWith(const std::wstring& path, unsigned flags) {
    if (!(flags & kTruncate)) return FILE_ATTRIBUTE_NORMAL;
    const DWORD old = ::GetFileAttributesW(path.c_str());
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (old == INVALID_FILE_ATTRIBUTES || !(old & kept)) return FILE_ATTRIBUTE_NORMAL;
    return old & kept;
}

// Descriptors opened for appending. Windows has no O_APPEND of its own: each of their writes
// goes to the end of the file as it is at that moment (FILE_WRITE_TO_END_OF_FILE), and one
// at a time in this process, so that threads appending to one log never overwrite each
// other's lines.
std::mutex g_appendMutex;
std::set<int> g_appending;

bool IsAppending(int fd) {
    std::lock_guard lock(g_appendMutex);
    return g_appending.count(fd) != 0;
}

int64_t AppendAtEnd(int fd, const char* data, DWORD size) {
    std::lock_guard lock(g_appendMutex);
    OVERLAPPED end{};
    end.Offset = 0xFFFFFFFF;
    end.OffsetHigh = 0xFFFFFFFF;
    DWORD written = 0;
    HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (!::WriteFile(handle, data, size, &written, &end)) {
        errno = ErrnoOf(::GetLastError());
        return -1;
    }
    return written;
}

unsigned Chunk(size_t size) { return size > INT_MAX ? INT_MAX : static_cast<unsigned>(size); }

}  // namespace

std::optional<Info> Examine(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return InfoOf(attributes);
}

bool Exists(const std::string& path) { return Examine(path).has_value(); }

int Open(const std::string& path, unsigned flags) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const std::wstring wide = Widen(path);
    HANDLE handle = ::CreateFileW(wide.c_str(), Access(flags), share, nullptr, Disposition(flags),
                                  AttributesToOpenWith(wide, flags), nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = ErrnoForPath(::GetLastError(), path);
        return -1;
    }
    if ((flags & kRegularOnly) && ::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        errno = EISDIR;
        return -1;
    }
    int crtFlags = _O_BINARY | _O_NOINHERIT;
    if (!(flags & (kWrite | kAppend))) crtFlags |= _O_RDONLY;
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), crtFlags);
    if (fd < 0) {
        ::CloseHandle(handle);
    } else if (flags & kAppend) {
        std::lock_guard lock(g_appendMutex);
        g_appending.insert(fd);
    }
    return fd;
}

bool Close(int fd) {
    {
        std::lock_guard lock(g_appendMutex);
        g_appending.erase(fd);  // before the number can be handed out again
    }
    return ::_close(fd) == 0;
}

int64_t Read(int fd, char* buffer, size_t size, int64_t offset) {
    return AtOffset(fd, offset, [&]() -> int64_t { return ::_read(fd, buffer, Chunk(size)); });
}

int64_t Write(int fd, const char* data, size_t size, int64_t offset) {
    if (IsAppending(fd)) return AppendAtEnd(fd, data, Chunk(size));
    return AtOffset(fd, offset, [&]() -> int64_t { return ::_write(fd, data, Chunk(size)); });
}

int64_t Seek(int fd, int64_t offset, int whence) { return ::_lseeki64(fd, offset, whence); }
int64_t Size(int fd) { return ::_filelengthi64(fd); }
bool Truncate(int fd, int64_t length) { return ::_chsize_s(fd, length) == 0; }
bool Flush(int fd) { return ::_commit(fd) == 0; }  // FlushFileBuffers
std::optional<unsigned> Permissions(int) { return std::nullopt; }

bool MakeFolder(const std::string& path) {
    if (::CreateDirectoryW(Widen(path).c_str(), nullptr)) return true;
    errno = ErrnoOf(::GetLastError());
    return false;
}

bool RemoveFile(const std::string& path) {
    const auto info = Examine(path);
    if (!info || info->directory) return false;
    return ::DeleteFileW(Widen(path).c_str());
}

MoveResult MoveNoReplace(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes it fail; another volume is
    // copied and the original deleted by the system.
    if (::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                      MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH))
        return MoveResult::Moved;
    errno = ErrnoOf(::GetLastError());
    return MoveResult::Failed;
}

bool SetAttributes(const std::string& path, int attributes) {
    if (path.empty()) return false;
    DWORD wanted = static_cast<DWORD>(attributes & 0x27);
    if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileAttributesW(Widen(path).c_str(), wanted);
}

struct FolderReader::State {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;  // FindFirstFileW has given the first entry already
    std::string name;
};

FolderReader::FolderReader(const std::string& folder) : state_(std::make_unique<State>()) {
    std::wstring pattern = Widen(folder);
    if (!pattern.empty() && pattern.back() != L'/' && pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    state_->find = ::FindFirstFileW(pattern.c_str(), &state_->data);
    state_->pending = state_->find != INVALID_HANDLE_VALUE;
}

FolderReader::~FolderReader() {
    if (state_->find != INVALID_HANDLE_VALUE) ::FindClose(state_->find);
}

bool FolderReader::isOpen() const { return state_->find != INVALID_HANDLE_VALUE; }

const char* FolderReader::next() {
    if (state_->find == INVALID_HANDLE_VALUE) return nullptr;
    for (;;) {
        if (!state_->pending && !::FindNextFileW(state_->find, &state_->data)) return nullptr;
        state_->pending = false;
        const wchar_t* name = state_->data.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
        state_->name = win32::Narrow(name);
        return state_->name.c_str();
    }
}

std::optional<Info> FolderReader::info() { return InfoOf(state_->data.dwFileAttributes); }
bool FolderReader::isDirectory() {
    return state_->data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
}

bool FolderReader::isPlainFile() {
    return !(state_->data.dwFileAttributes &
             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

std::optional<int64_t> FolderReader::modified() {
    return win32::UnixSeconds(state_->data.ftLastWriteTime);
}

std::string DescribeError(int error) {
    if (error == 0) return "failed";
    // The names Linux gives, so that a reason reads the same on both.
    static const std::pair<int, const char*> kNames[] = {
        {ENOENT, "ENOENT"},   {EACCES, "EACCES"}, {EEXIST, "EEXIST"}, {ENOSPC, "ENOSPC"},
        {ENOTDIR, "ENOTDIR"}, {EISDIR, "EISDIR"}, {EROFS, "EROFS"},   {EIO, "EIO"},
        {EINVAL, "EINVAL"},   {EBADF, "EBADF"},   {EMFILE, "EMFILE"}, {EFBIG, "EFBIG"}};
    std::string name = std::to_string(error);
    for (const auto& [value, text] : kNames) {
        if (value == error) name = text;
    }
    return std::string(std::strerror(error)) + " (" + name + ")";
}

}  // namespace ld::disk
