// Windows only: the hidden attribute is real there (a no-op on Linux), a replaced file keeps
// it, and the start-up sweep tells old temporary files by the process's start time.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>

#include "../temp_folder.h"
#include "services/files.h"
#include "services/temporary_files.h"

namespace ld {
namespace {

using test::TempFolder;

bool Hidden(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

TEST(WindowsAttributes, HiddenIsRealAndAReplacedFileKeepsIt) {
    TempFolder folder;
    folder.writeRaw("peizhi.a", "[zbt]\r\n");
    ASSERT_TRUE(SetFileAttribute(folder.path("peizhi.a"), 2));
    EXPECT_TRUE(Hidden(folder.diskPath("peizhi.a")));
    EXPECT_EQ(FindFiles(folder.path("*.a")), "");  // a plain listing leaves it out
    EXPECT_EQ(FindFiles(folder.path("*.a"), 2), "peizhi.a");
    EndFindFiles();  // an open search keeps the folder from being removed

    ASSERT_TRUE(WriteWholeFile(folder.path("peizhi.a"), "[zbt]\r\nk=v\r\n"));
    EXPECT_EQ(folder.readRaw("peizhi.a"), "[zbt]\r\nk=v\r\n");
    EXPECT_TRUE(Hidden(folder.diskPath("peizhi.a")));
    EXPECT_EQ(folder.entryCount(), 1u);

    // Windows refuses to truncate a hidden file unless asked with its attributes.
    const int32_t handle = OpenFile(folder.path("peizhi.a"), 4);
    EXPECT_GT(handle, 0);
    EXPECT_TRUE(WriteTexts(handle, "[zbt]\r\n"));
    CloseFile(handle);
    EXPECT_EQ(folder.readRaw("peizhi.a"), "[zbt]\r\n");
    EXPECT_TRUE(Hidden(folder.diskPath("peizhi.a")));

    ASSERT_TRUE(SetFileAttribute(folder.path("peizhi.a"), 0));
    EXPECT_FALSE(Hidden(folder.diskPath("peizhi.a")));
}

TEST(WindowsTemporaryFiles, OnlyThoseOlderThanTheProcessAreSwept) {
    TempFolder folder;
    folder.writeRaw(".ld-Ab12Cd", "left by a crash");
    folder.writeRaw(".ld-new123", "being written");
    std::filesystem::last_write_time(
        folder.diskPath(".ld-Ab12Cd"),
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    EXPECT_EQ(RemoveStaleTemporaryFiles(folder.path(), IsAtomicWriteTemporary), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.diskPath(".ld-Ab12Cd")));
    EXPECT_TRUE(std::filesystem::exists(folder.diskPath(".ld-new123")));
}

}  // namespace
}  // namespace ld
