// A PDF file put together object by object: numbered objects, Flate streams (zlib), the
// cross-reference table, and the page tree with one resource dictionary for all pages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ld::exporting {

class PdfFile {
public:
    // A new object's number, for references before the object is written.
    int reserve();
    // The object's body, e.g. "<< /Type /Font ... >>".
    void put(int id, std::string body);
    // A stream object; `dictionary` holds the entries other than /Length and /Filter.
    // Deflated unless `filter` names the data's own compression (e.g. "/DCTDecode").
    int addStream(const std::string& dictionary, std::string_view data,
                  const std::string& filter = {});
    // The whole file: A4 pages with these contents and the shared resources (a dictionary's
    // entries), titled `title` (a text string, see PdfTextString). Empty when zlib failed on
    // a stream.
    std::string finish(const std::vector<std::string>& pageContents, const std::string& resources,
                       std::string_view title);

private:
    std::vector<std::string> bodies_;  // object n at n - 1
    bool ok_ = true;
};

// A number as a PDF operand: up to four decimals, no exponent.
std::string PdfNumber(double value);

// A text string for the document information: UTF-16BE with its byte order mark, in hex.
std::string PdfTextString(std::u32string_view text);

}  // namespace ld::exporting
