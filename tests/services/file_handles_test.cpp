// Handle-based access: open modes, text reads that stop at a terminator, in-place writes
// and removing bytes from the middle of a file.
#include <gtest/gtest.h>

#include "services/files.h"
#include "temp_folder.h"

namespace ld {
namespace {

using test::TempFolder;

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return bytes;
}

TEST(OpenModes, InvalidArgumentsAndMissingFilesGiveNoHandle) {
    TempFolder folder;
    folder.writeRaw("a.txt", "abc");
    EXPECT_EQ(OpenFile(folder.path("a.txt"), 0), 0);
    EXPECT_EQ(OpenFile(folder.path("a.txt"), 7), 0);
    EXPECT_EQ(OpenFile(folder.path("a.txt"), 1, 0), 0);
    EXPECT_EQ(OpenFile(folder.path("a.txt"), 1, 5), 0);
    EXPECT_EQ(OpenFile(folder.path("missing.txt"), 1), 0);
    EXPECT_EQ(OpenFile(folder.path("missing.txt"), 3), 0);
    EXPECT_EQ(OpenFile(folder.path(), 1), 0);  // a folder is no file
    EXPECT_EQ(FileLength(12345), -1);
    EXPECT_EQ(ReadBytes(12345, 10), "");
    EXPECT_FALSE(WriteTexts(12345, "x"));
    CloseFile(12345);  // harmless
}

TEST(OpenModes, CreateTruncateOrKeepAsAsked) {
    TempFolder folder;
    folder.writeRaw("keep.txt", "0123456789");
    int32_t keep = OpenFile(folder.path("keep.txt"), 5);
    int32_t fresh = OpenFile(folder.path("fresh.txt"), 6, 4);
    ASSERT_GT(keep, 0);
    ASSERT_GT(fresh, 0);
    EXPECT_NE(keep, fresh);
    EXPECT_EQ(FileLength(keep), 10);
    EXPECT_TRUE(WriteTexts(keep, "AB"));
    EXPECT_EQ(FileLength(fresh), 0);
    CloseFile(keep);
    CloseFile(fresh);
    EXPECT_EQ(folder.readRaw("keep.txt"), "AB23456789");

    int32_t truncated = OpenFile(folder.path("keep.txt"), 4);
    EXPECT_EQ(FileLength(truncated), 0);
    CloseFile(truncated);
    EXPECT_EQ(FileLength(truncated), -1);  // forgotten after closing
}

TEST(OpenModes, ReadOnlyFilesOpenOnlyForReading) {
    TempFolder folder;
    folder.writeRaw("locked.txt", "data");
    folder.makeReadOnly("locked.txt");
    for (int32_t mode : {2, 3, 4, 5, 6}) EXPECT_EQ(OpenFile(folder.path("locked.txt"), mode), 0);
    int32_t handle = OpenFile(folder.path("locked.txt"), 1);
    EXPECT_GT(handle, 0);
    EXPECT_FALSE(WriteTexts(handle, "x"));
    CloseFile(handle);
    EXPECT_EQ(folder.readRaw("locked.txt"), "data");
}

TEST(TextReads, StopBeforeEndOfFileMarkOrZeroAndLeaveThePositionOnIt) {
    TempFolder folder;
    folder.writeRaw("t.txt", std::string("first\x1A"
                                         "second\0third",
                                         18));
    int32_t handle = OpenFile(folder.path("t.txt"), 1);
    EXPECT_EQ(ReadTextFromFile(handle), "first");
    EXPECT_EQ(ReadBytes(handle, 1), "\x1A");
    EXPECT_EQ(ReadTextFromFile(handle), "second");
    EXPECT_EQ(ReadBytes(handle, 1), std::string(1, '\0'));
    EXPECT_EQ(ReadTextFromFile(handle, 3), "thi");
    EXPECT_EQ(ReadTextFromFile(handle), "rd");
    EXPECT_EQ(ReadTextFromFile(handle), "");
    EXPECT_EQ(ReadBytes(handle, 0), "");
    CloseFile(handle);
}

TEST(InPlaceWrites, WritesLandAtThePositionInTheSameFile) {
    TempFolder folder;
    folder.writeRaw("zj.txt", "aaaa\r\n");
    const uint64_t before = test::FileIdentity(folder.diskPath("zj.txt"));
    int32_t handle = OpenFile(folder.path("zj.txt"));
    ASSERT_TRUE(SeekFile(handle, FileLength(handle)));
    EXPECT_TRUE(WriteTexts(handle, "bbbb\r\n"));
    EXPECT_FALSE(SeekFile(handle, -1));
    CloseFile(handle);
    EXPECT_EQ(folder.readRaw("zj.txt"), "aaaa\r\nbbbb\r\n");
    EXPECT_EQ(test::FileIdentity(folder.diskPath("zj.txt")), before);
}

TEST(DeleteBytes, MovesTheRestDownAcrossManyBlocks) {
    TempFolder folder;
    const std::string original = Pattern(3 * 4096 + 123);
    folder.writeRaw("big.bin", original);
    int32_t handle = OpenFile(folder.path("big.bin"));
    ASSERT_TRUE(SeekFile(handle, 1000));
    EXPECT_TRUE(DeleteBytesAt(handle, 5000));
    EXPECT_EQ(FileLength(handle), static_cast<int64_t>(original.size() - 5000));
    EXPECT_EQ(ReadBytes(handle, 10), original.substr(6000, 10));  // position stayed at 1000
    CloseFile(handle);
    EXPECT_EQ(folder.readRaw("big.bin"), original.substr(0, 1000) + original.substr(6000));
}

TEST(DeleteBytes, NeverShortensBelowThePosition) {
    TempFolder folder;
    const std::string original = Pattern(5000);
    folder.writeRaw("f.bin", original);
    int32_t handle = OpenFile(folder.path("f.bin"));
    ASSERT_TRUE(SeekFile(handle, 4500));
    EXPECT_TRUE(DeleteBytesAt(handle, 100000));
    EXPECT_EQ(FileLength(handle), 4500);
    EXPECT_TRUE(DeleteBytesAt(handle, 0));
    EXPECT_FALSE(DeleteBytesAt(handle, -1));
    CloseFile(handle);
    EXPECT_EQ(folder.readRaw("f.bin"), original.substr(0, 4500));

    int32_t readOnly = OpenFile(folder.path("f.bin"), 1);
    EXPECT_FALSE(DeleteBytesAt(readOnly, 10));
    CloseFile(readOnly);
    EXPECT_EQ(folder.readRaw("f.bin"), original.substr(0, 4500));
}

}  // namespace
}  // namespace ld
