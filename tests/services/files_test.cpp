// Whole-file writes that lose nothing, folder operations and the read-only attribute.
#include "services/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

#include "services/text.h"
#include "temp_folder.h"

namespace ld {
namespace {
std::atomic<int> g_umaskClearings{0};
}  // namespace
}  // namespace ld

// Every umask() call in this program comes through here, so a test sees a mask of 0 even
// when it lasts only a moment.
extern "C" mode_t umask(mode_t mask) noexcept {
    if (mask == 0) ++ld::g_umaskClearings;
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

namespace ld {
namespace {

using test::TempFolder;

mode_t PermissionsOf(const std::string& diskPath) {
    struct stat info {};
    ::stat(diskPath.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(WholeFiles, WriteCreatesAndReplacesWithTheDataInOrder) {
    TempFolder folder;
    EXPECT_TRUE(WriteWholeFile(folder.path("a.txt"), "old content that is longer"));
    EXPECT_TRUE(WriteWholeFile(folder.path("a.txt"), "first,", "second"));
    EXPECT_EQ(folder.readRaw("a.txt"), "first,second");
    EXPECT_EQ(ReadWholeFile(folder.path("a.txt")), "first,second");
    EXPECT_TRUE(WriteWholeFile(folder.path("a.txt"), ""));
    EXPECT_EQ(folder.readRaw("a.txt"), "");
    EXPECT_FALSE(WriteWholeFile("", "data"));
    EXPECT_EQ(folder.entryCount(), 1u);
}

TEST(WholeFiles, ReplacementKeepsPermissionBitsAndSymbolicLinks) {
    TempFolder folder;
    folder.writeRaw("data.txt", "old");
    ::chmod(folder.path("data.txt").c_str(), 0640);
    ASSERT_EQ(::symlink("data.txt", folder.path("link.txt").c_str()), 0);

    EXPECT_TRUE(WriteWholeFile(folder.path("link.txt"), "new"));
    EXPECT_EQ(folder.readRaw("data.txt"), "new");
    EXPECT_EQ(PermissionsOf(folder.path("data.txt")), 0640u);
    struct stat info {};
    ASSERT_EQ(::lstat(folder.path("link.txt").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(WholeFiles, FailedWriteKeepsTheOldContentAndLeavesNoTemporaryFile) {
    TempFolder folder;
    folder.writeRaw("results.txt", "line 1\r\nline 2\r\n");
    SetWriteFailureAfterBytesForTest(4);
    EXPECT_FALSE(WriteWholeFile(folder.path("results.txt"), "replacement text"));
    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_EQ(folder.readRaw("results.txt"), "line 1\r\nline 2\r\n");
    EXPECT_EQ(folder.entryCount(), 1u);
}

// A failed write says which step failed and the system's reason, so it can be shown.
TEST(WholeFiles, ReadOnlyFilesAndMissingFoldersAreNotWrittenAndSayWhy) {
    TempFolder folder;
    folder.writeRaw("locked.txt", "keep");
    ::chmod(folder.path("locked.txt").c_str(), 0444);
    EXPECT_FALSE(WriteWholeFile(folder.path("locked.txt"), "lost?"));
    EXPECT_EQ(folder.readRaw("locked.txt"), "keep");
    EXPECT_NE(TryWriteWholeFile(folder.path("locked.txt"), "x").error.find("read-only"),
              std::string::npos);

    EXPECT_FALSE(WriteWholeFile(folder.path("no such folder/a.txt"), "x"));
    const WriteResult missing = TryWriteWholeFile(folder.path("no such folder/a.txt"), "x");
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error.find("creating a temporary file in " + folder.path("no such folder")),
              std::string::npos)
        << missing.error;
    EXPECT_NE(missing.error.find("No such file or directory (ENOENT)"), std::string::npos);
    // Root may write anywhere, but not below a file.
    EXPECT_NE(WriteDiskFile(folder.path("locked.txt/a.txt"), "x").error.find("(ENOTDIR)"),
              std::string::npos);

    SetWriteFailureAfterBytesForTest(0);
    const WriteResult full = TryWriteWholeFile(folder.path("a.txt"), "x");
    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_NE(full.error.find("writing " + folder.path(".ld-")), std::string::npos) << full.error;
    EXPECT_NE(full.error.find("(ENOSPC)"), std::string::npos);
    EXPECT_TRUE(TryWriteWholeFile(folder.path("a.txt"), "x").ok());
    EXPECT_EQ(folder.entryCount(), 2u);
}

// umask() can only be read by setting it. A writer that set it to 0 for a moment, on one
// thread, gave files that other threads made meanwhile world-writable bits, or left the
// process at 0 for good when two writers overlapped.
TEST(WholeFiles, WritesNeverClearTheUmask) {
    TempFolder folder;
    const mode_t original = ::umask(022);
    const int before = g_umaskClearings.load();
    ASSERT_TRUE(WriteWholeFile(folder.path("a.txt"), "x"));
    ASSERT_TRUE(AppendToFile(folder.path("b.txt"), "x"));
    ASSERT_TRUE(CopyFileTo(folder.path("a.txt"), folder.path("c.txt")));
    EXPECT_EQ(g_umaskClearings.load(), before);
    EXPECT_EQ(::umask(original), 022u);
}

TEST(WholeFiles, ReadTellsMissingFromUnreadable) {
    TempFolder folder;
    EXPECT_EQ(ReadWholeFile(folder.path("missing.txt")), "");
    EXPECT_EQ(ReadWholeFile(""), "");
    ASSERT_TRUE(TryReadWholeFile(folder.path("missing.txt")).has_value());
    EXPECT_EQ(*TryReadWholeFile(folder.path("missing.txt")), "");
    // A folder cannot be read as a file; a caller that rewrites must not treat it as empty.
    EXPECT_FALSE(TryReadWholeFile(folder.path()).has_value());
    EXPECT_EQ(ReadWholeFile(folder.path()), "");
}

TEST(FolderOperations, CreateFolderMakesOneLevelOnce) {
    TempFolder folder;
    EXPECT_TRUE(CreateFolder(folder.path(Gbk("奖品图片"))));
    EXPECT_FALSE(CreateFolder(folder.path(Gbk("奖品图片"))));
    EXPECT_FALSE(CreateFolder(folder.path("a/b")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path("奖品图片")));  // UTF-8 on disk
}

TEST(FolderOperations, CopyOverwritesAndMoveNeverDoes) {
    TempFolder folder;
    folder.writeRaw("source.jpg", "picture");
    folder.writeRaw("old.jpg", "older picture");
    EXPECT_TRUE(CopyFileTo(folder.path("source.jpg"), folder.path("old.jpg")));
    EXPECT_EQ(folder.readRaw("old.jpg"), "picture");
    EXPECT_FALSE(CopyFileTo(folder.path("missing.jpg"), folder.path("x.jpg")));

    folder.writeRaw("bak.jpg", "backup");
    EXPECT_FALSE(MoveFileTo(folder.path("source.jpg"), folder.path("bak.jpg")));
    EXPECT_EQ(folder.readRaw("bak.jpg"), "backup");
    EXPECT_EQ(folder.readRaw("source.jpg"), "picture");
    EXPECT_TRUE(DeleteFileAt(folder.path("bak.jpg")));
    EXPECT_TRUE(MoveFileTo(folder.path("source.jpg"), folder.path("bak.jpg")));
    EXPECT_EQ(folder.readRaw("bak.jpg"), "picture");
    EXPECT_FALSE(FileExists(folder.path("source.jpg")));
    EXPECT_FALSE(MoveFileTo(folder.path("source.jpg"), folder.path("other.jpg")));
}

TEST(FolderOperations, DeleteRemovesFilesOnly) {
    TempFolder folder;
    ASSERT_TRUE(CreateFolder(folder.path("wav")));
    EXPECT_FALSE(DeleteFileAt(folder.path("wav")));
    EXPECT_FALSE(DeleteFileAt(folder.path("missing.txt")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path("wav")));
}

TEST(Attributes, HiddenOnAReadOnlyFileMakesItWritable) {
    TempFolder folder;
    folder.writeRaw("peizhi.a", "[zbt]\r\n");
    ASSERT_TRUE(SetFileAttribute(folder.path("peizhi.a"), 1));
    EXPECT_TRUE(IsReadOnly(folder.path("peizhi.a")));
    EXPECT_EQ(PermissionsOf(folder.path("peizhi.a")) & S_IWUSR, 0u);

    EXPECT_TRUE(SetFileAttribute(folder.path("peizhi.a"), 2));
    EXPECT_FALSE(IsReadOnly(folder.path("peizhi.a")));
    EXPECT_TRUE(WriteWholeFile(folder.path("peizhi.a"), "[zbt]\r\nk=v\r\n"));

    EXPECT_FALSE(SetFileAttribute(folder.path("missing"), 2));
    EXPECT_FALSE(IsReadOnly(folder.path("missing")));
}

}  // namespace
}  // namespace ld
