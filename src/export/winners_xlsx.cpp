#include "export/winners_xlsx.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "export/export_rows.h"
#include "export/xlsx_parts.h"
#include "export/xlsx_text.h"
#include "export/zip_writer.h"
#include "services/atomic_write.h"

namespace ld::exporting {
namespace {

constexpr const char* kAllSheet = "全部中奖人";
constexpr const char* kNoteSheet = "公证信息";
constexpr std::array<const char*, 7> kHeader = {"时间", "奖项",       "序号", "姓名",
                                                "照片", "抽取时人数", "状态"};

// Days from 1970-01-01 to the date (proleptic Gregorian).
long DaysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The recorded time as a spreadsheet date (days since 1899-12-30, Excel's leap day of 1900
// included) it can sort and filter; nullopt when it is not the form the program writes (a
// hand edit), which then stays text.
std::optional<double> ParseTime(const std::string& time) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, used = 0;
    if (std::sscanf(time.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &year, &month, &day, &hour, &minute,
                    &second, &used) != 6 ||
        static_cast<size_t>(used) != time.size() || year < 1900 || month < 1 || month > 12 ||
        day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    long days = DaysFromCivil(year, month, day) - DaysFromCivil(1899, 12, 30);
    if (days < 61) --days;  // before 1900-03-01, where Excel counts a 29 February
    return days + (hour * 3600 + minute * 60 + second) / 86400.0;
}

std::string CellRef(size_t column, size_t row) {
    return std::string(1, static_cast<char>('A' + column)) + std::to_string(row + 1);
}

std::string StringCell(size_t c, size_t r, const std::string& value, int style) {
    const std::string head = "<c r=\"" + CellRef(c, r) + "\" s=\"" + std::to_string(style) + "\"";
    if (value.empty()) return head + "/>";  // a blank cell that keeps the row's style
    return head + " t=\"inlineStr\"><is><t xml:space=\"preserve\">" + XmlText(CellText(value)) +
           "</t></is></c>";
}

std::string NumberCell(size_t c, size_t r, double value, int style) {
    char number[32];
    std::snprintf(number, sizeof number, "%.17g", value);
    return "<c r=\"" + CellRef(c, r) + "\" s=\"" + std::to_string(style) + "\"><v>" + number +
           "</v></c>";
}

std::string RowXml(size_t r, const WinnerRecord& row) {
    const int text = row.forfeited ? kStyleStruckText : kStyleText;
    std::string xml = "<row r=\"" + std::to_string(r + 1) + "\">";
    if (auto at = ParseTime(row.time)) {
        xml += NumberCell(0, r, *at, row.forfeited ? kStyleStruckTime : kStyleTime);
    } else {
        xml += StringCell(0, r, row.time, text);
    }
    xml += StringCell(1, r, row.level, text) + NumberCell(2, r, row.ordinal, text) +
           StringCell(3, r, row.name, text) + StringCell(4, r, row.photoFile, text) +
           NumberCell(5, r, row.poolSize, text) +
           StringCell(6, r, row.forfeited ? "放弃" : "中奖", text);
    return xml + "</row>";
}

// Widths in digits as the columns' content needs them, plus the cell padding that Excel adds
// to a width it is given (5 pixels of a 7-pixel digit).
std::string ColumnsXml(const std::vector<WinnerRecord>& rows) {
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
    std::string xml = "<cols>";
    for (size_t c = 0; c < widths.size(); ++c) {
        char col[120];
        std::snprintf(col, sizeof col,
                      "<col min=\"%zu\" max=\"%zu\" width=\"%.8g\" customWidth=\"1\"/>", c + 1,
                      c + 1, std::min(widths[c] + 2, 60) + 5.0 / 7);
        xml += col;
    }
    return xml + "</cols>";
}

// The header row bold and frozen, a filter over the columns; printed, the list fits the
// page's width (A4) and repeats its header on every page.
std::string SheetPart(const std::vector<WinnerRecord>& rows, bool first) {
    const std::string last = CellRef(kHeader.size() - 1, rows.size());
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\""
        "http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetPr><pageSetUpPr "
        "fitToPage=\"1\"/></sheetPr><dimension ref=\"A1:" +
        last + "\"/><sheetViews><sheetView" + (first ? " tabSelected=\"1\"" : "") +
        " workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" "
        "state=\"frozen\"/><selection pane=\"bottomLeft\"/></sheetView></sheetViews>"
        "<sheetFormatPr defaultRowHeight=\"15\"/>" +
        ColumnsXml(rows) + "<sheetData><row r=\"1\" ht=\"20\" customHeight=\"1\">";
    for (size_t c = 0; c < kHeader.size(); ++c) xml += StringCell(c, 0, kHeader[c], kStyleHeader);
    xml += "</row>";
    for (size_t i = 0; i < rows.size(); ++i) xml += RowXml(i + 1, rows[i]);
    return xml + "</sheetData><autoFilter ref=\"A1:" + last +
           "\"/><pageMargins left=\"0.7\" "
           "right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
           "<pageSetup paperSize=\"9\" fitToHeight=\"0\" orientation=\"portrait\"/>"
           "</worksheet>";
}

// The verified draw's lines, one per row in column A, the first bold as the sheet's title;
// the column as wide as the longest line so the fingerprints read whole.
std::string NoteSheetPart(const std::vector<std::string>& lines) {
    int width = 10;
    for (const auto& line : lines) width = std::max(width, DisplayWidth(line));
    char col[120];
    std::snprintf(col, sizeof col,
                  "<cols><col min=\"1\" max=\"1\" width=\"%.8g\" customWidth=\"1\"/></cols>",
                  std::min(width + 2, 200) + 5.0 / 7);
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\""
        "http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetPr><pageSetUpPr "
        "fitToPage=\"1\"/></sheetPr><dimension ref=\"A1:A" +
        std::to_string(lines.size()) +
        "\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
        "<sheetFormatPr defaultRowHeight=\"15\"/>" +
        std::string(col) + "<sheetData>";
    for (size_t r = 0; r < lines.size(); ++r)
        xml += "<row r=\"" + std::to_string(r + 1) + "\">" +
               StringCell(0, r, lines[r], r == 0 ? kStyleHeader : kStyleText) + "</row>";
    return xml +
           "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" "
           "bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/><pageSetup paperSize=\"9\" "
           "fitToHeight=\"0\" orientation=\"portrait\"/></worksheet>";
}

std::string Workbook(const std::vector<WinnerRecord>& rows,
                     const std::vector<std::string>& levelOrder,
                     const std::vector<std::string>& verifiedLines) {
    std::vector<std::string> taken;
    std::vector<XlsxSheetInfo> sheets = {{UniqueSheetName(kAllSheet, taken), rows.size(), true}};
    std::vector<std::string> parts = {SheetPart(rows, true)};
    for (const auto& level : LevelsInOrder(rows, levelOrder)) {
        const auto ofLevel = RowsOfLevel(rows, level);
        sheets.push_back({UniqueSheetName(level, taken), ofLevel.size(), true});
        parts.push_back(SheetPart(ofLevel, false));
    }
    if (!verifiedLines.empty()) {
        sheets.push_back({UniqueSheetName(kNoteSheet, taken), verifiedLines.size(), false});
        parts.push_back(NoteSheetPart(verifiedLines));
    }
    ZipWriter zip;
    bool ok = zip.add("[Content_Types].xml", ContentTypesPart(sheets.size())) &&
              zip.add("_rels/.rels", RootRelationshipsPart()) &&
              zip.add("xl/workbook.xml", WorkbookPart(sheets)) &&
              zip.add("xl/_rels/workbook.xml.rels", WorkbookRelationshipsPart(sheets.size())) &&
              zip.add("xl/styles.xml", StylesPart());
    for (size_t s = 0; ok && s < parts.size(); ++s)
        ok = zip.add("xl/worksheets/sheet" + std::to_string(s + 1) + ".xml", parts[s]);
    return ok ? zip.finish() : std::string();
}

}  // namespace

bool WriteWinnersXlsx(const std::string& fsPath, const std::vector<WinnerRecord>& rows,
                      const std::vector<std::string>& levelOrder,
                      const std::vector<std::string>& verifiedLines) {
    const std::string book = Workbook(rows, levelOrder, verifiedLines);
    return !book.empty() && WriteDiskFile(fsPath, book).ok();
}

}  // namespace ld::exporting
