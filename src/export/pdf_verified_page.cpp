#include "export/pdf_verified_page.h"

#include <string_view>

#include "services/utf8.h"

namespace ld::exporting {
namespace {

using namespace pdf;

constexpr double kContentWidth = kPageWidth - 2 * kMargin;
constexpr double kContentBottom = kFooterY - 3;
constexpr double kHeadingHeight = 11;
constexpr double kLineHeight = 5.5, kEntryGap = 2.5;
constexpr uint32_t kInk = 0x222222, kRed = 0xB01E23;
constexpr PdfTextStyle kBody{10, false, kInk, false};

std::u32string OneLine(const std::string& text) {
    std::u32string line = DecodeUtf8(text);
    for (char32_t& c : line)
        if (c < 0x20 || c == 0x7F) c = U' ';
    return line;
}

// Whether a line may break before `text[i]`: after a space or a Chinese comma or colon only,
// so a file name such as 抽奖结果.txt or a fingerprint stays whole on its line.
bool BreakBefore(const std::u32string& text, size_t i) {
    constexpr std::u32string_view kBreakAfter = U" ，。：；、）";
    return kBreakAfter.find(text[i - 1]) != std::u32string_view::npos &&
           kBreakAfter.find(text[i]) == std::u32string_view::npos;
}

// The text cut into lines that fit `width`: at the last break that fits, else (a run longer
// than the line, or Chinese text without punctuation) where the width ends.
std::vector<std::u32string> Wrap(PdfCanvas& measure, std::u32string text, double width) {
    std::vector<std::u32string> out;
    while (measure.textWidth(text, kBody) > width) {
        size_t fits = 1, lastBreak = 0;
        while (fits < text.size() && measure.textWidth(text.substr(0, fits + 1), kBody) <= width)
            ++fits;
        for (size_t i = 1; i <= fits && i < text.size(); ++i)
            if (BreakBefore(text, i)) lastBreak = i;
        const size_t cut = lastBreak > 0 ? lastBreak : fits;
        std::u32string head = text.substr(0, cut);
        while (!head.empty() && head.back() == U' ') head.pop_back();
        out.push_back(head);
        text.erase(0, cut);
        while (!text.empty() && text.front() == U' ') text.erase(0, 1);
    }
    out.push_back(text);
    return out;
}

class Pages {
public:
    Pages(PdfGlyphFonts& fonts, const std::u32string& heading) : fonts_(fonts), heading_(heading) {
        newPage(false);
    }

    void entry(const std::vector<std::u32string>& rows) {
        for (const auto& row : rows) {
            if (y_ + kLineHeight > kContentBottom) newPage(true);
            pages.back().text({kMargin, y_, kContentWidth, kLineHeight}, row, kBody,
                              PdfAlign::Left);
            y_ += kLineHeight;
        }
        y_ += kEntryGap;
    }

    std::vector<PdfCanvas> pages;

private:
    void newPage(bool continued) {
        pages.emplace_back(fonts_);
        PdfCanvas& page = pages.back();
        const PdfBox r{kMargin, kMargin, kContentWidth, kHeadingHeight};
        page.fillRect({r.x, r.y + 2, 1.5, r.height - 4}, kRed);
        page.fittedText({r.x + 4, r.y, r.width - 4, r.height},
                        continued ? heading_ + U"（续）" : heading_, {14, true, kRed, false}, 9,
                        PdfAlign::Left);
        page.line(r.x, r.y + r.height, r.x + r.width, r.y + r.height, 0xDDDDDD, 0.3);
        y_ = r.y + r.height + 4;
    }

    PdfGlyphFonts& fonts_;
    std::u32string heading_;
    double y_ = kMargin;
};

}  // namespace

std::vector<PdfCanvas> DrawVerifiedPages(PdfGlyphFonts& fonts,
                                         const std::vector<std::string>& lines) {
    if (lines.empty()) return {};
    Pages pages(fonts, OneLine(lines.front()));
    PdfCanvas measure(fonts);
    for (size_t i = 1; i < lines.size(); ++i)
        pages.entry(Wrap(measure, OneLine(lines[i]), kContentWidth));
    return std::move(pages.pages);
}

}  // namespace ld::exporting
