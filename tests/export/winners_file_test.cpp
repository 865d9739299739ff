// The winners file: exact lines for odd names, reading back what a hand edit or a crash left,
// and a forfeit folded into the winner it takes back.
#include "export/winners_file.h"

#include <gtest/gtest.h>

#include "export/export_rows.h"
#include "export_support.h"

namespace ld::exporting {
namespace {

using test::Winner;

TEST(WinnersFile, OddNamesAreWrittenSafelyAndReadBackExactly) {
    EXPECT_EQ(WinnersFileHeader(), "\xEF\xBB\xBF时间,奖项,序号,姓名,照片,抽取时人数,状态\r\n");
    EXPECT_EQ(WinnersFileLine(Winner("一等奖", 3, "=HYPERLINK(\"x\"),张", "张三.jpg")),
              "2026-12-08T20:15:03,一等奖,3,\"'=HYPERLINK(\"\"x\"\"),张\",张三.jpg,120,中奖\r\n");
    EXPECT_EQ(WinnersFileLine(Winner("二等奖", 1, "'@x", "", true)),
              "2026-12-08T20:15:03,二等奖,1,''@x,,120,放弃\r\n");

    const std::vector<WinnerRecord> records = {
        Winner("一等奖", 1, "李,四", "李,四.jpg"),
        Winner("一等奖", 2, "王\"五\"\r\n第二行\n第三行"),
        Winner("\"特\"等奖", 3, "+86 138", "-x.jpg", true),
        Winner("三等奖", -4, "'=already quoted"),
        Winner("三等奖", 5, "'plain apostrophe"),
        Winner("三等奖", 6, "\tTab\r"),
        Winner("", 0, ""),
    };
    std::string file = WinnersFileHeader();
    for (const auto& record : records) file += WinnersFileLine(record);
    EXPECT_EQ(ParseWinnersFile(file), records);
}

TEST(WinnersFile, ReadsAHandEditedFileAndLeavesOutWhatDoesNotParse) {
    const std::string file =
        "时间,奖项,序号,姓名,照片,抽取时人数,状态\n"
        "2026-12-08T20:15:03,一等奖,1,张\"三,张三.jpg,120,中奖\n"
        "this line is garbage\n"
        "\n"
        "2026-12-08T20:16:00,一等奖,two,李四,,119,中奖\n"
        "2026-12-08T20:16:30,一等奖,2,李四,,119,可能\n"
        "2026-12-08T20:17:00,一等奖,2,\"王\n五\",,118,放弃,,\n"
        "2026-12-08T20:18:00,二等奖,1,\"赵";  // cut short by a crash
    const auto records = ParseWinnersFile(file);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "张\"三");
    EXPECT_EQ(records[0].photoFile, "张三.jpg");
    EXPECT_EQ(records[1].name, "王\n五");
    EXPECT_TRUE(records[1].forfeited);
    EXPECT_EQ(records[1].poolSize, 118);

    // A last line that is whole but lacks its line end is kept.
    EXPECT_EQ(ParseWinnersFile("2026-12-08T20:15:03,一等奖,1,张三,,120,中奖").size(), 1u);
}

TEST(ExportRows, AForfeitMarksTheLatestMatchingWinnerAndNothingIsDropped) {
    const auto rows = ExportRows({
        Winner("一等奖", 1, "张三"),
        Winner("二等奖", 1, "张三"),
        Winner("一等奖", 2, "李四"),
        Winner("一等奖", 1, "张三", "", true),  // takes back the first row only
        Winner("一等奖", 1, "王五"),            // the ordinal drawn again
        Winner("一等奖", 1, "王五", "", true),
        Winner("一等奖", 1, "张三", "", true),  // nothing left to take back
        Winner("三等奖", 9, "无名", "", true),
    });
    const std::vector<std::pair<std::string, bool>> expected = {{"张三", true},  {"张三", false},
                                                                {"李四", false}, {"王五", true},
                                                                {"张三", true},  {"无名", true}};
    ASSERT_EQ(rows.size(), expected.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].name, expected[i].first) << i;
        EXPECT_EQ(rows[i].forfeited, expected[i].second) << i;
    }
    EXPECT_EQ(rows[1].level, "二等奖");
    EXPECT_EQ(rows[5].level, "三等奖");
}

}  // namespace
}  // namespace ld::exporting
