// The CSV export's exact bytes, and how every export fails: whole or not at all.
#include <gtest/gtest.h>

#include "../services/temp_folder.h"
#include "export/verified_note.h"
#include "export/winners_csv.h"
#include "export/winners_pdf.h"
#include "export/winners_xlsx.h"
#include "export_support.h"

namespace ld::exporting {
namespace {

using test::Winner;

TEST(CsvExport, WritesTheRowsInTheWinnersFileFormat) {
    ld::test::TempFolder folder;
    const std::string path = folder.path("名单.csv");
    folder.writeRaw("名单.csv", "an older export");
    ASSERT_TRUE(WriteWinnersCsv(path, {Winner("一等奖", 1, "张三", "张三.jpg", true),
                                       Winner("一等奖", 1, "李\"四\"", "")}));
    EXPECT_EQ(folder.readRaw("名单.csv"),
              "\xEF\xBB\xBF时间,奖项,序号,姓名,照片,抽取时人数,状态\r\n"
              "2026-12-08T20:15:03,一等奖,1,张三,张三.jpg,120,放弃\r\n"
              "2026-12-08T20:15:03,一等奖,1,\"李\"\"四\"\"\",,120,中奖\r\n");
    EXPECT_EQ(folder.entryCount(), 1u);  // no temporary file left behind
}

// Notepad needs the byte order mark to read UTF-8 and CR LF to break the lines.
TEST(VerifiedNote, IsUtf8WithAByteOrderMarkAndCrLfLineEnds) {
    ld::test::TempFolder folder;
    ASSERT_TRUE(WriteVerifiedNote(folder.path("公证信息.txt"), {"公证抽奖", "现场数字：123456"}));
    EXPECT_EQ(folder.readRaw("公证信息.txt"), "\xEF\xBB\xBF公证抽奖\r\n现场数字：123456\r\n");
}

TEST(Exports, FailWithoutLeavingAnythingWhenTheFolderCannotBeWritten) {
    ld::test::TempFolder folder;
    const std::vector<WinnerRecord> rows = {Winner("一等奖", 1, "张三")};
    const std::string missing = folder.path("missing/名单");
    EXPECT_FALSE(WriteWinnersCsv(missing + ".csv", rows));
    EXPECT_FALSE(WriteWinnersXlsx(missing + ".xlsx", rows, {}));
    EXPECT_FALSE(WriteWinnersPdf(missing + ".pdf", "年会", rows, {}, folder.path()));

    // A folder in the way of the file is not replaced.
    std::filesystem::create_directory(folder.diskPath("名单.xlsx"));
    EXPECT_FALSE(WriteWinnersXlsx(folder.path("名单.xlsx"), rows, {}));
    EXPECT_EQ(folder.entryCount(), 1u);
}

}  // namespace
}  // namespace ld::exporting
