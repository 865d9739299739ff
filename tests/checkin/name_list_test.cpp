// The name list import: both encodings, the header, quotes, tabs, and the three counts.
#include "checkin/name_list.h"

#include <gtest/gtest.h>

#include "../services/temp_folder.h"
#include "checkin/checkin_desk.h"
#include "services/encoding.h"

namespace ld::checkin {
namespace {

TEST(NameList, ReadsUtf8CsvWithHeaderAndQuotesAndGbkTextWithTabs) {
    const auto csv = ReadNameList(
        "\xEF\xBB\xBF姓名,部门\r\n张三,市场部\r\n\"李,四\",\"研发\"\"一\"\"部\"\r\n\r\n王五\r\n");
    ASSERT_EQ(csv.size(), 3u);
    EXPECT_EQ(csv[0].name, "张三");
    EXPECT_EQ(csv[0].department, "市场部");
    EXPECT_EQ(csv[1].name, "李,四");
    EXPECT_EQ(csv[1].department, "研发\"一\"部");
    EXPECT_EQ(csv[2].department, "");

    const auto txt = ReadNameList(*Utf8ToGbk("赵六\t财务部\n孙七\n"));
    ASSERT_EQ(txt.size(), 2u);
    EXPECT_EQ(txt[0].name, "赵六");
    EXPECT_EQ(txt[0].department, "财务部");
    EXPECT_EQ(txt[1].name, "孙七");
}

TEST(NameList, AStrayOrUnclosedQuoteStaysInItsOwnLine) {
    std::string list;
    for (int line = 1; line <= 300; ++line) {
        if (line == 10)
            list += "张\"三\r\n";
        else if (line == 20)
            list += "\"李四,销售部\r\n";  // never closed
        else if (line == 30)
            list += "\"王\"五\r\n";
        else
            list += "员工" + std::to_string(line) + "\r\n";
    }
    const auto entries = ReadNameList(list);
    ASSERT_EQ(entries.size(), 300u);
    EXPECT_EQ(entries[9].name, "张\"三");
    EXPECT_EQ(entries[19].name, "\"李四");
    EXPECT_EQ(entries[19].department, "销售部");
    EXPECT_EQ(entries[29].name, "\"王\"五");
    EXPECT_EQ(entries[299].name, "员工300");
}

TEST(NameList, ImportAddsNameCardsSkipsPhotosAndCountsRefusals) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder.diskPath("photo"));
    folder.writeRaw("photo/张三.jpg", "a photo");
    std::vector<Text> joined;
    Desk desk({folder.path("photo"),
               folder.path("log.csv"),
               [&](const Text& who) { joined.push_back(who); },
               {},
               {}});
    const ImportReport report = ImportNameList(
        desk,
        ReadNameList("张三\n李四\n李四\n王.五\n赵六,财务部\n一二三四五六七八九十一二三四五六七\n"));
    EXPECT_EQ(report.added, 2);     // 李四, 赵六（财务部）
    EXPECT_EQ(report.existing, 2);  // 张三's photo, the second 李四
    EXPECT_EQ(report.refused, 2);
    ASSERT_EQ(report.reasons.size(), 2u);
    EXPECT_EQ(report.reasons[0], "王.五：姓名中不能有以下字符：/ \\ : * ? \" < > | .");
    EXPECT_EQ(joined.size(), 2u);
    EXPECT_EQ(folder.readRaw("photo/张三.jpg"), "a photo");
    EXPECT_TRUE(std::filesystem::exists(folder.diskPath("photo/赵六（财务部）.jpg")));
    EXPECT_EQ(
        ImportSummary(report).substr(0, 60),
        std::string("名单导入完成：新增 2 人，已有照片跳过 2 人，无法导入 2 人。").substr(0, 60));
}

}  // namespace
}  // namespace ld::checkin
