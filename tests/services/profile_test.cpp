// The configuration file layer against files edited by hand, byte-exact in-place writes,
// and files that are huge, binary or cannot be written.
#include "services/profile.h"

#include <gtest/gtest.h>

#include "services/files.h"
#include "services/text.h"
#include "temp_folder.h"

namespace ld {
namespace {

using test::TempFolder;

// Spaces around names and values, mixed case, LF-only lines, a lone CR, keys before any
// section, duplicates, comments, quotes and no final newline.
const std::string kHandEdited =
    "top=before any section\n"
    "  [ Zbt ]  \n"
    " Key One = value one \n"
    "KEY2=\"quoted value\"\n"
    "key3='single'\n"
    "key4=\"unbalanced\n"
    "\n"
    "; comment=not a key\n"
    "just text\n"
    "dup=first\n"
    "dup=second\n"
    "empty=\n"
    "a=b=c\n"
    "[zbt]\n"
    "dup=third\n"
    "other=only in the duplicate section\n"
    "[last]\r"
    "cr=only\r\n"
    "crlf=yes";

class Profile : public ::testing::Test {
protected:
    Text file() const { return folder.path("peizhi.a"); }
    Text read(const Text& section, const Text& key, const Text& fallback = "<default>") {
        return ReadConfigText(file(), section, key, fallback);
    }
    TempFolder folder;
};

TEST_F(Profile, ReadsAFileEditedByHand) {
    folder.writeRaw("peizhi.a", kHandEdited);
    EXPECT_EQ(read("zbt", "key one"), "value one");
    EXPECT_EQ(read("ZBT", "Key2"), "quoted value");
    EXPECT_EQ(read(" zbt ", "key3 "), "single");
    EXPECT_EQ(read("zbt", "key4"), "\"unbalanced");
    EXPECT_EQ(read("zbt", "a"), "b=c");
    EXPECT_EQ(read("zbt", "dup"), "first");
    EXPECT_EQ(read("zbt", "empty"), "");  // present but empty: not the default
    EXPECT_EQ(read("last", "cr"), "only");
    EXPECT_EQ(read("last", "crlf"), "yes");
}

TEST_F(Profile, CommentsTextLinesLaterDuplicatesAndStrayKeysAreNotFound) {
    folder.writeRaw("peizhi.a", kHandEdited);
    EXPECT_EQ(read("zbt", "; comment"), "<default>");
    EXPECT_EQ(read("zbt", "just text"), "<default>");
    EXPECT_EQ(read("zbt", "other"), "<default>");  // the first [zbt] wins
    EXPECT_EQ(read("zbt", "top"), "<default>");
    EXPECT_EQ(read("missing", "a"), "<default>");
    EXPECT_EQ(ReadConfigText(folder.path("none.a"), "zbt", "a", "dflt"), "dflt");
}

TEST_F(Profile, BlankCallerNamesGiveEmptyTextNotTheDefault) {
    folder.writeRaw("peizhi.a", "[zbt]\r\nk=v\r\n");
    EXPECT_EQ(read("zbt", "   "), "");
    EXPECT_EQ(read("\t\x01", "k"), "");
    EXPECT_EQ(ReadConfigText("  ", "zbt", "k", "dflt"), "");
    EXPECT_EQ(ReadConfigText("  " + file(), "\x05zbt", " k", "dflt"), "v");
}

TEST_F(Profile, GbkNamesFoldOnlyAsciiLetters) {
    // 圖 = 88 44 and 坉 = 88 64: second bytes "D" and "d". 乚 = 81 5D ends in "]".
    const Text tu = "\x88\x44", dun = "\x88\x64", yin = "\x81\x5D";
    ASSERT_TRUE(WriteConfigText(file(), "s", tu, "first"));
    ASSERT_TRUE(WriteConfigText(file(), "s", dun, "second"));
    ASSERT_TRUE(WriteConfigText(file(), "x" + yin, "k", "bracket"));
    EXPECT_EQ(read("s", tu), "first");
    EXPECT_EQ(read("s", dun), "second");
    EXPECT_EQ(read("X" + yin, "k"), "bracket");
    EXPECT_EQ(read("x\x81", "k"), "<default>");
    // Without a "]" of its own the line is no header, whatever its last byte.
    folder.writeRaw("peizhi.a", "[y" + yin + "\r\nk=v\r\n");
    EXPECT_EQ(read("y\x81", "k"), "<default>");
    EXPECT_EQ(read(Gbk("中奖人"), "k"), "<default>");
}

TEST_F(Profile, ValuesAreCutToTheBufferWithoutSplittingACharacter) {
    ASSERT_TRUE(WriteConfigText(file(), "s", "ascii", std::string(12000, 'x')));
    std::string chinese;
    for (int i = 0; i < 6000; ++i) chinese += Gbk("中");
    ASSERT_TRUE(WriteConfigText(file(), "s", "gbk", chinese));
    EXPECT_EQ(read("s", "ascii"), std::string(10239, 'x'));
    EXPECT_EQ(read("s", "gbk"), chinese.substr(0, 10238));
}

TEST_F(Profile, WritingChangesOnlyTheLineConcerned) {
    folder.writeRaw("peizhi.a", kHandEdited);
    ASSERT_TRUE(WriteConfigText(file(), "ZBT", "KEY ONE", "new"));
    std::string expected = kHandEdited;
    expected.replace(expected.find(" Key One = value one "), 21, "Key One=new");
    EXPECT_EQ(folder.readRaw("peizhi.a"), expected);

    ASSERT_TRUE(WriteConfigText(file(), "zbt", "dup", ""));
    expected.replace(expected.find("dup=first"), 9, "dup=");
    EXPECT_EQ(folder.readRaw("peizhi.a"), expected);
    EXPECT_EQ(read("zbt", "dup"), "");
}

TEST_F(Profile, NewKeysFollowTheLastKeyOfTheSectionAndNewSectionsGoLast) {
    folder.writeRaw("peizhi.a", kHandEdited);
    ASSERT_TRUE(WriteConfigText(file(), "zbt", "added", "1"));
    std::string expected = kHandEdited;
    expected.insert(expected.find("[zbt]\n"), "added=1\r\n");
    EXPECT_EQ(folder.readRaw("peizhi.a"), expected);

    ASSERT_TRUE(WriteConfigText(file(), "last", "more", "2"));
    expected += "\r\nmore=2\r\n";
    EXPECT_EQ(folder.readRaw("peizhi.a"), expected);

    ASSERT_TRUE(WriteConfigText(file(), Gbk("新"), "k", "3"));
    expected += "[" + Gbk("新") + "]\r\nk=3\r\n";
    EXPECT_EQ(folder.readRaw("peizhi.a"), expected);
}

TEST_F(Profile, AMissingFileIsCreatedByTheFirstWrite) {
    ASSERT_TRUE(WriteConfigText(file(), "zbt", "empty", ""));
    ASSERT_TRUE(WriteConfigText(file(), "zbt", "line", "a\r\nb\nc\rd"));
    EXPECT_EQ(folder.readRaw("peizhi.a"), "[zbt]\r\nempty=\r\nline=a  b c d\r\n");
    EXPECT_EQ(read("zbt", "empty"), "");
}

TEST_F(Profile, OmittedValueDeletesTheKeyAndOmittedKeyTheSection) {
    folder.writeRaw("peizhi.a", "[a]\r\nk=1\r\nK=2\r\nj=3\r\n[b]\r\nk=4\r\n[A]\r\nx=5\r\n");
    ASSERT_TRUE(WriteConfigText(file(), "a", "k", std::nullopt));
    EXPECT_EQ(folder.readRaw("peizhi.a"), "[a]\r\nj=3\r\n[b]\r\nk=4\r\n[A]\r\nx=5\r\n");
    ASSERT_TRUE(WriteConfigText(file(), "a", std::nullopt, std::nullopt));
    EXPECT_EQ(folder.readRaw("peizhi.a"), "[b]\r\nk=4\r\n");
    EXPECT_EQ(read("a", "x"), "<default>");

    ASSERT_TRUE(WriteConfigText(folder.path("none.a"), "a", "k", std::nullopt));
    EXPECT_FALSE(FileExists(folder.path("none.a")));  // nothing to delete, nothing created
}

TEST_F(Profile, EveryCallSeesChangesMadeByOthers) {
    ASSERT_TRUE(WriteConfigText(file(), "zbt", "k", "1"));
    folder.writeRaw("peizhi.a", "[zbt]\nk=changed\n");
    EXPECT_EQ(read("zbt", "k"), "changed");
    ASSERT_TRUE(WriteConfigText(file(), "zbt", "j", "2"));
    EXPECT_EQ(folder.readRaw("peizhi.a"), "[zbt]\nk=changed\nj=2\r\n");
}

TEST_F(Profile, KeysThatWouldReadBackAsSomethingElseAreRefused) {
    EXPECT_FALSE(WriteConfigText(file(), "zbt", "a=b", "v"));
    EXPECT_FALSE(WriteConfigText(file(), "zbt", "[x", "v]"));
    EXPECT_FALSE(WriteConfigText(file(), "zbt", "  ", "v"));
    EXPECT_FALSE(WriteConfigText("", "zbt", "k", "v"));
    EXPECT_FALSE(FileExists(file()));
}

TEST_F(Profile, FailedOrForbiddenWritesKeepTheOldFile) {
    const std::string original = "[zbt]\r\nk=old\r\n";
    folder.writeRaw("peizhi.a", original);
    SetWriteFailureAfterBytesForTest(8);
    EXPECT_FALSE(WriteConfigText(file(), "zbt", "k", "new"));
    SetWriteFailureAfterBytesForTest(-1);
    EXPECT_EQ(folder.readRaw("peizhi.a"), original);
    EXPECT_EQ(folder.entryCount(), 1u);

    folder.makeReadOnly("peizhi.a");
    EXPECT_FALSE(WriteConfigText(file(), "zbt", "k", "new"));
    EXPECT_FALSE(WriteConfigText(file(), "zbt", std::nullopt, std::nullopt));
    EXPECT_EQ(folder.readRaw("peizhi.a"), original);
    EXPECT_EQ(read("zbt", "k"), "old");

    ASSERT_TRUE(CreateFolder(folder.path("dir.a")));
    EXPECT_FALSE(WriteConfigText(folder.path("dir.a"), "zbt", "k", "v"));
}

TEST_F(Profile, HugeAndBinaryFilesWork) {
    std::string huge = "[zbt]\r\n";
    for (int i = 0; huge.size() < 10 * 1024 * 1024; ++i)
        huge += "key" + std::to_string(i) + "=value " + std::to_string(i) + "\r\n";
    huge += "last=end\r\n";
    folder.writeRaw("peizhi.a", huge);
    EXPECT_EQ(read("zbt", "last"), "end");
    ASSERT_TRUE(WriteConfigText(file(), "zbt", "key7", "seven"));
    EXPECT_EQ(read("zbt", "key7"), "seven");
    EXPECT_EQ(folder.readRaw("peizhi.a").size(), huge.size() - 2);

    std::string binary(1 << 20, '\0');
    uint32_t state = 12345;
    for (char& c : binary) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 23);
    }
    folder.writeRaw("binary.a", binary);
    const Text binaryFile = folder.path("binary.a");
    EXPECT_EQ(ReadConfigText(binaryFile, "zbt", "k", "dflt"), "dflt");
    ASSERT_TRUE(WriteConfigText(binaryFile, "zbt", "k", "v"));
    EXPECT_EQ(ReadConfigText(binaryFile, "zbt", "k"), "v");
}

}  // namespace
}  // namespace ld
