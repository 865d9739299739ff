// Program location: the executable's folder, which also becomes the current directory; and
// one program per folder.
#include "services/program.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "services/encoding.h"
#include "services/files.h"
#include "services/folder_lock.h"
#include "services/text.h"
#include "temp_folder.h"

namespace ld {
namespace {

TEST(ProgramLocation, IsTheFolderOfTheRunningExecutable) {
    test::TempFolder restoresTheCurrentDirectory;
    const std::filesystem::path executable = test::ExecutablePath();
    ASSERT_TRUE(InitProgramLocation());
    EXPECT_EQ(ProgramDirectory(), FileNameToGbk(test::DiskName(executable.parent_path())));
    EXPECT_EQ(ProgramFileName(), FileNameToGbk(test::DiskName(executable.filename())));
    EXPECT_EQ(std::filesystem::current_path(), executable.parent_path());
    EXPECT_NE(ProgramDirectory().back(), '/');
}

TEST(ProgramLocation, TestsPlaceTheProgramAndBareNamesFollow) {
    test::TempFolder folder;
    const Text directory = folder.path(Gbk("抽奖"));
    ASSERT_TRUE(CreateFolder(directory));
    SetProgramLocationForTest(directory, "luckydraw");
    EXPECT_EQ(ProgramDirectory(), directory);
    EXPECT_EQ(ProgramFileName(), "luckydraw");
    ASSERT_TRUE(WriteWholeFile("cjini.txt", "title"));
    EXPECT_EQ(folder.readRaw("抽奖/cjini.txt"), "title");
}

int TakeLockAndTell(const std::string& lockFile) {
    ReleaseFolderLock();  // a process of its own knows no lock but what it takes
    return static_cast<int>(TakeFolderLock(lockFile));
}
const bool kTakeLockRegistered = test::RegisterChildRoutine("take-lock", &TakeLockAndTell);

// What another process of the program gets for the same lock file.
FolderLock TakenElsewhere(const Text& lockFile) {
    return static_cast<FolderLock>(test::RunInAnotherProcess("take-lock", lockFile));
}

TEST(FolderLock, OneProgramPerFolderUntilItEndsOrGivesItUp) {
    test::TempFolder folder;
    const Text lock = folder.path(".ld-lock");
    ASSERT_EQ(TakeFolderLock(lock), FolderLock::Taken);
    EXPECT_EQ(TakeFolderLock(lock), FolderLock::Taken);  // a start again in the same process
    EXPECT_EQ(TakenElsewhere(lock), FolderLock::HeldByAnother);
    ReleaseFolderLock();
    EXPECT_EQ(TakenElsewhere(lock), FolderLock::Taken);
    EXPECT_EQ(TakeFolderLock(folder.path("missing/.ld-lock")), FolderLock::Unavailable);
}

}  // namespace
}  // namespace ld
