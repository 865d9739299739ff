#include "export/pdf_glyph_fonts.h"

#include <algorithm>
#include <cstdio>

#include "media/text_glyphs.h"

namespace ld::exporting {
namespace {

// Pixels per em of the drawn glyphs: 12-point text prints at 768 dots per inch.
constexpr int kEm = 128;
constexpr int kCodesPerFont = 256;

struct Mask {
    int x = 0, y = 0, width = 0, height = 0;  // ink box in the drawn glyph
    std::string bits;                         // rows of 1-bit samples, 1 where there is ink
};

// The glyph's ink, cut to its box, at half coverage and above.
Mask InkOf(const Image& image) {
    Mask mask;
    int left = image.width, top = image.height, right = -1, bottom = -1;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.pixel(x, y)[3] >= 128) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) return mask;
    mask = {left, top, right - left + 1, bottom - top + 1, {}};
    const size_t rowBytes = (mask.width + 7) / 8;
    mask.bits.assign(rowBytes * mask.height, '\0');
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            if (image.pixel(left + x, top + y)[3] >= 128)
                mask.bits[y * rowBytes + x / 8] |= static_cast<char>(0x80 >> (x % 8));
    return mask;
}

std::string Hex(unsigned value, int digits) {
    char text[12];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string Utf16Hex(char32_t c) {
    if (c < 0x10000) return Hex(c, 4);
    c -= 0x10000;
    return Hex(0xD800 + (c >> 10), 4) + Hex(0xDC00 + (c & 0x3FF), 4);
}

std::string ToUnicodeMap(const std::u32string& characters) {
    std::string map =
        "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
        "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    for (size_t first = 0; first < characters.size(); first += 100) {
        const size_t count = std::min<size_t>(100, characters.size() - first);
        map += std::to_string(count) + " beginbfchar\n";
        for (size_t code = first; code < first + count; ++code)
            map += "<" + Hex(static_cast<unsigned>(code), 2) + "> <" + Utf16Hex(characters[code]) +
                   ">\n";
        map += "endbfchar\n";
    }
    return map + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

}  // namespace

int PdfGlyphFonts::fontFor(bool bold) {
    auto& own = fontOfWeight_[bold];
    if (own.empty() || fonts_[own.back()].procs.size() == kCodesPerFont) {
        own.push_back(static_cast<int>(fonts_.size()));
        fonts_.emplace_back();
    }
    return own.back();
}

const PdfGlyphFonts::Glyph& PdfGlyphFonts::glyph(char32_t c, bool bold) {
    const auto key = std::make_pair(c, bold);
    if (auto found = glyphs_.find(key); found != glyphs_.end()) return found->second;
    const DrawnGlyph drawn = DrawGlyph(c, kEm, bold);
    if (drawn.advance <= 0 && drawn.ascent <= 0) ok_ = false;  // no face at all
    if (ascent_[bold] < 0 && drawn.advance > 0) {
        ascent_[bold] = drawn.ascent / kEm;
        descent_[bold] = drawn.descent / kEm;
    }
    const Mask ink = InkOf(drawn.mask);
    Font& font = fonts_[fontFor(bold)];
    const double unit = 1000.0 / kEm;  // glyph space per pixel
    const double width = drawn.advance * unit;
    std::string proc = PdfNumber(width) + " 0 ";
    int maskId = 0;
    if (ink.width > 0) {
        const double x = (ink.x - drawn.originX) * unit;
        const double y = (drawn.baselineY - ink.y - ink.height) * unit;
        const double w = ink.width * unit, h = ink.height * unit;
        proc += PdfNumber(x) + " " + PdfNumber(y) + " " + PdfNumber(x + w) + " " +
                PdfNumber(y + h) + " d1 q " + PdfNumber(w) + " 0 0 " + PdfNumber(h) + " " +
                PdfNumber(x) + " " + PdfNumber(y) + " cm /M" + std::to_string(font.procs.size()) +
                " Do Q";
        maskId = file_.addStream(
            "/Type /XObject /Subtype /Image /Width " + std::to_string(ink.width) + " /Height " +
                std::to_string(ink.height) + " /ImageMask true /BitsPerComponent 1 /Decode [1 0]",
            ink.bits);
    } else {
        proc += "0 0 0 0 d1";
    }
    Glyph made{static_cast<int>(&font - fonts_.data()), static_cast<int>(font.procs.size()),
               drawn.advance / kEm};
    font.procs.push_back(proc);
    font.masks.push_back(maskId);
    font.widths.push_back(width);
    font.characters += c;
    return glyphs_.emplace(key, made).first->second;
}

double PdfGlyphFonts::width(std::u32string_view text, bool bold) {
    double sum = 0;
    for (char32_t c : text) sum += glyph(c, bold).advance;
    return sum;
}

double PdfGlyphFonts::ascent(bool bold) {
    if (ascent_[bold] < 0) glyph(U'中', bold);
    return std::max(0.0, ascent_[bold]);
}

double PdfGlyphFonts::descent(bool bold) {
    ascent(bold);
    return descent_[bold];
}

std::string PdfGlyphFonts::show(std::u32string_view text, bool bold, double points) {
    std::string ops;
    int current = -1;
    for (char32_t c : text) {
        const Glyph& g = glyph(c, bold);
        if (g.font != current) {
            if (current >= 0) ops += "> Tj ";
            ops += "/T" + std::to_string(g.font) + " " + PdfNumber(points) + " Tf <";
            current = g.font;
        }
        ops += Hex(static_cast<unsigned>(g.code), 2);
    }
    return current >= 0 ? ops + "> Tj" : ops;
}

void PdfGlyphFonts::writeFont(const Font& font, int id) const {
    std::string procs, names, widths, masks;
    for (size_t code = 0; code < font.procs.size(); ++code) {
        const std::string name = "g" + std::to_string(code);
        procs += "/" + name + " " + std::to_string(file_.addStream("", font.procs[code])) + " 0 R ";
        names += "/" + name + " ";
        widths += PdfNumber(font.widths[code]) + " ";
        if (font.masks[code])
            masks += "/M" + std::to_string(code) + " " + std::to_string(font.masks[code]) + " 0 R ";
    }
    const int toUnicode = file_.addStream("", ToUnicodeMap(font.characters));
    file_.put(id,
              "<< /Type /Font /Subtype /Type3 /FontBBox [0 0 0 0] /FontMatrix "
              "[0.001 0 0 0.001 0 0] /CharProcs << " +
                  procs + ">> /Encoding << /Type /Encoding /Differences [0 " + names +
                  "] >> /FirstChar 0 /LastChar " + std::to_string(font.procs.size() - 1) +
                  " /Widths [" + widths + "] /Resources << /XObject << " + masks +
                  ">> >> /ToUnicode " + std::to_string(toUnicode) + " 0 R >>");
}

std::string PdfGlyphFonts::finish() {
    std::string entries;
    for (size_t f = 0; f < fonts_.size(); ++f) {
        const int id = file_.reserve();
        writeFont(fonts_[f], id);
        entries += "/T" + std::to_string(f) + " " + std::to_string(id) + " 0 R ";
    }
    return entries;
}

}  // namespace ld::exporting
