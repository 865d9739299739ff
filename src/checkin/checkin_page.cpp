#include "checkin/checkin_page.h"

namespace ld::checkin {

namespace {
// Replaces every `mark` in `text` with `value`; `value` itself is never searched.
void ReplaceAll(std::string& text, std::string_view mark, std::string_view value) {
    for (size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + value.size())) {
        text.replace(at, mark.size(), value);
    }
}

// The token only travels in a query string and an attribute; anything but these characters
// is percent-encoded, so a token can never end either.
std::string QueryEscape(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                     c == '-' || c == '_';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}
}  // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
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
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string CheckinPage(std::string_view token, std::string_view nonce) {
    std::string page(kPageHtml);
    ReplaceAll(page, "{{TOKEN}}", QueryEscape(token));
    ReplaceAll(page, "{{NONCE}}", QueryEscape(nonce));
    // Last, so that nothing in the style or the script is taken for a mark.
    ReplaceAll(page, "{{STYLE}}", kPageCss);
    ReplaceAll(page, "{{SCRIPT}}", kPageScript);
    return page;
}

std::string PlainPage(std::string_view title, std::string_view line) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
        "<link rel=\"icon\" href=\"data:,\"><title>";
    page += HtmlEscape(title);
    page += "</title></head><body><h1>";
    page += HtmlEscape(title);
    page += "</h1><p>";
    page += HtmlEscape(line);
    page += "</p></body></html>\n";
    return page;
}

}  // namespace ld::checkin
