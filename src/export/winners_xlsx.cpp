#include "export/winners_xlsx.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "export/export_rows.h"
#include "export/xlsx_text.h"
#include "services/atomic_write.h"

namespace ld::exporting {
namespace {

constexpr const char* kAllSheet = "全部中奖人";
// Spreadsheet programs without it substitute another Chinese face.
constexpr const char* kFont = "Microsoft YaHei";
constexpr std::array<const char*, 7> kHeader = {"时间", "奖项",       "序号", "姓名",
                                                "照片", "抽取时人数", "状态"};
constexpr uint8_t kPaperA4 = 9;

struct Formats {
    lxw_format* header = nullptr;
    lxw_format* text[2] = {};  // [forfeited]
    lxw_format* time[2] = {};
};

lxw_format* NewFormat(lxw_workbook* book) {
    lxw_format* format = workbook_add_format(book);
    format_set_font_name(format, kFont);
    format_set_font_size(format, 11);
    format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
    return format;
}

Formats MakeFormats(lxw_workbook* book) {
    Formats formats;
    formats.header = NewFormat(book);
    format_set_bold(formats.header);
    format_set_pattern(formats.header, LXW_PATTERN_SOLID);
    format_set_bg_color(formats.header, 0xFCE4D6);
    format_set_bottom(formats.header, LXW_BORDER_THIN);
    for (int struck = 0; struck < 2; ++struck) {
        formats.text[struck] = NewFormat(book);
        formats.time[struck] = NewFormat(book);
        format_set_num_format(formats.time[struck], "yyyy-mm-dd hh:mm:ss");
        if (struck) {
            for (lxw_format* format : {formats.text[1], formats.time[1]}) {
                format_set_font_strikeout(format);
                format_set_font_color(format, 0x808080);
            }
        }
    }
    return formats;
}

// The recorded time as a date a spreadsheet can sort and filter; nullopt when it is not the
// form the program writes (a hand edit), which then stays text.
std::optional<lxw_datetime> ParseTime(const std::string& time) {
    lxw_datetime at{};
    int second = 0, used = 0;
    if (std::sscanf(time.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &at.year, &at.month, &at.day,
                    &at.hour, &at.min, &second, &used) != 6 ||
        static_cast<size_t>(used) != time.size() || at.year < 1900 || at.month < 1 ||
        at.month > 12 || at.day < 1 || at.day > 31 || at.hour > 23 || at.min > 59 || second > 59)
        return std::nullopt;
    at.sec = second;
    return at;
}

bool WriteRow(lxw_worksheet* sheet, lxw_row_t r, const WinnerRecord& row, const Formats& formats) {
    lxw_format* text = formats.text[row.forfeited];
    auto string = [&](lxw_col_t c, const std::string& value) {
        return worksheet_write_string(sheet, r, c, CellText(value).c_str(), text);
    };
    lxw_error error = LXW_NO_ERROR;
    if (auto at = ParseTime(row.time)) {
        error = worksheet_write_datetime(sheet, r, 0, &*at, formats.time[row.forfeited]);
    } else {
        error = string(0, row.time);
    }
    const lxw_error errors[] = {
        error,
        string(1, row.level),
        worksheet_write_number(sheet, r, 2, row.ordinal, text),
        string(3, row.name),
        string(4, row.photoFile),
        worksheet_write_number(sheet, r, 5, row.poolSize, text),
        string(6, row.forfeited ? "放弃" : "中奖"),
    };
    return std::all_of(std::begin(errors), std::end(errors),
                       [](lxw_error e) { return e == LXW_NO_ERROR; });
}

void SetColumnWidths(lxw_worksheet* sheet, const std::vector<WinnerRecord>& rows) {
    std::array<int, kHeader.size()> widths{};
    for (size_t c = 0; c < kHeader.size(); ++c) widths[c] = DisplayWidth(kHeader[c]) + 2;
    widths[0] = std::max(widths[0], 19);  // the time as the date format shows it
    auto widen = [&](size_t c, const std::string& value) {
        widths[c] = std::max(widths[c], DisplayWidth(value));
    };
    for (const auto& row : rows) {
        widen(1, row.level);
        widen(2, std::to_string(row.ordinal));
        widen(3, row.name);
        widen(4, row.photoFile);
        widen(5, std::to_string(row.poolSize));
    }
    for (size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, c, c, std::min(widths[c] + 2, 60), nullptr);
}

bool WriteSheet(lxw_workbook* book, const std::string& name, const std::vector<WinnerRecord>& rows,
                const Formats& formats) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, name.c_str());
    if (!sheet) return false;
    bool ok = true;
    for (size_t c = 0; c < kHeader.size(); ++c)
        ok = worksheet_write_string(sheet, 0, c, kHeader[c], formats.header) == LXW_NO_ERROR && ok;
    for (size_t i = 0; i < rows.size(); ++i)
        ok = WriteRow(sheet, static_cast<lxw_row_t>(i + 1), rows[i], formats) && ok;
    SetColumnWidths(sheet, rows);
    worksheet_set_row(sheet, 0, 20, nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_autofilter(sheet, 0, 0, static_cast<lxw_row_t>(rows.size()), kHeader.size() - 1);
    // Printed, the list fits the page's width and repeats its header on every page.
    worksheet_set_paper(sheet, kPaperA4);
    worksheet_fit_to_pages(sheet, 1, 0);
    worksheet_repeat_rows(sheet, 0, 0);
    return ok;
}

bool WriteWorkbook(const std::string& path, const std::vector<WinnerRecord>& rows,
                   const std::vector<std::string>& levelOrder) {
    lxw_workbook* book = workbook_new(path.c_str());
    if (!book) return false;
    const Formats formats = MakeFormats(book);
    std::vector<std::string> sheetNames;
    bool ok = WriteSheet(book, UniqueSheetName(kAllSheet, sheetNames), rows, formats);
    for (const auto& level : LevelsInOrder(rows, levelOrder)) {
        ok = ok && WriteSheet(book, UniqueSheetName(level, sheetNames), RowsOfLevel(rows, level),
                              formats);
    }
    // Closing writes the file and frees the workbook, also after a failure above.
    return workbook_close(book) == LXW_NO_ERROR && ok;
}

}  // namespace

bool WriteWinnersXlsx(const std::string& fsPath, const std::vector<WinnerRecord>& rows,
                      const std::vector<std::string>& levelOrder) {
    const auto write = [&](const std::string& tempPath) {
        return WriteWorkbook(tempPath, rows, levelOrder);
    };
    return ReplaceDiskFileByName(fsPath, write).ok();
}

}  // namespace ld::exporting
