#include "export/xlsx_parts.h"

#include <cstdio>

namespace ld::exporting {
namespace {

constexpr const char* kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kOfficeRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kPackageRelationships =
    "http://schemas.openxmlformats.org/package/2006/relationships";

std::string Relationship(const std::string& id, const std::string& type,
                         const std::string& target) {
    return "<Relationship Id=\"" + id + "\" Type=\"" + kOfficeRelationships + "/" + type +
           "\" Target=\"" + target + "\"/>";
}

// The font that every cell uses, Chinese-capable; spreadsheet programs without it substitute
// another Chinese face (charset 134 is GB2312).
std::string Font(const std::string& decoration, const std::string& colour = {}) {
    return "<font>" + decoration + "<sz val=\"11\"/>" + colour +
           "<name val=\"Microsoft YaHei\"/><family val=\"2\"/><charset val=\"134\"/></font>";
}

std::string CellFormat(int numFmt, int font, int fill, int border) {
    char xf[200];
    std::snprintf(xf, sizeof xf,
                  "<xf numFmtId=\"%d\" fontId=\"%d\" fillId=\"%d\" borderId=\"%d\" xfId=\"0\""
                  " applyNumberFormat=\"1\" applyFont=\"1\" applyFill=\"1\" applyBorder=\"1\""
                  " applyAlignment=\"1\"><alignment vertical=\"center\"/></xf>",
                  numFmt, font, fill, border);
    return xf;
}

}  // namespace

std::string XmlText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\r':
                out += "&#13;";
                break;
            case '\n':
            case '\t':
                out += c;
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "_x%04X_", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string QuotedSheetName(const std::string& name) {
    std::string quoted = "'";
    for (const char c : name) quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

std::string ContentTypesPart(size_t sheets) {
    const std::string type = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
    std::string xml =
        std::string(kXmlDeclaration) +
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/"
        "vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" +
        type + "sheet.main+xml\"/><Override PartName=\"/xl/styles.xml\" ContentType=\"" + type +
        "styles+xml\"/>";
    for (size_t s = 1; s <= sheets; ++s)
        xml += "<Override PartName=\"/xl/worksheets/sheet" + std::to_string(s) +
               ".xml\" ContentType=\"" + type + "worksheet+xml\"/>";
    return xml + "</Types>";
}

std::string RootRelationshipsPart() {
    return std::string(kXmlDeclaration) + "<Relationships xmlns=\"" + kPackageRelationships +
           "\">" + Relationship("rId1", "officeDocument", "xl/workbook.xml") + "</Relationships>";
}

std::string WorkbookRelationshipsPart(size_t sheets) {
    std::string xml =
        std::string(kXmlDeclaration) + "<Relationships xmlns=\"" + kPackageRelationships + "\">";
    for (size_t s = 1; s <= sheets; ++s)
        xml += Relationship("rId" + std::to_string(s), "worksheet",
                            "worksheets/sheet" + std::to_string(s) + ".xml");
    xml += Relationship("rId" + std::to_string(sheets + 1), "styles", "styles.xml");
    return xml + "</Relationships>";
}

std::string StylesPart() {
    const std::string grey = "<color rgb=\"FF808080\"/>";
    return std::string(kXmlDeclaration) + "<styleSheet xmlns=\"" + kMain + "\">" +
           "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"yyyy-mm-dd hh:mm:ss\"/>"
           "</numFmts><fonts count=\"3\">" +
           Font("") + Font("<b/>") + Font("<strike/>", grey) +
           "</fonts><fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill>"
           "<fill><patternFill patternType=\"gray125\"/></fill>"
           "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFCE4D6\"/>"
           "<bgColor indexed=\"64\"/></patternFill></fill></fills>"
           "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
           "<border><left/><right/><top/><bottom style=\"thin\"><color auto=\"1\"/></bottom>"
           "<diagonal/></border></borders>"
           "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
           "</cellStyleXfs><cellXfs count=\"6\">" +
           // In the order of XlsxStyle.
           CellFormat(0, 0, 0, 0) + CellFormat(0, 1, 2, 1) + CellFormat(0, 0, 0, 0) +
           CellFormat(164, 0, 0, 0) + CellFormat(0, 2, 0, 0) + CellFormat(164, 2, 0, 0) +
           "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
           "builtinId=\"0\"/></cellStyles></styleSheet>";
}

std::string WorkbookPart(const std::vector<XlsxSheetInfo>& sheets) {
    std::string list, names;
    for (size_t s = 0; s < sheets.size(); ++s) {
        const std::string id = std::to_string(s + 1);
        const std::string sheet = XmlText(QuotedSheetName(sheets[s].name));
        list += "<sheet name=\"" + XmlText(sheets[s].name) + "\" sheetId=\"" + id +
                "\" r:id=\"rId" + id + "\"/>";
        if (!sheets[s].table) continue;
        const std::string local = "\" localSheetId=\"" + std::to_string(s) + "\"";
        names += "<definedName name=\"_xlnm._FilterDatabase" + local + " hidden=\"1\">" + sheet +
                 "!$A$1:$G$" + std::to_string(sheets[s].rows + 1) + "</definedName>";
        names +=
            "<definedName name=\"_xlnm.Print_Titles" + local + ">" + sheet + "!$1:$1</definedName>";
    }
    return std::string(kXmlDeclaration) + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" +
           kOfficeRelationships + "\"><bookViews><workbookView/></bookViews><sheets>" + list +
           "</sheets><definedNames>" + names + "</definedNames></workbook>";
}

}  // namespace ld::exporting
