// The parts of an xlsx package other than the sheets: what a spreadsheet program needs to
// find the sheets, their names and the cell styles. XML is written by hand: the parts are few
// and fixed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ld::exporting {

// Cell styles, as indexes into the styles part's cell formats.
enum XlsxStyle {
    kStylePlain = 0,
    kStyleHeader,
    kStyleText,
    kStyleTime,
    kStyleStruckText,
    kStyleStruckTime
};

// `text` (valid UTF-8) escaped for XML content or attribute values. A control character,
// which XML 1.0 cannot hold, is written as _xHHHH_ as spreadsheets read it back; a CR as a
// character reference so a reader's line-end folding keeps it.
std::string XmlText(std::string_view text);

// A sheet as a formula or defined name refers to it: 'name' with apostrophes doubled.
std::string QuotedSheetName(const std::string& name);

std::string ContentTypesPart(size_t sheets);
std::string RootRelationshipsPart();
std::string WorkbookRelationshipsPart(size_t sheets);
std::string StylesPart();

struct XlsxSheetInfo {
    std::string name;
    size_t rows = 0;     // without the header
    bool table = false;  // a list of winners, with a filter and a printed title row
};

// The sheet list, and for each table its filter range and printed title row.
std::string WorkbookPart(const std::vector<XlsxSheetInfo>& sheets);

}  // namespace ld::exporting
