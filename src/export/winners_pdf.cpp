#include "export/winners_pdf.h"

#include <cmath>
#include <map>

#include "export/pdf_canvas.h"
#include "export/pdf_file.h"
#include "export/pdf_glyph_fonts.h"
#include "export/pdf_layout.h"
#include "export/pdf_verified_page.h"
#include "media/file_bytes.h"
#include "media/jpeg_encoder.h"
#include "media/picture.h"
#include "services/atomic_write.h"
#include "services/utf8.h"

namespace ld::exporting {
namespace {

using namespace pdf;

constexpr double kPhotoDpi = 200;              // thumbnails sharp in print, files still small
constexpr int64_t kPhotoByteLimit = 64 << 20;  // larger is no phone photo
constexpr uint32_t kInk = 0x222222, kGrey = 0x808080, kRed = 0xB01E23;

// One line of text: line breaks from a hand-edited file would spill over the layout.
std::u32string OneLine(const std::string& text) {
    std::u32string line = DecodeUtf8(text);
    for (char32_t& c : line)
        if (c < 0x20 || c == 0x7F) c = U' ';
    return line;
}

std::u32string Text(const std::string& utf8) { return DecodeUtf8(utf8); }

// The photo at the thumbnail's size, upright, cropped to fill it and on white, as a JPEG;
// empty when there is no usable file. Only a plain name inside the photo folder is read: the
// name may come from a hand-edited file.
std::string Thumbnail(const std::string& photoFolder, const std::string& photoFile, Size size) {
    if (photoFile.empty() || photoFile == "." || photoFile == ".." ||
        photoFile.find_first_of("/\\") != std::string::npos)
        return {};
    const std::string path = photoFolder + "/" + photoFile;
    const auto stamp = StatFile(path);  // regular files only: a pipe would block the read
    if (!stamp || stamp->size > kPhotoByteLimit) return {};
    const PlacedPicture placed = DecodePictureForBox(ReadFileBytes(path), size, BoxFit::Cover);
    if (placed.image.empty()) return {};
    Image photo(size.width, size.height);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const int sx = x - placed.x, sy = y - placed.y;
            const bool inside =
                sx >= 0 && sy >= 0 && sx < placed.image.width && sy < placed.image.height;
            const uint8_t* in = inside ? placed.image.pixel(sx, sy) : nullptr;
            uint8_t* out = photo.row(y) + x * 4;
            for (int c = 0; c < 3; ++c)  // over white
                out[c] = inside ? static_cast<uint8_t>(255 - (255 - in[c]) * in[3] / 255) : 255;
            out[3] = 255;
        }
    return EncodeJpeg(photo);
}

// A head and shoulders in grey, where a photo is missing or cannot be read.
void DrawPlaceholder(PdfCanvas& page, const PdfBox& box) {
    page.fillRect(box, 0xEEEEEE);
    const double w = box.width, centre = box.x + w / 2;
    page.fillCircles(box,
                     {{centre, box.y + box.height * 0.4, w * 0.2},
                      {centre, box.y + box.height + w * 0.12, w * 0.42}},
                     0xC8C8C8);
}

void DrawTitle(PdfCanvas& page, const PdfBox& r, const std::string& title, int winners,
               int forfeited) {
    page.fittedText({r.x, r.y, r.width, 12}, OneLine(title), {20, true, kInk}, 12);
    std::string summary = "中奖名单 · 共 " + std::to_string(winners) + " 人";
    if (forfeited > 0) summary += "（另有 " + std::to_string(forfeited) + " 人放弃）";
    page.fittedText({r.x, r.y + 12, r.width, 7}, Text(summary), {11, false, kGrey}, 11);
    const double y = r.y + r.height - 3;
    page.line(r.x, y, r.x + r.width, y, kRed, 0.5);
}

void DrawHeading(PdfCanvas& page, const PdfItem& item, int winners) {
    const PdfBox& r = item.box;
    std::u32string text = OneLine(item.level);
    if (item.continued) text += U"（续）";
    page.fillRect({r.x, r.y + 2, 1.5, r.height - 4}, kRed);
    page.fittedText({r.x + 4, r.y, r.width - 40, r.height}, text, {14, true, kRed}, 9,
                    PdfAlign::Left);
    page.text(r, Text(std::to_string(winners) + " 人"), {10, false, kGrey}, PdfAlign::Right);
    page.line(r.x, r.y + r.height, r.x + r.width, r.y + r.height, 0xDDDDDD, 0.3);
}

// The name on one line, shrunk a little if need be; a long one on two smaller lines, and only
// what does not fit even then is cut with an ellipsis. Its owner must recognise it.
void DrawName(PdfCanvas& page, const PdfBox& box, const std::u32string& name, PdfTextStyle style) {
    constexpr double kOneLineMin = 8.5, kTwoLines = 7.5;
    while (style.points > kOneLineMin && page.textWidth(name, style) > box.width)
        style.points -= 0.5;
    if (page.textWidth(name, style) <= box.width) return page.text(box, name, style);
    style.points = kTwoLines;
    size_t split = 1;
    while (split < name.size() && page.textWidth(name.substr(0, split + 1), style) <= box.width)
        ++split;
    const PdfBox top{box.x, box.y, box.width, box.height / 2};
    const PdfBox bottom{box.x, box.y + box.height / 2, box.width, box.height / 2};
    page.text(top, name.substr(0, split), style);
    page.text(bottom, page.elided(name.substr(split), style, box.width), style);
}

void DrawCard(PdfCanvas& page, const PdfItem& item, const std::string& photo) {
    const WinnerRecord& row = *item.row;
    const PdfBox& r = item.box;
    const PdfBox photoBox{r.x + (r.width - kPhotoWidth) / 2, r.y, kPhotoWidth, kPhotoHeight};
    if (photo.empty()) {
        DrawPlaceholder(page, photoBox);
    } else {
        page.image(photoBox, photo);
    }
    if (row.forfeited) page.veil(photoBox);
    page.strokeRect(photoBox, 0xCCCCCC, 0.2);

    const PdfBox nameBox{r.x + 1, photoBox.y + photoBox.height + 1.5, r.width - 2, kNameHeight};
    DrawName(page, nameBox, OneLine(row.name),
             {11, true, row.forfeited ? kGrey : kInk, row.forfeited});
    std::string ordinal = "第 " + std::to_string(row.ordinal) + " 位";
    if (row.forfeited) ordinal += " · 放弃";
    page.fittedText({nameBox.x, nameBox.y + nameBox.height, nameBox.width, kOrdinalHeight},
                    Text(ordinal), {8, false, row.forfeited ? kRed : kGrey}, 6);
}

void DrawFooter(PdfCanvas& page, int number, int pages) {
    const std::string text =
        "第 " + std::to_string(number) + " 页 / 共 " + std::to_string(pages) + " 页";
    page.text({kMargin, kFooterY, kPageWidth - 2 * kMargin, 6}, Text(text), {9, false, kGrey});
}

int CountOfLevel(const std::vector<WinnerRecord>& rows, const std::string& level) {
    int count = 0;
    for (const auto& row : rows) count += row.level == level && !row.forfeited;
    return count;
}

class Document {
public:
    Document(const std::string& title, const std::vector<WinnerRecord>& rows,
             const std::string& photoFolder, const std::function<void(int, int)>& cardDone)
        : title_(title), rows_(rows), photoFolder_(photoFolder), cardDone_(cardDone) {}

    // The file; empty when it could not be made.
    std::string write(const std::vector<PdfPage>& pages,
                      const std::vector<std::string>& verifiedLines) {
        for (const PdfPage& page : pages)
            for (const PdfItem& item : page) cardCount_ += item.kind == PdfItem::Kind::Card;
        std::vector<PdfCanvas> verified = DrawVerifiedPages(fonts_, verifiedLines);
        const int count = static_cast<int>(pages.size() + verified.size());
        std::vector<std::string> contents;
        for (size_t p = 0; p < pages.size(); ++p)
            contents.push_back(draw(pages[p], static_cast<int>(p + 1), count));
        for (PdfCanvas& page : verified) {
            DrawFooter(page, static_cast<int>(contents.size() + 1), count);
            contents.push_back(page.content());
        }
        if (!fonts_.ok()) return {};
        const std::string resources = "/Font << " + fonts_.finish() + ">> /XObject << " + photos_ +
                                      ">> /ExtGState << /Veil << /ca 0.588 >> >>";
        return file_.finish(contents, resources, PdfTextString(OneLine(title_)));
    }

private:
    // The photo's image resource, or empty for the placeholder; each file is embedded once.
    std::string photo(const WinnerRecord& row) {
        if (auto made = photoNames_.find(row.photoFile); made != photoNames_.end())
            return made->second;
        return photoNames_[row.photoFile] = embed(row.photoFile);
    }

    std::string embed(const std::string& photoFile) {
        const Size pixels{static_cast<int>(std::lround(kPhotoWidth / 25.4 * kPhotoDpi)),
                          static_cast<int>(std::lround(kPhotoHeight / 25.4 * kPhotoDpi))};
        const std::string jpeg = Thumbnail(photoFolder_, photoFile, pixels);
        if (jpeg.empty()) return {};
        const std::string name = "P" + std::to_string(photoCount_++);
        const int id = file_.addStream(
            "/Type /XObject /Subtype /Image /Width " + std::to_string(pixels.width) + " /Height " +
                std::to_string(pixels.height) + " /ColorSpace /DeviceRGB /BitsPerComponent 8",
            jpeg, "/DCTDecode");
        photos_ += "/" + name + " " + std::to_string(id) + " 0 R ";
        return "/" + name;
    }

    std::string draw(const PdfPage& items, int number, int count) {
        PdfCanvas page(fonts_);
        int forfeited = 0;
        for (const auto& row : rows_) forfeited += row.forfeited;
        for (const PdfItem& item : items) {
            switch (item.kind) {
                case PdfItem::Kind::Title:
                    DrawTitle(page, item.box, title_, static_cast<int>(rows_.size()) - forfeited,
                              forfeited);
                    break;
                case PdfItem::Kind::Heading:
                    DrawHeading(page, item, CountOfLevel(rows_, item.level));
                    break;
                case PdfItem::Kind::Card:
                    DrawCard(page, item, photo(*item.row));
                    if (cardDone_) cardDone_(++cardsDone_, cardCount_);
                    break;
            }
        }
        DrawFooter(page, number, count);
        return page.content();
    }

    const std::string& title_;
    const std::vector<WinnerRecord>& rows_;
    const std::string& photoFolder_;
    const std::function<void(int, int)>& cardDone_;
    int cardCount_ = 0, cardsDone_ = 0;
    PdfFile file_;
    PdfGlyphFonts fonts_{file_};
    std::string photos_;                             // the image resources' entries
    std::map<std::string, std::string> photoNames_;  // by file name
    int photoCount_ = 0;
};

}  // namespace

bool WriteWinnersPdf(const std::string& fsPath, const std::string& title,
                     const std::vector<WinnerRecord>& rows,
                     const std::vector<std::string>& levelOrder, const std::string& photoFolder,
                     const std::function<void(int, int)>& cardDone,
                     const std::vector<std::string>& verifiedLines) {
    const std::string pdf = Document(title, rows, photoFolder, cardDone)
                                .write(LayOutPdf(rows, levelOrder), verifiedLines);
    return !pdf.empty() && WriteDiskFile(fsPath, pdf).ok();
}

}  // namespace ld::exporting
