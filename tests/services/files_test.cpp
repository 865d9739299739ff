// Whole-file writes that lose nothing, folder operations and the read-only attribute.
#include "services/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "services/text.h"
#include "temp_folder.h"

namespace ld {
namespace {

using test::TempFolder;

bool WritableOnDisk(const std::filesystem::path& path) {
    using std::filesystem::perms;
    return (std::filesystem::status(path).permissions() & perms::owner_write) != perms::none;
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
    folder.makeReadOnly("locked.txt");
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

// A log that several threads append to keeps every line whole (on Windows each append went to
// where the end had been a moment before, over another thread's line).
TEST(Appends, FromSeveralThreadsLoseNothing) {
    TempFolder folder;
    const std::string line = "0123456789\r\n";
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&] {
            for (int i = 0; i < 100; ++i) AppendToFile(folder.path("log.txt"), line);
        });
    }
    for (auto& writer : writers) writer.join();
    std::string expected;
    for (int i = 0; i < 400; ++i) expected += line;
    EXPECT_EQ(folder.readRaw("log.txt"), expected);
}

TEST(FolderOperations, CreateFolderMakesOneLevelOnce) {
    TempFolder folder;
    EXPECT_TRUE(CreateFolder(folder.path(Gbk("奖品图片"))));
    EXPECT_FALSE(CreateFolder(folder.path(Gbk("奖品图片"))));
    EXPECT_FALSE(CreateFolder(folder.path("a/b")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.diskPath("奖品图片")));  // UTF-8 on disk
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
    EXPECT_TRUE(std::filesystem::is_directory(folder.diskPath("wav")));
}

TEST(Attributes, HiddenOnAReadOnlyFileMakesItWritable) {
    TempFolder folder;
    folder.writeRaw("peizhi.a", "[zbt]\r\n");
    ASSERT_TRUE(SetFileAttribute(folder.path("peizhi.a"), 1));
    EXPECT_TRUE(IsReadOnly(folder.path("peizhi.a")));
    EXPECT_FALSE(WritableOnDisk(folder.diskPath("peizhi.a")));

    EXPECT_TRUE(SetFileAttribute(folder.path("peizhi.a"), 2));
    EXPECT_FALSE(IsReadOnly(folder.path("peizhi.a")));
    EXPECT_TRUE(WriteWholeFile(folder.path("peizhi.a"), "[zbt]\r\nk=v\r\n"));

    EXPECT_FALSE(SetFileAttribute(folder.path("missing"), 2));
    EXPECT_FALSE(IsReadOnly(folder.path("missing")));
}

}  // namespace
}  // namespace ld
