// The workbook as a spreadsheet program reads it (openpyxl): sheets, values, header, styles.
#include <gtest/gtest.h>

#include "../services/temp_folder.h"
#include "export/winners_xlsx.h"
#include "export_support.h"

namespace ld::exporting {
namespace {

using test::Winner;

// Per sheet a line with its title and frozen cell, then per row a line: whether every cell is
// bold, which cells are struck through, the values (tab-separated, tabs and line breaks
// escaped as \t and \n).
constexpr const char* kDumpScript = R"(
import sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
def text(v):
    v = v.isoformat() if hasattr(v, "isoformat") else v
    return str(v).replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t")
for sheet in book.worksheets:
    print("sheet", sheet.title, sheet.freeze_panes, sep="\t")
    for row in sheet.iter_rows():
        print("bold" if all(c.font.b for c in row) else "-",
              "".join("S" if c.font.strike else "-" for c in row),
              *[text(c.value) for c in row], sep="\t")
)";

// Debian's openpyxl belongs to Debian's Python, which another python3 on the PATH may hide.
std::string PythonWithOpenpyxl() {
    for (const std::string python : {"/usr/bin/python3", "python3"})
        if (std::system((python + " -c 'import openpyxl' 2>/dev/null").c_str()) == 0) return python;
    return {};
}

std::string Escaped(const std::string& value) {
    std::string out;
    for (const char c : value)
        out += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
    return out;
}

// U+FFFF, which XML cannot hold, is shown as U+FFFD.
std::string Shown(std::string name) {
    if (const size_t at = name.find("\xEF\xBF\xBF"); at != std::string::npos)
        name.replace(at, 3, "\xEF\xBF\xBD");
    return name;
}

std::string RowLine(const WinnerRecord& row) {
    return std::string("-\t") + (row.forfeited ? "SSSSSSS" : "-------") + "\t" + row.time + "\t" +
           Escaped(row.level) + "\t" + std::to_string(row.ordinal) + "\t" +
           Escaped(Shown(row.name)) + "\t" +
           (row.photoFile.empty() ? "None" : Escaped(row.photoFile)) + "\t" +
           std::to_string(row.poolSize) + "\t" + (row.forfeited ? "放弃" : "中奖") + "\n";
}

TEST(XlsxExport, SheetsForAllAndEachLevelWithValuesHeaderAndStrikeThrough) {
    const std::string longLevel(40, 'L');
    const std::vector<WinnerRecord> rows = {
        Winner("二等奖", 1, "=1+1", "a.jpg"),  Winner("奖/品:[x]", 1, "李,四\n第二行"),
        Winner("一等奖", 1, "王五", "", true), Winner("一等奖", 1, "赵六\xEF\xBF\xBF"),
        Winner(longLevel, 1, "孙七"),          Winner("全部中奖人", 1, "周八"),
    };
    ld::test::TempFolder folder;
    const std::string path = folder.path("名单.xlsx");
    ASSERT_TRUE(WriteWinnersXlsx(path, rows, {"特等奖", "一等奖", "二等奖"}));
    test::KeepFile(folder.diskPath("名单.xlsx"), "winners.xlsx");
    if (!test::kReadersHere) GTEST_SKIP() << test::kNoReaders;
    ASSERT_FALSE(PythonWithOpenpyxl().empty())
        << "python3-openpyxl is missing (scripts/install-deps.sh installs it)";

    const std::vector<std::pair<std::string, std::vector<size_t>>> sheets = {
        {"全部中奖人", {0, 1, 2, 3, 4, 5}},
        {"一等奖", {2, 3}},
        {"二等奖", {0}},
        {"奖_品__x_", {1}},
        {std::string(31, 'L'), {4}},
        {"全部中奖人(2)", {5}},
    };
    std::string expected;
    for (const auto& [title, members] : sheets) {
        expected += "sheet\t" + title +
                    "\tA2\nbold\t-------\t时间\t奖项\t序号\t姓名\t照片\t抽取时人数\t状态\n";
        for (const size_t r : members) expected += RowLine(rows[r]);
    }
    folder.writeRaw("dump.py", kDumpScript);
    EXPECT_EQ(test::RunTool(PythonWithOpenpyxl() + " '" + folder.path("dump.py") + "' '" +
                            test::FileToRead(path, "winners.xlsx") + "'"),
              expected);
}

// The verified draw's lines make a last sheet, its first row bold; every other sheet reads as
// it does without them.
TEST(XlsxExport, VerifiedLinesMakeALastSheetAndChangeNothingElse) {
    const std::vector<WinnerRecord> rows = {Winner("一等奖", 1, "张三"),
                                            Winner("二等奖", 1, "李四")};
    const std::vector<std::string> lines = {"公证抽奖", "名单指纹：" + std::string(64, 'a'),
                                            "现场数字：123456 789012", "", "密钥：结束公证时公布"};
    ld::test::TempFolder folder;
    ASSERT_TRUE(WriteWinnersXlsx(folder.path("plain.xlsx"), rows, {}));
    ASSERT_TRUE(WriteWinnersXlsx(folder.path("verified.xlsx"), rows, {}, lines));
    test::KeepFile(folder.diskPath("plain.xlsx"), "winners-plain.xlsx");
    test::KeepFile(folder.diskPath("verified.xlsx"), "winners-verified.xlsx");
    if (!test::kReadersHere) GTEST_SKIP() << test::kNoReaders;
    ASSERT_FALSE(PythonWithOpenpyxl().empty());
    folder.writeRaw("dump.py", kDumpScript);
    auto dump = [&](const char* file, const char* kept) {
        return test::RunTool(PythonWithOpenpyxl() + " '" + folder.path("dump.py") + "' '" +
                             test::FileToRead(folder.path(file), kept) + "'");
    };
    EXPECT_EQ(dump("verified.xlsx", "winners-verified.xlsx"),
              dump("plain.xlsx", "winners-plain.xlsx") + "sheet\t公证信息\tNone\n" +
                  "bold\t-\t公证抽奖\n-\t-\t" + lines[1] + "\n-\t-\t" + lines[2] +
                  "\n-\t-\tNone\n-\t-\t" + lines[4] + "\n");
}

}  // namespace
}  // namespace ld::exporting
