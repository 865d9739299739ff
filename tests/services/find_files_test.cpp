// Listings and existence tests, and names that are not UTF-8 on disk (photos copied from
// Windows archives keep their raw GBK bytes).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "services/encoding.h"
#include "services/files.h"
#include "services/text.h"
#include "temp_folder.h"

namespace ld {
namespace {

using test::TempFolder;

std::vector<Text> ListAll(const Text& pattern, int mask = 0, bool filesOnly = false) {
    std::vector<Text> names;
    for (Text name = FindFiles(pattern, mask, filesOnly); !name.empty(); name = FindFiles())
        names.push_back(name);
    return names;
}

std::vector<std::string> DiskOrder(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(test::DiskName(entry.path().filename()));
    return names;
}

class Listing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateFolder(folder.path("photo")));
        for (const char* name : {"a.jpg", "b.JPG", "c.Jpg", "d.png", "e.jpeg", "f.jpg.txt"})
            folder.writeRaw(std::string("photo/") + name, "x");
        ASSERT_TRUE(CreateFolder(folder.path("photo/dir.jpg")));
    }
    TempFolder folder;
};

TEST_F(Listing, ExtensionMatchesWithoutRegardToCaseInFileSystemOrder) {
    std::vector<Text> listed = ListAll(folder.path("photo/*.JPG"), 0, true);
    std::vector<std::string> expected;
    for (const std::string& name : DiskOrder(folder.diskPath("photo"))) {
        if (name == "a.jpg" || name == "b.JPG" || name == "c.Jpg") expected.push_back(name);
    }
    EXPECT_EQ(listed, expected);  // directory dir.jpg skipped, nothing sorted
}

TEST_F(Listing, AnEmptyPatternContinuesAndTheEndClosesTheSearch) {
    std::vector<Text> names{FindFiles(folder.path("photo/*.jpg"), 0, true)};
    for (Text name = FindFiles(Text()); !name.empty(); name = FindFiles(Text()))
        names.push_back(name);
    EXPECT_EQ(names.size(), 3u);
    EXPECT_EQ(FindFiles(), "");  // closed: continuing finds nothing, even with new files
    folder.writeRaw("photo/g.jpg", "x");
    EXPECT_EQ(FindFiles(), "");
}

TEST_F(Listing, AttributeMaskSelectsPlainReadOnlyOrFolderEntries) {
    folder.makeReadOnly("photo/b.JPG");
    std::vector<Text> plain = ListAll(folder.path("photo/*.jpg"));
    std::sort(plain.begin(), plain.end());
    EXPECT_EQ(plain, (std::vector<Text>{"a.jpg", "c.Jpg"}));
    EXPECT_EQ(ListAll(folder.path("photo/*.jpg"), 1), std::vector<Text>{"b.JPG"});
    EXPECT_EQ(ListAll(folder.path("photo/*"), 0x10), std::vector<Text>{"dir.jpg"});
    // Files only returns read-only files too, whatever the mask.
    EXPECT_EQ(ListAll(folder.path("photo/*.jpg"), 0, true).size(), 3u);
}

TEST_F(Listing, QuestionMarkIsOneCharacterAndTheStemKeepsItsCase) {
    folder.writeRaw("photo/" + std::string("张.jpg"), "x");
    EXPECT_EQ(ListAll(folder.path("photo/?.jpg"), 0, true).size(), 4u);  // a b c 张
    EXPECT_EQ(ListAll(folder.path("photo/A.jpg"), 0, true).size(), 0u);
    EXPECT_EQ(ListAll(folder.path("photo/*.jp?"), 0, true).size(), 4u);
}

TEST_F(Listing, MissingOrUnlistableFoldersGiveNothing) {
    EXPECT_EQ(FindFiles(folder.path("nothing/*.jpg"), 0, true), "");
    EXPECT_EQ(FindFiles(folder.path("photo/a.jpg/*.jpg"), 0, true), "");  // not a folder
    EXPECT_EQ(FindFiles(), "");
    EXPECT_FALSE(FileExists(folder.path("nothing/*.jpg")));
    if (test::MakeUnlistable(folder.diskPath("photo"))) {  // root reads any folder
        EXPECT_EQ(FindFiles(folder.path("photo/*.jpg"), 0, true), "");
    }
}

TEST_F(Listing, FileExistsWithAndWithoutWildcards) {
    EXPECT_TRUE(FileExists(folder.path("photo/*.JPG")));
    EXPECT_TRUE(FileExists(folder.path("photo/a.jpg")));
    EXPECT_FALSE(FileExists(folder.path("photo/A?jpg")));  // the stem keeps its case
    EXPECT_FALSE(FileExists(folder.path("photo/*.gif")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FileExists(folder.path("photo")));
}

constexpr const char* kNoRawNames =
    "Windows file systems keep names in UTF-16: raw GBK bytes cannot be a name there";

TEST(RawNames, AGbkNameOnDiskIsListedAndFoundAgain) {
    if (test::kWindows) GTEST_SKIP() << kNoRawNames;
    TempFolder folder;
    ASSERT_TRUE(CreateFolder(folder.path("photo")));
    const std::string rawName = Gbk("张三.jpg");  // GBK bytes, not valid UTF-8
    ASSERT_FALSE(IsValidUtf8(rawName));
    folder.writeRaw("photo/" + rawName, "raw photo");

    Text listed = FindFiles(folder.path("photo/*.JPG"), 0, true);
    EXPECT_EQ(listed, rawName);
    const Text path = folder.path("photo/") + listed;
    EXPECT_EQ(ResolveExistingPath(path), folder.path("photo/" + rawName));
    EXPECT_EQ(ReadWholeFile(path), "raw photo");
    EXPECT_TRUE(FileExists(path));
    int32_t handle = OpenFile(path, 1);
    EXPECT_GT(handle, 0);
    EXPECT_EQ(ReadBytes(handle, 100), "raw photo");
    CloseFile(handle);
}

TEST(RawNames, ExtensionInAnotherCaseAndRawFoldersResolve) {
    if (test::kWindows) GTEST_SKIP() << kNoRawNames << "; and their names ignore case";
    TempFolder folder;
    ASSERT_TRUE(CreateFolder(folder.path("photo")));
    folder.writeRaw("photo/李四.JPG", "utf8 photo");  // UTF-8 name, upper-case extension
    EXPECT_EQ(ResolveExistingPath(folder.path("photo/") + Gbk("李四.jpg")),
              folder.path("photo/李四.JPG"));
    EXPECT_EQ(ReadWholeFile(folder.path("photo/") + Gbk("李四.jpg")), "utf8 photo");
    folder.writeRaw("photo/" + Gbk("王五.JPG"), "raw upper");  // raw bytes, upper case
    EXPECT_EQ(ReadWholeFile(folder.path("photo/") + Gbk("王五.jpg")), "raw upper");

    const std::string rawFolder = Gbk("照片");
    ASSERT_TRUE(std::filesystem::create_directory(folder.diskPath(rawFolder)));
    folder.writeRaw(rawFolder + "/a.jpg", "inside");
    EXPECT_EQ(ReadWholeFile(folder.path(rawFolder + "/a.jpg")), "inside");
    // A new file in a raw folder lands in that folder.
    EXPECT_TRUE(WriteWholeFile(folder.path(rawFolder + "/" + Gbk("新.txt")), "new"));
    EXPECT_EQ(folder.readRaw(rawFolder + "/新.txt"), "new");
}

}  // namespace
}  // namespace ld
