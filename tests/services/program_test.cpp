// Program location: the executable's folder, which also becomes the current directory.
#include "services/program.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "services/encoding.h"
#include "services/files.h"
#include "services/text.h"
#include "temp_folder.h"

namespace ld {
namespace {

TEST(ProgramLocation, IsTheFolderOfTheRunningExecutable) {
    test::TempFolder restoresTheCurrentDirectory;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe");
    ASSERT_TRUE(InitProgramLocation());
    EXPECT_EQ(ProgramDirectory(), FileNameToGbk(executable.parent_path().string()));
    EXPECT_EQ(ProgramFileName(), FileNameToGbk(executable.filename().string()));
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

}  // namespace
}  // namespace ld
