// The workbook as a spreadsheet program reads it (openpyxl): sheets, values, header, styles.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "../services/temp_folder.h"
#include "export/winners_xlsx.h"
#include "export_support.h"

namespace ld::exporting {
namespace {

using test::Winner;

// Each sheet's title, frozen cell and rows: the values, and whether every cell of the row is
// bold and struck through.
constexpr const char* kDumpScript = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
def value(v):
    return v.isoformat() if hasattr(v, "isoformat") else v
print(json.dumps([{"title": sheet.title, "freeze": sheet.freeze_panes,
    "rows": [{"values": [value(c.value) for c in row],
              "bold": all(c.font.b for c in row),
              "strike": [bool(c.font.strike) for c in row]} for row in sheet.iter_rows()]}
    for sheet in book.worksheets]))
)";

// Debian's openpyxl belongs to Debian's Python, which another python3 on the PATH may hide.
std::string PythonWithOpenpyxl() {
    for (const std::string python : {"/usr/bin/python3", "python3"})
        if (std::system((python + " -c 'import openpyxl' 2>/dev/null").c_str()) == 0) return python;
    return {};
}

QJsonArray DumpWorkbook(ld::test::TempFolder& folder, const std::string& path) {
    folder.writeRaw("dump.py", kDumpScript);
    const std::string json =
        test::RunTool(PythonWithOpenpyxl() + " '" + folder.path("dump.py") + "' '" + path + "'");
    return QJsonDocument::fromJson(QByteArray::fromStdString(json)).array();
}

QJsonArray Values(const WinnerRecord& row) {
    return {QString::fromStdString(row.time),
            QString::fromStdString(row.level),
            row.ordinal,
            QString::fromStdString(row.name),
            row.photoFile.empty() ? QJsonValue() : QString::fromStdString(row.photoFile),
            row.poolSize,
            row.forfeited ? "放弃" : "中奖"};
}

TEST(XlsxExport, SheetsForAllAndEachLevelWithValuesHeaderAndStrikeThrough) {
    ASSERT_FALSE(PythonWithOpenpyxl().empty())
        << "python3-openpyxl is missing (scripts/install-deps.sh installs it)";
    const std::string longLevel(40, 'L');
    const std::vector<WinnerRecord> rows = {
        Winner("二等奖", 1, "=1+1", "a.jpg"),  Winner("奖/品:[x]", 1, "李,四\n第二行"),
        Winner("一等奖", 1, "王五", "", true), Winner("一等奖", 1, "赵六"),
        Winner(longLevel, 1, "孙七"),          Winner("全部中奖人", 1, "周八"),
    };
    ld::test::TempFolder folder;
    const std::string path = folder.path("名单.xlsx");
    ASSERT_TRUE(WriteWinnersXlsx(path, rows, {"特等奖", "一等奖", "二等奖"}));

    const QJsonArray sheets = DumpWorkbook(folder, path);
    const std::vector<std::pair<std::string, std::vector<size_t>>> expected = {
        {"全部中奖人", {0, 1, 2, 3, 4, 5}},
        {"一等奖", {2, 3}},
        {"二等奖", {0}},
        {"奖_品__x_", {1}},
        {std::string(31, 'L'), {4}},
        {"全部中奖人(2)", {5}},
    };
    ASSERT_EQ(sheets.size(), static_cast<qsizetype>(expected.size()));
    for (size_t s = 0; s < expected.size(); ++s) {
        const QJsonObject sheet = sheets[s].toObject();
        SCOPED_TRACE(expected[s].first);
        EXPECT_EQ(sheet["title"].toString().toStdString(), expected[s].first);
        EXPECT_EQ(sheet["freeze"].toString(), "A2");
        const QJsonArray sheetRows = sheet["rows"].toArray();
        ASSERT_EQ(sheetRows.size(), static_cast<qsizetype>(expected[s].second.size() + 1));
        const QJsonObject header = sheetRows[0].toObject();
        EXPECT_EQ(header["values"].toArray(),
                  QJsonArray({"时间", "奖项", "序号", "姓名", "照片", "抽取时人数", "状态"}));
        EXPECT_TRUE(header["bold"].toBool());
        for (size_t r = 0; r < expected[s].second.size(); ++r) {
            const WinnerRecord& row = rows[expected[s].second[r]];
            const QJsonObject got = sheetRows[static_cast<qsizetype>(r + 1)].toObject();
            EXPECT_EQ(got["values"].toArray(), Values(row)) << row.name;
            EXPECT_FALSE(got["bold"].toBool());
            for (const auto strike : got["strike"].toArray())
                EXPECT_EQ(strike.toBool(), row.forfeited) << row.name;
        }
    }
}

}  // namespace
}  // namespace ld::exporting
